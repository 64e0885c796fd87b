// One sending operation at a time.
//
// A multi-frame operation (parameter write, sound erase or upload, bulk load,
// calibration writes, firmware run) holds the link from begin() to end(). While
// it does:
// - only the operation's own steps send: a step runs inside a Sending scope, and
//   every other frame (connection check, read sweep, mode, bank, ...) is refused;
// - blocks the board sends are kept and routed after the operation, in arrival
//   order, unless the operation reads the answers itself (Blocks::Routed);
// - a second operation cannot start.
// Losing the device stops the operation through its stop handler, and the loss
// message says how far it got.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class SerialPort;

class LinkOperation : public QObject {
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
    };

    // port() is asked at each begin(), since the window may replace its port.
    explicit LinkOperation(std::function<SerialPort*()> port, QObject* parent = nullptr);

    // Starts an operation. When another one holds the link, or the port is not
    // open, says so in a message and returns false; nothing has been sent then.
    bool begin(Request request);
    // Records how far the operation has got (for the loss message and observers).
    void progress(int done);
    void setTotal(int total);
    // Releases the link; blocks kept meanwhile are routed next, oldest first.
    void end();

    bool busy() const { return m_running; }
    const QString& name() const { return m_request.name; }
    int done() const { return m_done; }
    int total() const { return m_request.total; }

    // Whether a frame may leave now: always when no operation runs; during one,
    // only from inside its own steps.
    bool maySend() const { return !m_running || m_sendingDepth > 0; }

    // Marks the code of an operation's step: its frames may leave.
    class Sending {
    public:
        explicit Sending(LinkOperation& link)
            : m_link(link)
        {
            ++m_link.m_sendingDepth;
        }
        ~Sending() { --m_link.m_sendingDepth; }
        Sending(const Sending&) = delete;
        Sending& operator=(const Sending&) = delete;

    private:
        LinkOperation& m_link;
    };

    // Called by the receive dispatch first: true when the block was kept for
    // after the operation.
    bool holdBlock(const QByteArray& block);
    // Where kept blocks go once the operation is over (the dispatch's routing).
    std::function<void(const QByteArray&)> routeHeld;

    // The device went away. Stops a running operation and returns what was cut
    // short ("Write Parameters stopped after 20 of 85 values: the connection to
    // /dev/ttyACM0 was lost."); empty when no operation ran.
    QString deviceLost(const QString& port);
    // The sentence above, for work that tells its own progress.
    static QString cutShort(const QString& name, int done, int total, const QString& unit,
                            const QString& port);

signals:
    void busyChanged(bool busy);

private:
    void releaseHeld();

    std::function<SerialPort*()> m_port;
    Request m_request;
    bool m_running = false;
    int m_done = 0;
    int m_sendingDepth = 0;
    QList<QByteArray> m_held;
};
