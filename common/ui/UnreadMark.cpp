#include "common/ui/UnreadMark.h"

#include <QString>
#include <QVariant>
#include <QWidget>

namespace {
const char* const MARK_PROPERTY = "valueMark";
const QString UNREAD_DESCRIPTION = QStringLiteral("not read from the board");

struct MarkLook {
    ValueMark mark;
    const char* background;
};
constexpr MarkLook LOOKS[] = {
    {ValueMark::Unread, "#f6c6c6"},
    {ValueMark::Loaded, "#fff2a8"},
    {ValueMark::Differs, "#ffd59e"},
};

QString StyleFor(ValueMark mark, UnreadLook look)
{
    for (const MarkLook& entry : LOOKS)
        if (entry.mark == mark) {
            const QString background = QStringLiteral("background-color: %1;").arg(QLatin1String(entry.background));
            return look == UnreadLook::Edit ? QStringLiteral("QLineEdit { %1 }").arg(background) : background;
        }
    return {};
}
} // namespace

void setValueMark(QWidget* widget, ValueMark mark, UnreadLook look, const QString& description)
{
    // Setting a style sheet again repolishes the control: only a change does.
    if (widget->property(MARK_PROPERTY).toInt() != static_cast<int>(mark)) {
        widget->setProperty(MARK_PROPERTY, static_cast<int>(mark));
        widget->setStyleSheet(StyleFor(mark, look));
    }
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

void setUnreadMark(QWidget* widget, bool unread, UnreadLook look)
{
    setValueMark(widget, unread ? ValueMark::Unread : ValueMark::None, look,
                 unread ? UNREAD_DESCRIPTION : QString());
}
