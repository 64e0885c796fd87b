// Ctrl-C and SIGTERM as an event. The handlers are installed when the program
// starts, before anything else, so a signal that lands while the arguments are
// still being read is kept: the handler only writes a byte to a pipe, and the
// first Interrupt object made afterwards reads it in the event loop and emits
// interrupted(), where the work is stopped.
#pragma once

#include <QObject>

class QSocketNotifier;

class Interrupt : public QObject {
    Q_OBJECT
public:
    // Once, first thing in main(). Also ignores SIGPIPE: a reader that went away
    // shows as a failed write, which the program reports, not as a silent death
    // halfway through a write to the board.
    static void installHandlers();

    explicit Interrupt(QObject* parent = nullptr);

signals:
    void interrupted();

private:
    QSocketNotifier* m_notifier = nullptr;
};
