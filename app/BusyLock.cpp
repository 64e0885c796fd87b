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

// The state a widget asked for itself, whatever its parents' state.
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
    m_widgets.insert(widget, {widget, ownEnabled(widget)});
    widget->installEventFilter(this);
    m_applying = true;
    widget->setEnabled(false);
    m_applying = false;
}

bool BusyLock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !m_applying) {
        auto* widget = static_cast<QWidget*>(watched);
        // Turned on by the work that runs: remembered, and kept off until the end.
        // (A locked control hears nothing of its parents, and turning it off
        // again changes nothing; the window applies its mode after unlock().)
        if (m_widgets.contains(widget) && ownEnabled(widget)) {
            m_widgets[widget].second = true;
            m_applying = true;
            widget->setEnabled(false);
            m_applying = false;
        }
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
    for (const auto& [widget, enabled] : widgets) {
        if (!widget)
            continue;
        widget->removeEventFilter(this);
        // Turned on under a disabled parent, which sends no event, shows in its flag.
        widget->setEnabled(enabled || ownEnabled(widget));
    }
    m_applying = false;
    for (const auto& [action, enabled] : std::exchange(m_actions, {}))
        if (action)
            action->setEnabled(enabled);
}
