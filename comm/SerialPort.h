// What the windows need of a serial port. ComPort implements it on a real
// device; tests substitute a scripted port that records what was sent.
#pragma once

#include "common/Framework.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

enum ParityMode { ptNONE = 0, ptODD = 1, ptEVEN = 2, ptMARK = 3, ptSPACE = 4 };
enum StopBitCount { sbONE = 0, sbONE5 = 1, snTWO = 2 };
enum ReceiveFraming { rmRAW = 0, rmTERM = 1 };

using PortEvent = std::function<void(QObject* sender)>;
using ReceiveHandler = std::function<void(const QByteArray& data)>;
using LineStatusHandler = std::function<void(bool status)>;

// Raised by the serial component: open failures and bad terminator texts.
class EComError : public Exception {
public:
    using Exception::Exception;
};

class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void Open() = 0;  // raises EComError; does nothing when already open
    virtual void Close() = 0; // does nothing when not open
    virtual bool IsOpen() const = 0;
    virtual void Send(const QByteArray& data) = 0; // dropped silently when closed
    virtual void SetRTS(bool status) = 0;

    // How far the bytes handed to Send have got. What paces a stream is what has
    // really left, not the nominal baud: a USB board takes bytes at the link's
    // pace whatever the baud says, while a real slow line keeps them queued.
    // Bytes handed to Send that have not left yet: still in the component's own
    // queue or in the driver's. 0 when closed.
    virtual qint64 OutputPending() const = 0;
    // When everything handed to Send so far had been written to the driver, on
    // the application clock (ms); nothing while some of it still waits for its
    // write, or when nothing was ever sent since the port opened.
    virtual std::optional<qint64> WrittenAt() const = 0;
    // Received bytes that have not been handed to ReceiveCallBack yet. A line is
    // only quiet when nothing waits here: a window busy painting must not take
    // its own delay for a pause of the board's.
    virtual bool InputWaiting() const = 0;

    const QString& Port() const { return FPortID; }
    void setPort(const QString& port) { FPortID = port; }
    quint32 Baud() const { return FBaud; }
    void setBaud(quint32 baud) { FBaud = baud; }
    quint8 DataBits() const { return FDataBits; }
    void setDataBits(quint8 bits) { FDataBits = bits; }
    ParityMode Parity() const { return FParity; }
    void setParity(ParityMode parity) { FParity = parity; }
    StopBitCount StopBits() const { return FStopBits; }
    void setStopBits(StopBitCount stopBits) { FStopBits = stopBits; }

    // Events. A component fires them on the user-interface thread.
    PortEvent OnPortOpen;
    PortEvent OnPortClose;
    PortEvent OnError;
    ReceiveHandler ReceiveCallBack;
    // The device went away while open (a USB board unplugged). Fired once, after
    // the component has closed itself (OnPortClose has run).
    PortEvent OnDeviceLost;

protected:
    QString FPortID = QStringLiteral("COM1");
    quint32 FBaud = 9600;
    quint8 FDataBits = 8;
    ParityMode FParity = ptNONE;
    StopBitCount FStopBits = sbONE;
};
