// Turns controls off while an operation holds the link, and gives each back its
// state at the end: the one it had, or on when the running work turned it on
// meanwhile (a hum button after its pause). Work that turns a control off meanwhile
// cannot be seen through the lock: the window applies its mode after unlock().
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

    bool m_locked = false;
    bool m_applying = false;
    // The state each control asked for; a control deleted meanwhile is skipped.
    QHash<QWidget*, std::pair<QPointer<QWidget>, bool>> m_widgets;
    QList<std::pair<QPointer<QAction>, bool>> m_actions;
};
