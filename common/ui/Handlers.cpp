#include "common/ui/Handlers.h"

#include <QAction>
#include <QRadioButton>

namespace {
bool stillEnabled(const QPointer<QObject>& control)
{
    if (!control)
        return false;
    if (const auto* widget = qobject_cast<const QWidget*>(control.data()))
        return widget->isEnabled();
    if (const auto* action = qobject_cast<const QAction*>(control.data()))
        return action->isEnabled();
    return true;
}
} // namespace

void Detail::RunHandler(const QPointer<QObject>& control, std::function<void()> handler)
{
    if (!appClock().pausing() && appClock().heldCount() == 0) {
        runGuarded(handler);
        return;
    }
    appClock().whenNotPaused([control, handler = std::move(handler)] {
        if (stillEnabled(control))
            runGuarded(handler);
    });
}

void SelectRadioButton(QRadioButton* button)
{
    // Selecting emits the toggle that runs the handler; an already selected
    // button emits nothing.
    button->setChecked(true);
}

void connectSelected(QRadioButton* button, QObject* context, std::function<void()> handler)
{
    QObject::connect(button, &QRadioButton::toggled, context, [handler = std::move(handler)](bool on) {
        if (on)
            handler();
    });
}
