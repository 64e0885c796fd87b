// The link to the board: the serial port, what is sent on it and what comes back.
//
// Every frame leaves through here: the reply-expected mark (COMMAND) is set by
// the senders that wait for an answer, and the board's 100 ms after a parameter
// write is respected before any next frame. Every block received is announced
// (blockReceived, for the traffic monitor) and routed by its content to the
// signals below, in the order the routes are tested. What one read of the
// port returns is not a message: the blocks go through a framer (StreamFramer.h)
// that keeps a message arriving in pieces until it is whole and cuts joined
// messages apart, and each message is routed on its own. An answer to a
// parameter read still awaited is an answer to that read, whatever came between
// (see ReadReplies.h); an answer for an address no read awaits is nobody's: it
// is dropped, counted and announced (strayAnswer), never decoded.
//
// A board that sends a "B" block takes nothing for a second: this link's frames
// and stream bytes wait that long, in order, and its later messages are routed
// after it (SendHold.h). Nothing else waits, so boards on other links and every
// timer go on.
//
// One sending operation at a time. A multi-frame operation holds the link from
// begin() to end(). While it does:
// - only the operation's own steps send: a step runs inside a Sending scope, and
//   every other frame (connection check, read sweep, mode, bank, ...) is refused;
// - blocks the board sends are kept and routed after the operation, in arrival
//   order, unless the operation reads the answers itself (Blocks::Routed);
// - a second operation cannot start.
// Work made of several operations in turn (a profile applied) holds the link as
// one sequence, from before its first step to after its last: between steps the
// link stays busy, nothing else sends or begins, and Cancel reaches the sequence.
// Losing the device, or a send that finds the port closed under the operation,
// stops the operation through its stop handler, and the loss message says how far
// it got.
#pragma once

#include "comm/ReadReplies.h"
#include "comm/SendHold.h"
#include "comm/StreamFramer.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Operation;
class SerialPort;
class WindowTimer;

class BoardLink : public QObject {
    Q_OBJECT
public:
    enum class Blocks {
        Deferred, // received blocks wait for the end of the operation
        Routed,   // the operation reads the answers as they come (loader acknowledgements, telemetry)
    };

    struct Request {
        QString name; // as the user knows it: "Write Parameters"
        QString unit; // what the progress counts: "values", "bytes", "words"
        int total = 0;
        Blocks blocks = Blocks::Deferred;
        // Stops the operation's timers and restores its controls when the device
        // goes away; end() follows by itself.
        std::function<void()> stop;
        // False: the operation reads its answers itself (readAnswered) and the
        // screen's decoder sees none of them (a verification compares, it does
        // not show).
        bool decodeReplies = true;
    };

    // How far the running operation has got: "20 of 85 values" of "Write Parameters".
    struct Progress {
        QString name;
        QString unit;
        int done = 0;
        int total = 0;
    };

    explicit BoardLink(QObject* parent = nullptr);
    ~BoardLink() override;

    // ---- The port --------------------------------------------------------------
    // Takes the port over; its receive and device-lost events come here.
    void setPort(std::unique_ptr<SerialPort> port);
    SerialPort* port() const { return m_port.get(); }
    bool isOpen() const;

    // ---- Sending ---------------------------------------------------------------
    // Raw bytes (the sample stream): not logged. False when refused.
    bool send(const QByteArray& bytes);
    // A frame: announced by frameSent, sent after the board's pause that follows
    // a parameter write. False (nothing announced or sent) when refused.
    bool sendFrame(const QByteArray& frame);
    // When the last frame left, after any pause the board needed before it and
    // before the work of announcing it.
    qint64 lastFrameAt() const { return m_lastFrameAt; }
    // The board paused the link (a "B" block): what is sent now waits its turn.
    bool sendsWaiting() const { return m_sendHold->queueing(); }
    // A frame that expects an answer: marks the reply as expected once sent.
    bool sendCommand(const QByteArray& frame);
    // The reply-expected mark: set by sendCommand, cleared when the next block is
    // handed to the parameter decoder.
    bool expectingReply() const { return m_expectingReply; }
    void setExpectingReply(bool expecting) { m_expectingReply = expecting; }

    // A parameter read: a command whose answer is awaited for its address until
    // it comes or forgetAwaitedReads().
    bool sendRead(int address);
    void forgetAwaitedReads() { m_awaitedReads.reset(); }
    bool awaitingRead(int address) const { return m_awaitedReads.test(static_cast<std::size_t>(address)); }
    // Answers dropped because no read awaited their address.
    int strayAnswers() const { return m_strayAnswers; }

    // ---- Receiving -------------------------------------------------------------
    // A block from the port: announced as it came, then cut into messages, each
    // kept for after the operation or routed.
    void receive(const QByteArray& block);
    // Routes one message by its content (a kept one once the operation is over).
    void route(const QByteArray& block);
    // The port was opened or closed: bytes of the last connection never join
    // the next one's.
    void resetReceiving();

