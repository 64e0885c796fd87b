#include "comm/FramePacer.h"

#include "comm/BoardLink.h"
#include "common/Clock.h"

FramePacer::FramePacer(BoardLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_timer(new WindowTimer(this))
{
    m_timer->setObjectName(QStringLiteral("PaceTimer"));
    m_timer->setOnTimer([this] { tick(); });
}

void FramePacer::run(QList<PacedFrame> steps, std::function<void()> done)
{
    m_steps = std::move(steps);
    m_done = std::move(done);
    m_sent = 0;
    m_active = true;
    tick();
}

void FramePacer::stop()
{
    m_active = false;
    m_timer->setEnabled(false);
    m_steps.clear();
    m_done = nullptr;
}

bool FramePacer::running() const
{
    return m_active;
}

void FramePacer::tick()
{
    // Each step's pause runs from the moment its frame left.
    while (true) {
        if (m_steps.isEmpty()) {
            m_timer->setEnabled(false);
            m_active = false;
            if (const std::function<void()> done = std::exchange(m_done, nullptr))
                done();
            return;
        }
        const PacedFrame step = m_steps.takeFirst();
        if (!step.frame.isEmpty()) {
            const BoardLink::Sending sending(m_link);
            if (!m_link.sendCommand(step.frame))
                return; // the port went under the operation; the link reports it
            ++m_sent;
            emit frameSent(m_sent);
            if (!m_active) // stopped by whoever heard of the frame
                return;
        }
        if (step.pauseAfterMs > 0 || !m_steps.isEmpty()) {
            m_timer->setInterval(step.pauseAfterMs);
            m_timer->setEnabled(true);
            return;
        }
    }
}
