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
// is dropped, counted and announced (PendingReads.h), never decoded.
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
// - a second operation cannot start, except a step of the operation that holds
//   the link (an operation made of steps): it runs, and is current(), until its
//   end gives the link back to the operation whose step it was.
// Losing the device, or a send that finds the port closed under the operation,
// stops the operation through its stop handler, and the loss message says how far
// it got.
#pragma once

#include "comm/OperationProgress.h"
#include "comm/PendingReads.h"
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
    // it comes or the reads are forgotten.
    bool sendRead(int address);
    PendingReads& reads() const { return *m_reads; }

    // ---- Receiving -------------------------------------------------------------
    // A block from the port: announced as it came, then cut into messages, each
    // kept for after the operation or routed.
    void receive(const QByteArray& block);
    // The port was opened or closed: bytes of the last connection never join
    // the next one's.
    void resetReceiving();

    // ---- Operations ------------------------------------------------------------
    // Starts an operation. When another one holds the link, or the port is not
    // open, says so in a message and returns false; nothing has been sent then.
    bool begin(Request request);
    // The same for an operation object: it becomes current() until end(). A step
    // of the operation holding the link begins in its place.
    bool begin(Operation& operation, Request request);
    // Releases the link (a step gives it back to its operation); blocks kept
    // meanwhile are routed next, oldest first.
    void end();

    bool busy() const { return m_running; }
    // How far the running operation (its step under way) has got, or the last
    // one once it has ended.
    OperationProgress progress() const;
    // The running operation's object, its step while one runs; null when none
    // runs or it has none.
    Operation* current() const;

    // Refuses with a message naming the running operation; true when one runs.
    bool refuseWhileBusy() const;

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
    // The port is gone: the device was unplugged, or the port closed under a
    // running operation. Announced once per loss.
    void portLost();

private:
    // While a step runs: the operation whose step it is, as it held the link.
    struct Host {
        Request request;
        QPointer<Operation> operation;
    };

    bool portOpen() const;
    // Whether a frame may leave now: always when the link is not busy; during an
    // operation, only from inside its own steps.
    bool maySend() const { return !busy() || m_sendingDepth > 0; }
    // Routes one message by its content (a kept one once the operation is over).
    void route(const QByteArray& block);
    // Says why an operation cannot begin on a closed port; true then.
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
    PendingReads* m_reads;
    SendHold* m_sendHold;
    QList<QByteArray> m_pausedMessages; // received during the board's pause
    qint64 m_lastFrameAt = 0;
    std::optional<qint64> m_writeQueuedAt; // set while the last frame sent was a parameter write
    Request m_request;
    QPointer<Operation> m_operation;
    std::optional<Host> m_host;
    bool m_running = false;
    bool m_lossAnnounced = false;
    // Of the last operation once it has ended, or of one begun without an object.
    OperationProgress m_lastProgress;
    int m_sendingDepth = 0;
    QList<QByteArray> m_held;
};