    // ---- Operations ------------------------------------------------------------
    // Starts an operation. When another one holds the link, or the port is not
    // open, says so in a message and returns false; nothing has been sent then.
    bool begin(Request request);
    // The same for an operation object: it becomes current() until end().
    bool begin(Operation& operation, Request request);
    // Records how far the operation has got (for the loss message and observers).
    void setDone(int done);
    void setTotal(int total);
    // The operation goes on to count something else, from zero.
    void restate(const QString& unit, int total);
    // Releases the link; blocks kept meanwhile are routed next, oldest first.
    void end();

    bool busy() const { return m_running || m_sequence.has_value(); }
    // The running operation's, or the last one's once it has ended.
    const Progress& progress() const { return m_progress; }
    // The running operation's object; null when none runs or it has none.
    Operation* current() const;

    // Refuses with a message naming the running operation (or sequence); true
    // when one runs.
    bool refuseWhileBusy() const;

    // Whether a frame may leave now: always when the link is not busy; during an
    // operation or sequence, only from inside its own steps.
    bool maySend() const { return !busy() || m_sendingDepth > 0; }

    // ---- Sequences -------------------------------------------------------------
    struct Sequence {
        QString name;                 // as the user knows it: "Apply profile"
        std::function<void()> cancel; // stops the sequence: the step under way, or the next one
    };
    // Holds the link for a sequence. Refuses as begin() does. Its steps are
    // operations begun from inside a Sending scope; nothing else may begin.
    bool beginSequence(Sequence sequence);
    void endSequence();
    // The running sequence's name; empty when none runs.
    QString sequenceName() const { return m_sequence ? m_sequence->name : QString(); }
    // Asks the running sequence to stop; false when none runs.
    bool cancelSequence();

    // Marks the code of an operation's step: its frames may leave.
    class Sending {
    public:
        explicit Sending(BoardLink& link)
            : m_link(link)
        {
            ++m_link.m_sendingDepth;
        }
        ~Sending() { --m_link.m_sendingDepth; }
        Sending(const Sending&) = delete;
        Sending& operator=(const Sending&) = delete;

    private:
        BoardLink& m_link;
    };

    // The device went away. Stops a running operation and returns what was cut
    // short ("Write Parameters stopped after 20 of 85 values: the connection to
    // /dev/ttyACM0 was lost."); empty when no operation ran.
    QString deviceLost(const QString& port);
    // The sentence above, for work that tells its own progress.
    static QString cutShort(const QString& name, int done, int total, const QString& unit,
                            const QString& port);

signals:
    void busyChanged(bool busy);
    // Everything that went out as a frame, and every block that came in.
    void frameSent(const QByteArray& frame);
    void blockReceived(const QByteArray& block);
    // The routes of a received block, emitted in this order.
    void writeFileDone();                         // "OK WRITE FILE"
    void parameterReply(const QByteArray& block); // the answer a sender waited for
    void readAnswered(int address, quint8 value); // an awaited parameter read was answered
    void acknowledged(char code);                 // the loader echoed a command's code
    void telemetry(const QByteArray& block);      // 0xFF and longer than 24 bytes
    void uploadEnded();                           // "End."
    // The board's "End." as it arrives, even while the blocks of the operation
    // are kept for after it: an upload ends when its board says so.
    void uploadEndHeard();
    void shot(const QByteArray& block);           // 0xAA 0xAA
    void strayAnswer(int address);                // an answer no read awaited, dropped
    // The port is gone: the device was unplugged, or the port closed under a
    // running operation. Announced once per loss.
    void portLost();

private:
    bool portOpen() const;
    // Says why an operation or sequence cannot begin on a closed port; true then.
    bool refuseWithoutPort(const QString& name) const;
    // Called by the receive path first: true when the block was kept for after
    // the operation.
    bool holdBlock(const QByteArray& block);
    // Messages as the framer cut them: announced, then delivered.
    void arrived(const QList<QByteArray>& messages);
    void deliver(const QList<QByteArray>& messages);
    // A message begun and not completed goes on as it stands once the line is quiet.
    void lineQuiet();
    void waitWhileBoardBusy();
    // A frame leaving now: announced, then sent.
    void transmitFrame(const QByteArray& frame);
    // What waited out the board's pause after a "B" block leaves.
    void release(const SendHold::Outgoing& out);
    void dropStrayAnswer(int address);
    // A send found the port closed while an operation held the link.
    void lostUnderOperation();
    void releaseHeld();
    // The board's pause after a "B" block is over: what it held is routed.
    void pauseOver();
    void routeReadReply(const ReadReply& reply);

    std::unique_ptr<SerialPort> m_port;
    StreamFramer m_framer;
    WindowTimer* m_quietWatch;
    bool m_expectingReply = false;
    AwaitedReads m_awaitedReads;
    int m_strayAnswers = 0;
    SendHold* m_sendHold;
    QList<QByteArray> m_pausedMessages; // received during the board's pause
    qint64 m_lastFrameAt = 0;
    std::optional<qint64> m_writeQueuedAt; // set while the last frame sent was a parameter write
    Request m_request;
    QPointer<Operation> m_operation;
    bool m_running = false;
    bool m_lossAnnounced = false;
    Progress m_progress;
    int m_sendingDepth = 0;
    QList<QByteArray> m_held;
    std::optional<Sequence> m_sequence;
};
