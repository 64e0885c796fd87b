// One board on the command line: its port, its link, and the few things every
// subcommand does with it, each reporting its end through a callback so that
// several boards run side by side on one event loop.
#pragma once

#include "comm/BoardLink.h"
#include "params/Board.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>

class Operation;
namespace Sound {
class BoardJournal;
} // namespace Sound

class BoardSession : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(bool ok, const QString& message)>;
    // The board status it reports (Define::STATO_TAVRIN_*), or nothing when it did not say.
    using ModeFound = std::function<void(std::optional<int> status)>;

    explicit BoardSession(const QString& port, QObject* parent = nullptr);

    const QString& port() const { return m_port; }
    BoardLink& link() { return *m_link; }
    const Params::BoardModel& model() const { return m_board->model(); }
    // The slot journal of this board, kept as the window keeps it.
    Sound::BoardJournal& journal() { return *m_journal; }

    // Opens the port; false with a message naming it and saying what to do.
    bool open(QString* error);
    // Whether the last open failed because another program holds the port.
    bool heldElsewhere() const { return m_heldElsewhere; }
    // Asks the board which mode it is in, changing nothing: a read of the status
    // address, or the status byte of its telemetry when it streams in TX.
    void findMode(const ModeFound& found);
    // Puts the board into TX and waits for its answer, as the window's connection
    // check does, then into SetUp: the mode every board command needs.
    void connectBoard(const Done& done);
    // Sends a status frame (Active, TX, SetUp) and waits for the board's answer.
    void setMode(int status, const Done& done);
    // The same after the work, to leave the board in the mode it was found in:
    // done even after Ctrl-C.
    void restoreMode(int status, const Done& done);
    // Back from TX to SetUp. The board answers no status frame but TX's: its
    // stream simply stops, so nothing is awaited. False when the port is gone.
    bool leaveTx();
    // The read sweep, which asks again for what did not answer. Fails, naming
    // them, when values the screen shows are still missing then: a value never
    // read is neither saved nor written back.
    void readParameters(const Done& done);
    // Reads the serial number unless this session has read it: the journal is
    // kept under it. Fails when the board's answers did not all come.
    void readSerialNumber(const Done& done);
    // Lets the board work on its own for ms (telemetry streams meanwhile); Ctrl-C
    // ends the wait early, with ok false.
    void pause(int ms, const Done& done);
    // Runs an operation to its end; the session owns it from now on.
    void run(Operation* operation, const Done& done);
    // Ctrl-C: what runs stops at its next safe point, and no step that would
    // change the board begins afterwards (putting it back into the mode it was
    // found in excepted): each ends at once, saying it was not begun.
    // Returns what the user is told at once: why the step under way goes on
    // (one that cannot be stopped safely), or nothing.
    QString cancel();
    bool lost() const { return m_lost; }

signals:
    void progressed(const QString& what, int done, int total, const QString& unit);

private:
    // After Ctrl-C: ends the step with why (what was not begun); true then.
    bool refuseAfterStop(const QString& why, const Done& done);
    void wait(int ms, const Done& done);
    void awaitReply(int timeoutMs, const Done& done, const std::function<QString()>& noAnswer);
    void finishWait(bool ok, const QString& message);
    void portLost();
    QString lossMessage() const;

    QString m_port;
    Params::Board* m_board;
    BoardLink* m_link;
    Sound::BoardJournal* m_journal;
    QPointer<Operation> m_operation;
    Done m_waiting; // the callback of the wait in progress
    class QTimer* m_timer;
    bool m_lost = false;
    bool m_stopRequested = false;
    bool m_heldElsewhere = false;
    QString m_lostMessage;
};
