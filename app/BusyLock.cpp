#include "app/BusyLock.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

namespace {
// Controls through which a user edits or starts something; labels, charts, lists
// and group boxes stay as they are, so everything stays readable.
bool actsOrEdits(const QWidget* widget)
{
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSlider*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

// The state a widget asked for itself, whatever its parents' state. While the
// lock holds it off, this is the state the work asked for last.
bool ownEnabled(const QWidget* widget)
{
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}
} // namespace

void BusyLock::lock(const QList<QWidget*>& windows, const QList<QWidget*>& keptLive, const QList<QAction*>& actions)
{
    if (m_locked)
        return;
    m_locked = true;
    for (QWidget* window : windows)
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (actsOrEdits(widget) && !keptLive.contains(widget))
                lockWidget(widget);
    for (QAction* action : actions) {
        m_actions.append({action, action->isEnabled()});
        action->setEnabled(false);
    }
}

void BusyLock::lockWidget(QWidget* widget)
{
    // A combo box's line edit and the like follow their owner.
    if (m_widgets.contains(widget))
        return;
    m_widgets.insert(widget, widget);
    widget->installEventFilter(this);
    holdOff(widget);
}

void BusyLock::holdOff(QWidget* widget)
{
    // Off, with the wish it had kept as its own: setEnabled(false) from the work
    // then marks the wish as off (it sends no event, the control being off
    // already), and setEnabled(true) sends the event the filter answers.
    const bool wish = ownEnabled(widget);
    m_applying = true;
    widget->setEnabled(false);
    widget->setAttribute(Qt::WA_ForceDisabled, !wish);
    m_applying = false;
}

bool BusyLock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !m_applying) {
        auto* widget = static_cast<QWidget*>(watched);
        // Turned on by the work that runs, or by a parent turned on: the wish is
        // kept, and the control stays off until the end.
        if (m_widgets.contains(widget) && widget->isEnabled())
            holdOff(widget);
    }
    return QObject::eventFilter(watched, event);
}

void BusyLock::unlock()
{
    if (!m_locked)
        return;
    m_locked = false;
    const auto widgets = std::exchange(m_widgets, {});
    m_applying = true;
    for (const QPointer<QWidget>& widget : widgets) {
        if (!widget)
            continue;
        widget->removeEventFilter(this);
        widget->setEnabled(ownEnabled(widget));
    }
    m_applying = false;
    for (const auto& [action, enabled] : std::exchange(m_actions, {}))
        if (action)
            action->setEnabled(enabled);
}
