// Turns SIGINT and SIGTERM into a Qt signal on the event loop (the handler only
// writes to a pipe), so that the simulator can clean up before it exits.
#pragma once

#include <QObject>

class QSocketNotifier;

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    bool install(QString* error);

signals:
    void stopRequested();

private:
    void drain();
    QSocketNotifier* m_notifier = nullptr;
};
