#include "params/ParameterWriteOperation.h"

#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"

ParameterWriteOperation::ParameterWriteOperation(BoardLink& link, const Params::WritePlan& plan,
                                                 QObject* parent)
    : ParameterWriteOperation(link, plan.all(), parent)
{
}

ParameterWriteOperation::ParameterWriteOperation(BoardLink& link, QList<Params::ParameterWrite> writes,
                                                 QObject* parent)
    : Operation(link, parent)
    , m_writes(std::move(writes))
    , m_timer(new WindowTimer(this, Define::WRITE_PAUSE_MS))
{
    m_timer->setObjectName(QStringLiteral("WriteTimer"));
    m_timer->setOnTimer([this] { sendNext(); });
    describe({QStringLiteral("Write Parameters"),
              QStringLiteral("values"),
              static_cast<int>(m_writes.size()),
              BoardLink::Blocks::Deferred,
              {}});
}

QString ParameterWriteOperation::cancelQuestion() const
{
    return QStringLiteral("Stop Write Parameters?");
}

void ParameterWriteOperation::run()
{
    sendNext();
}

void ParameterWriteOperation::sendNext()
{
    if (m_sent == m_writes.size()) { // the last frame has had its 100 ms
        m_timer->setEnabled(false);
        finish(true);
        return;
    }
    const Params::ParameterWrite next = m_writes[m_sent];
    {
        const BoardLink::Sending sending(link());
        if (!link().sendFrame(ParameterWriteFrame(next.address, next.value)))
            return; // the port went under the operation; the link reports it
    }
    m_timer->setEnabled(true); // (re)starts the full pause from now
    progress(++m_sent);
}

void ParameterWriteOperation::halt()
{
    m_timer->setEnabled(false);
}

void ParameterWriteOperation::stopSafely()
{
    // Between two frames, always: no frame is ever half sent.
    halt();
    finish(false, QStringLiteral("Write Parameters was stopped after %1 of %2 values: the board now holds "
                                 "the new values up to there and its former values after.")
                      .arg(m_sent)
                      .arg(m_writes.size()));
}
