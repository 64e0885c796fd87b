#include "common/ui/UnreadMark.h"

#include <QString>
#include <QVariant>
#include <QWidget>

namespace {
const char* const UNREAD_MARK = "neverRead";
const QString UNREAD_EDIT_STYLE = QStringLiteral("QLineEdit { background-color: #f6c6c6; }");
const QString UNREAD_FRAME_STYLE = QStringLiteral("background-color: #f6c6c6;");
const QString UNREAD_DESCRIPTION = QStringLiteral("not read from the board");
} // namespace

void setUnreadMark(QWidget* widget, bool unread, UnreadLook look)
{
    // Setting a style sheet again repolishes the control: only a change does.
    if (widget->property(UNREAD_MARK).toBool() == unread)
        return;
    widget->setProperty(UNREAD_MARK, unread);
    widget->setStyleSheet(unread ? (look == UnreadLook::Edit ? UNREAD_EDIT_STYLE : UNREAD_FRAME_STYLE) : QString());
    widget->setAccessibleDescription(unread ? UNREAD_DESCRIPTION : QString());
}
