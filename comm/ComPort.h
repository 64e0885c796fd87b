// The serial port component on Linux: a termios device, exclusively held, and a
// reader thread that waits in poll() and hands every line event to the
// user-interface thread, which runs it before the thread waits again.
//
// Platform notes:
// - WinQSizeIn/WinQSizeOut are kept for the window definition, but Linux serial
//   drivers have buffers of their own fixed size: the values change nothing.
// - Send only queues: the thread writes the queue in as few write() calls as the
//   driver accepts. Close gives queued bytes up to CommThread::kCloseFlushLimit
//   (one second) to reach the wire, then discards the rest.
// - Parity, stop-bit and data-bit mapping: see comm/LineSettings.h.
// - The thread runs at normal priority: raising it needs privileges a desktop
//   user does not have, and the hand-over, not the thread, sets the latency.
// - The destructor closes without firing OnPortClose: the owner that bound the
//   handler may already be half destroyed.
#pragma once

#include "comm/SerialPort.h"

#include <QStringList>
#include <memory>

using ReceiveCountHandler = std::function<void(quint32 received)>;
using LineEventHandler = std::function<void(quint32 eventMask, quint32 modemStatus)>;

// Line-event bits and modem-status bits, as the component reports them.
namespace ComEvent {
inline constexpr quint32 RXCHAR = 0x0001;
inline constexpr quint32 CTS = 0x0008;
inline constexpr quint32 DSR = 0x0010;
inline constexpr quint32 RLSD = 0x0020;
inline constexpr quint32 ERR = 0x0080;
inline constexpr quint32 RING = 0x0100;
inline constexpr quint32 ALL = RXCHAR | CTS | DSR | RLSD | ERR | RING; // 0x01B9
} // namespace ComEvent
namespace ModemStatus {
inline constexpr quint32 CTS_ON = 0x0010;
inline constexpr quint32 DSR_ON = 0x0020;
inline constexpr quint32 RING_ON = 0x0040;
inline constexpr quint32 RLSD_ON = 0x0080;
} // namespace ModemStatus

class CommThread;

class ComPort : public SerialPort {
    Q_OBJECT
public:
    explicit ComPort(QObject* owner = nullptr);
    ~ComPort() override;

    void Open() override;
    void Close() override;
    bool IsOpen() const override { return FOpen; }
    void Send(const QByteArray& data) override;
    void SetRTS(bool status) override;
    qint64 OutputPending() const override;
    std::optional<qint64> WrittenAt() const override;
    bool InputWaiting() const override;

    quint32 WinQSizeIn() const { return FWinQSizeIn; }
    void setWinQSizeIn(quint32 size) { FWinQSizeIn = size; }
    quint32 WinQSizeOut() const { return FWinQSizeOut; }
    void setWinQSizeOut(quint32 size) { FWinQSizeOut = size; }
    ReceiveFraming ReceiveMode() const { return FReceiveMode; }
    void setReceiveMode(ReceiveFraming mode) { FReceiveMode = mode; }
    QString GetTerminator() const;
    void SetTerminator(const QString& termStr); // raises EComError
    const QByteArray& TerminatorBytes() const { return FTerminator; }

    LineStatusHandler OnCTSChanged;
    LineStatusHandler OnDSRChanged;
    LineStatusHandler OnRingChanged;
    LineStatusHandler OnRLSDChanged;

    // Called by the reader thread's hand-over, on the user-interface thread.
    void ReceiveNotify(quint32 nReceived);
    void EventNotify(quint32 eventMask, quint32 modemStatus);

    // Text of s before the first separator; removes it and the separator from s.
    static QString NextToken(QString& s, const QString& separator);

    // Statistics: write() system calls made for Send since creation.
    quint64 writeCalls() const;

private:
    void deviceLost(quint64 generation);
    void shutDown();
    QByteArray readWaiting(quint32 count);
    void deliverTerminated(const QByteArray& data, const ReceiveHandler& callback);

    quint32 FWinQSizeIn = 8192;
    quint32 FWinQSizeOut = 8192;
    ReceiveFraming FReceiveMode = rmTERM;
    QByteArray FTerminator = QByteArrayLiteral("\r\n");
    bool FOpen = false;
    QByteArray RxBuf;
    std::shared_ptr<CommThread> ComThread;
    quint64 m_generation = 0;
    quint64 m_pastWriteCalls = 0;
};

// Appends the serial devices that can be opened now, in a stable natural order.
void EnumPorts(QStringList* portList);

// Whether a device path is one a board shows up as: a USB serial device
// (/dev/ttyACM*, /dev/ttyUSB*) or a port in the simulated boards' folder. A
// built-in UART such as /dev/ttyS0 is not, so a search for boards never opens it.
bool IsBoardPortName(const QString& path);
// The board devices there are now, in EnumPorts' order, none of them opened to
// test it: one held by another program is listed too, so that a command over
// every board can say it was skipped. The simulators' control sockets are left out.
QStringList BoardPortCandidates();

// The folder where simulated boards publish their ports (links to pseudo-terminals);
// EnumPorts lists the links it finds there.
QString PublishedPortsFolder();
// Lists another folder instead (tests); an empty path restores the built-in one.
void setPublishedPortsFolder(const QString& folder);
