#include "comm/SendHold.h"

#include "common/Clock.h"

SendHold::SendHold(Sender send, QObject* parent)
    : QObject(parent)
    , m_send(std::move(send))
    , m_timer(new WindowTimer(this))
{
    m_timer->setObjectName(QStringLiteral("sendHoldTimer"));
    m_timer->setOnTimer([this] { tick(); });
}

void SendHold::holdFor(int ms)
{
    m_phase = Phase::Holding;
    m_timer->setInterval(ms);
    m_timer->setEnabled(true);
}

void SendHold::queue(const QByteArray& bytes, bool frame)
{
    m_waiting.push_back({bytes, frame, appClock().now()});
}

void SendHold::clear()
{
    m_waiting.clear();
    m_timer->setEnabled(false);
    m_phase = Phase::Idle;
}

void SendHold::tick()
{
    m_timer->setEnabled(false);
    if (m_phase == Phase::Holding) {
        m_phase = Phase::Releasing;
        emit holdOver();
        if (m_phase != Phase::Releasing) // a block routed at the end began another hold
            return;
    }
    // The wait of the first one waiting is over.
    if (!m_waiting.empty())
        m_lastQueuedAt = m_waiting.front().queuedAt;
    releaseDue();
}

void SendHold::releaseDue()
{
    // Every byte is as late as the first that waited: a paced stream keeps its
    // pace, and the bytes that come in the meantime queue behind.
    while (!m_waiting.empty()) {
        const qint64 gap = m_waiting.front().queuedAt - m_lastQueuedAt;
        if (gap > 0) {
            m_timer->setInterval(static_cast<int>(gap));
            m_timer->setEnabled(true);
            return;
        }
        const Outgoing next = m_waiting.front();
        m_waiting.pop_front();
        m_lastQueuedAt = next.queuedAt;
        m_send(next);
        if (m_phase != Phase::Releasing) // cleared, or held again, by what the sending set off
            return;
    }
    m_phase = Phase::Idle;
}
