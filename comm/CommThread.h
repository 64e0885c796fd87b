// The thread of one open port. It owns the device descriptor and waits in poll()
// on the device and on a wake-up eventfd. It never touches the component: every
// line event is posted to the user-interface thread, and the thread does not look
// at the device's input again until that hand-over has run (the user-interface
// thread reports completion through the wake-up descriptor). Meanwhile it keeps
// draining the transmit queue, so Send from inside a callback still flows.
// The transmit side is CommThreadOutput.cpp; the modem lines it samples are read
// by ModemLines.h.
#pragma once

#include "comm/ComPort.h"

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <termios.h>
#include <thread>

class CommThread : public std::enable_shared_from_this<CommThread> {
public:
    // Opens the device exclusively, sets 9600 baud 8E1 raw and runs ClearComm.
    // On failure HandleValid() is false and OpenError() tells why.
    explicit CommThread(const QString& port);
    ~CommThread();
    CommThread(const CommThread&) = delete;
    CommThread& operator=(const CommThread&) = delete;

    bool HandleValid() const { return m_fd >= 0; }
    int OpenError() const { return m_openError; }

    void SetCommPars(quint32 baudRate, quint8 byteSize, ParityMode parity, StopBitCount stopBits);
    // Drops whatever either direction still holds; lowers DTR and RTS.
    void ClearComm();
    void SetRTS(bool on);

    // Starts waiting. Hand-overs and the loss notice are posted to context,
    // which must live on the user-interface thread and outlive WaitFor().
    void Start(QObject* context);
    // Asks the thread to stop after sending what is queued (see kCloseFlushLimit).
    void SignalTerminate();
    void WaitFor();
    // After WaitFor: restores the settings found at open, releases the device.
    void ClosePort();

    // User-interface thread, inside a hand-over: the bytes waiting, and reading them.
    quint32 BytesWaiting() const;
    quint32 ReadComm(char* buffer, quint32 charsToRead);
    // Any thread: a hand-over is on its way, or the driver holds bytes the thread
    // has not seen yet.
    bool InputWaiting() const;
    // Any thread: queues bytes for the thread to write. Never blocks on the device.
    void WriteComm(const char* buffer, qsizetype byteCount);

    // write() system calls made so far.
    quint64 WriteCalls() const { return m_writeCalls.load(std::memory_order_relaxed); }

    // Any thread: bytes queued by WriteComm that have not left yet, whether they
    // still wait for their write() or sit in the driver's output queue.
    qint64 OutputPending() const;
    // Any thread: when the write() that took the last queued byte returned;
    // nothing while some queued byte still waits for its write() or before the
    // first write.
    std::optional<std::chrono::steady_clock::time_point> WrittenAt() const;

    // How long Close may wait for queued bytes to reach the wire.
    static constexpr std::chrono::milliseconds kCloseFlushLimit{1000};

    // Callbacks into the component, run on the user-interface thread.
    ReceiveCountHandler FOnReceive;
    LineEventHandler FLineEvent;
    std::function<void()> FOnLost;

private:
    struct LineState {
        quint32 modemStatus = 0; // ModemStatus bits
        quint64 errorCount = 0;  // framing + overrun + parity errors so far
    };
    enum class Input { None, Data, Gone };
    // Bytes the driver holds that no read has taken yet.
    quint32 driverBytes() const;
    static constexpr short kHangupEvents = POLLHUP | POLLERR | POLLNVAL;

    bool openDevice(const QString& port);
    void Execute();
    bool serviceOutput();
    bool serviceInput(short revents);
    Input probeInput(short revents);
    bool sampleLines(LineState& state) const;
    void detectLineSupport();
    short portEvents(bool handOverPending) const;
    int pollTimeout(bool handOverPending) const;
    void flushOnClose();
    void waitForDriverDrain(std::chrono::steady_clock::time_point deadline);
    void takeQueued();
    void noteWritten(qsizetype count);
    bool outputIdle();
    void postHandOver(quint32 eventMask);
    void runHandOver();
    void EventHandler();
    void reportLost();
    void wake();
    void consumeWake();

    int m_fd = -1;
    int m_wakeFd = -1;
    int m_openError = 0;
    termios m_savedSettings{};
    QObject* m_context = nullptr;
    std::thread m_thread;
    std::atomic<bool> m_terminate{false};

    // Hand-over state: written by the thread before posting, read by the
    // user-interface thread while m_handOverPending is set.
    std::atomic<bool> m_handOverPending{false};
    quint32 FEventMask = 0;
    quint32 FModemStatus = 0;
    QByteArray m_carry; // a byte read to tell end-of-file from a spurious wake-up

    // Thread-only state.
    bool m_hangupWhilePending = false;
    bool m_driverFull = false; // the last write() met EAGAIN; wait for POLLOUT
    bool m_modemSupported = false;
    bool m_countsSupported = false;
    LineState m_lines;
    QByteArray m_out;
    qsizetype m_outPos = 0;
    std::atomic<bool> m_lostReported{false};

    std::mutex m_queueMutex;
    QByteArray m_queue;
    // Bytes ever queued (under m_queueMutex) and ever written; the time of the
    // write that brought m_written to its value is stored before it.
    std::atomic<quint64> m_queued{0};
    std::atomic<quint64> m_written{0};
    std::atomic<std::chrono::steady_clock::rep> m_lastWriteTicks{0};
    std::atomic<bool> m_wakeArmed{false};
    std::atomic<quint64> m_writeCalls{0};
};
