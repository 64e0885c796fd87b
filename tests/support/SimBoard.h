// A simulated board for end-to-end tests: starts the built kordex-sim with its
// own ports folder (a temporary one unless told otherwise), waits until the port
// is published, talks to its control channel, and stops it (SIGTERM) when it goes.
// The board is strict unless told otherwise: a frame sent while it is still busy
// with the last one is dropped and counted, as a real board would lose it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <memory>

class SimBoard {
public:
    static constexpr int START_TIMEOUT_MS = 15000;
    static constexpr int CONTROL_TIMEOUT_MS = 5000;

    struct Options {
        QString portsDir; // empty: a temporary folder of this object
        QString name = QStringLiteral("kordex-sim");
        QStringList arguments; // more command-line options, e.g. {"--rate", "20"}
        bool strict = true;
    };

    SimBoard();
    explicit SimBoard(const Options& options);
    ~SimBoard();
    SimBoard(const SimBoard&) = delete;
    SimBoard& operator=(const SimBoard&) = delete;

    // True once the simulator has published its port; false if it failed to start.
    bool isRunning() const;
    // What the simulator wrote on stderr (why it did not start, its notes).
    QString errorOutput() const;

    QString portPath() const { return m_portPath; }
    QString portsDir() const { return m_portsDir; }
    QString controlPath() const;
    qint64 processId() const;

    // Sends one control command and returns the reply line without its line
    // feed, or an empty string when there was no reply.
    QString control(const QString& command, int timeoutMs = CONTROL_TIMEOUT_MS) const;
    bool controlOk(const QString& command) const;

    // Parameter memory through the control channel; -1 when there is no answer.
    int param(int address) const;
    bool setParam(int address, int value) const;
    // The running part of the serial number (1523-<running>), so that a test's
    // board keeps a journal of its own.
    bool setRunningSerial(int running) const;
    // Board status (1 Active, 3 TX, 4 SetUp); -1 when there is no answer.
    int mode() const;
    // "open", "closed" or "unplugged".
    QString portState() const;
    // The simulator's counters ("frames", "uploads", ...); empty without answer.
    QMap<QString, qint64> counters() const;
    qint64 counter(const QString& name) const { return counters().value(name, -1); }
    // Frames that came while the board was busy; -1 when there is no answer.
    qint64 violations() const { return counter(QStringLiteral("violations")); }
    // Their number and the most recent of them, one line, for a failure message.
    QString violationReport() const { return control(QStringLiteral("violations")); }
    // Milliseconds until the board takes the next frame; -1 when there is no answer.
    int busyMs() const;
    // "params", "sound" or "program", fetched through a temporary file.
    QByteArray dump(const QString& what) const;

    // The bytes of a traffic log's RX lines (control command "log FILE"), in
    // order, without their times.
    static QByteArray receivedBytes(const QString& logPath);
    // One line of a record of what the board sent (control command "sent FILE").
    struct SentMessage {
        qint64 ms = 0;
        QString kind; // reply, telemetry, shot, end or ack
        QByteArray bytes;
    };
    static QList<SentMessage> sentMessages(const QString& recordPath);
    // Their bytes, joined in order: what the tool should have read.
    static QByteArray sentBytes(const QString& recordPath);
    // The parameter value writes among received bytes without sound data: the
    // write frames but those of the status address, which change the mode.
    static int valueWrites(const QByteArray& received);

    // Sends SIGTERM and waits for the exit. True when it exited normally with 0.
    bool stop();

private:
    bool waitForPublishedPath();
    // The number in the reply "ok N" to command; -1 otherwise.
    int number(const QString& command) const;

    std::unique_ptr<QTemporaryDir> m_tempDir;
    QString m_portsDir;
    QString m_name;
    QString m_portPath;
    std::unique_ptr<QProcess> m_process;
    QTemporaryFile m_errorLog; // the simulator's stderr: a pipe nobody reads could fill and block it
};
