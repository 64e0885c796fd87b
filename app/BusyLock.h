// Turns controls off while an operation holds the link, and gives each back at
// the end the state the work that ran meanwhile last asked for: the one it had,
// on when the work turned it on (a hum button after its pause), off when it
// turned it off again (the port list of a port closed and opened again).
#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

class BusyLock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Turns off every editing or pressing control under the windows given (but
    // those kept live) and the actions given.
    void lock(const QList<QWidget*>& windows, const QList<QWidget*>& keptLive, const QList<QAction*>& actions);
    void unlock();
    bool locked() const { return m_locked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lockWidget(QWidget* widget);
    void holdOff(QWidget* widget);

    bool m_locked = false;
    bool m_applying = false;
    // The locked controls; a control deleted meanwhile is skipped.
    QHash<QWidget*, QPointer<QWidget>> m_widgets;
    QList<std::pair<QPointer<QAction>, bool>> m_actions;
};
