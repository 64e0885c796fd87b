#include "params/ReadSweep.h"

#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"

ReadSweep::ReadSweep(BoardLink& link, QObject* parent)
    : Operation(link, parent)
    , m_timer(new WindowTimer(this, Define::SWEEP_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setOnTimer([this] { sendNext(); });
    describe({QStringLiteral("Read Parameters"),
              QStringLiteral("values"),
              Define::PARAMETER_COUNT,
              BoardLink::Blocks::Routed,
              {}});
}

QString ReadSweep::cancelQuestion() const
{
    return QStringLiteral("Stop Read Parameters?");
}

void ReadSweep::run()
{
    // The first request goes out one tick after the start, as every next one.
    m_next = 0;
    m_timer->setEnabled(true);
}

void ReadSweep::sendNext()
{
    {
        const BoardLink::Sending sending(link());
        if (!link().sendCommand(SweepReadFrame(m_next)))
            return; // the port went under the operation; the link reports it
    }
    progress(++m_next);
    if (m_next < Define::PARAMETER_COUNT)
        return;
    m_timer->setEnabled(false);
    finish(true);
}

void ReadSweep::halt()
{
    m_timer->setEnabled(false);
}
