// The check that runs when the set-up window opens: one step every 2000 ms. The
// board is put into TX; if it answered within the 2 s it is put into SetUp and
// its parameters are read; 2 s into the read the wait dialog closes. A board
// that does not answer gets the port closed.
//
// The window does what the user sees and what the status buttons do; the check
// decides when. While another operation holds the link the check waits, and it
// is never started while one runs (see start()).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class BoardLink;
class Operation;
class WindowTimer;

class ConnectionCheck : public QObject {
    Q_OBJECT
public:
    struct Steps {
        std::function<bool()> portChosen;       // a port has been opened (its list is locked)
        std::function<void(bool)> notFound;     // says so; true: also closes the port and the dialog
        std::function<void()> showWaiting;      // the wait dialog, while the board is asked
        std::function<void()> enterTx;          // selects TX: the board is asked to answer
        std::function<void()> enterSetUp;       // selects SetUp
        std::function<Operation*()> startSweep; // the read sweep; null when it could not start
        std::function<void()> closeWaiting;     // the wait dialog is done
    };

    ConnectionCheck(BoardLink& link, Steps steps, QObject* parent = nullptr);

    // Starts over from the first step, 2000 ms from now. Refused (false) while an
    // operation holds the link: the board is busy with it, and checking it after
    // would put it into SetUp and read it again behind the user's back.
    bool start();
    void stop();
    bool running() const;

    // The step the next tick runs.
    enum class Step { Start, Answer, Sweep, Done };
    Step step() const { return m_step; }

private:
    void tick();

    BoardLink& m_link;
    Steps m_steps;
    WindowTimer* m_timer;
    Step m_step = Step::Start;
    QPointer<Operation> m_sweep; // the sweep this check started
};
