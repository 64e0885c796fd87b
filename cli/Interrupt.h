// Ctrl-C as an event: the signal handler only writes a byte to a pipe, and the
// event loop reads it and emits interrupted(), where the work is stopped.
#pragma once

#include <QObject>

class QSocketNotifier;

class Interrupt : public QObject {
    Q_OBJECT
public:
    explicit Interrupt(QObject* parent = nullptr);
    ~Interrupt() override;

signals:
    void interrupted();

private:
    QSocketNotifier* m_notifier = nullptr;
};
