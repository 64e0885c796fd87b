// A serial port under the test's control: records every send with its
// simulated time, feeds received blocks, can refuse to open or vanish.
#pragma once

#include "comm/SerialPort.h"

#include <QList>

class ScriptedPort final : public SerialPort {
public:
    struct Sent {
        qint64 at;
        QByteArray bytes;
    };

    void Open() override;
    void Close() override;
    bool IsOpen() const override { return m_open; }
    void Send(const QByteArray& data) override;
    void SetRTS(bool status) override { rts = status; }

    // Delivers one received block, as the component's hand-over would.
    void feed(const QByteArray& block);
    // The device disappears: the port closes itself and reports the loss.
    void vanish();

    QByteArray sentBytes() const;
    void clearSent() { sent.clear(); }

    QList<Sent> sent;
    QString failOpenReason; // non-empty: Open raises as a missing device would
    int openCount = 0;
    int closeCount = 0;
    bool rts = false;

private:
    bool m_open = false;
};
