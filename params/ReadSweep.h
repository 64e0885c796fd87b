// Parameter reads: one request every 10 ms, without waiting for the answers.
// "Read Parameters" asks for all 226 addresses; a verification asks for the
// addresses it wrote. The operation holds the link: the answers are decoded as
// they come (they are routed, not kept), and nothing else may send meanwhile, so
// no frame lands between two requests and takes an answer meant for the screen.
//
// An answer may be lost on the way (or, before the link cut joined answers
// apart, never decoded). Once the last request has gone and the answers have
// had time to arrive, every address that has not answered is asked once more,
// one frame each at the same pace, together with the other bytes of its value
// (the decoder builds a two- or four-byte value from its bytes in order). What
// is still missing then is reported by unanswered(); the reader decides.
#pragma once

#include "comm/Operation.h"

#include <QList>
#include <array>
#include <optional>

class WindowTimer;

class ReadSweep : public Operation {
    Q_OBJECT
public:
    // "Read Parameters": every address, 0 to 225, decoded onto the screen.
    explicit ReadSweep(BoardLink& link, QObject* parent = nullptr);
    // A read of chosen addresses, in this order, under another name. With
    // decode false the screen's decoder sees none of the answers.
    ReadSweep(BoardLink& link, const QString& name, QList<int> addresses, bool decode,
              QObject* parent = nullptr);

    // Nothing is changed on the board: stopping is always safe.
    QString cancelQuestion() const override;

    // What an address answered in this read; nothing when it did not.
    std::optional<quint8> value(int address) const;
    const QList<int>& addresses() const { return m_addresses; }
    // The addresses asked for that have not answered, in the order asked.
    QList<int> unanswered() const;
    // How many of the addresses asked for have answered.
    int answeredCount() const;

protected:
    void run() override;
    void halt() override;
    // What the user is told when the read has ended; nothing by default.
    virtual QString endMessage() const { return {}; }

private:
    enum class Phase { Asking, Settling, AskingAgain, SettlingAgain };
    void tick();
    void sendNext();
    void answered(int address, quint8 value);
    void startAskingAgain();
    void end(bool ok);

    QList<int> m_addresses; // as asked the first time
    std::array<std::optional<quint8>, ADDRESS_SPACE> m_values{};
    WindowTimer* m_timer;
    Phase m_phase = Phase::Asking;
    QList<int> m_queue; // requests still to send in this pass
    int m_sent = 0;
    qint64 m_lastSentAt = 0; // when the last request left
    bool m_retimed = false;  // the timer waits out the rest of 10 ms, not a period
};
