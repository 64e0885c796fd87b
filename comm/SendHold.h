// A board that sends a "B" block takes nothing for a second. Its link's bytes
// wait here meanwhile, in the order they were sent and with the gaps that were
// between them, and leave once the second is over; no other link, no timer and
// no other work waits with them.
#pragma once

#include <QByteArray>
#include <QObject>
#include <deque>
#include <functional>

class WindowTimer;

class SendHold : public QObject {
    Q_OBJECT
public:
    struct Outgoing {
        QByteArray bytes;
        bool frame = false; // a frame (announced, paced after a parameter write), or raw stream bytes
        qint64 queuedAt = 0;
    };
    using Sender = std::function<void(const Outgoing&)>;

    SendHold(Sender send, QObject* parent = nullptr);

    // Nothing leaves for ms from now; a hold under way is renewed.
    void holdFor(int ms);
    // The hold runs: received messages wait for its end too, as the board's do.
    bool holding() const { return m_phase == Phase::Holding; }
    // Bytes sent now would overtake waiting ones: they queue instead.
    bool queueing() const { return m_phase != Phase::Idle; }
    void queue(const QByteArray& bytes, bool frame);
    // The connection is gone: what waits has nowhere to go.
    void clear();

signals:
    // The hold is over; the waiting bytes leave next.
    void holdOver();

private:
    enum class Phase { Idle, Holding, Releasing };
    void tick();
    void releaseDue();

    Sender m_send;
    WindowTimer* m_timer;
    Phase m_phase = Phase::Idle;
    std::deque<Outgoing> m_waiting;
    qint64 m_lastQueuedAt = 0; // of the last one released: the next keeps its gap to it
};
