// A serial port under the test's control: records every send with its
// simulated time, feeds received blocks, can refuse to open or vanish. Sent
// bytes leave on simulated time: each Send's write completes writeDelayMs after
// it, and the line then carries the bytes at drainBytesPerSecond, or at the
// nominal baud's pace when none is set, as a real line would.
#pragma once

#include "comm/SerialPort.h"

#include <QList>
#include <deque>

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
    qint64 OutputPending() const override;
    std::optional<qint64> WrittenAt() const override;
    bool InputWaiting() const override { return inputWaiting; }

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
    // Set for a USB board, which takes bytes at its own pace whatever the baud; 0
    // for one that takes nothing.
    std::optional<qint64> drainBytesPerSecond;
    int writeDelayMs = 0;
    // Bytes received but not handed over yet, as while the window is busy.
    bool inputWaiting = false;

private:
    // What one Send puts on the line: its bytes leave evenly from startMs to endMs.
    struct OnTheLine {
        double startMs;
        double endMs;
        qint64 bytes;
    };
    void resetLine();

    bool m_open = false;
    std::deque<OnTheLine> m_line;
    std::optional<qint64> m_writtenAt; // when the last Send's write completes
};
