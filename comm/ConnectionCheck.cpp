#include "comm/ConnectionCheck.h"

#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "common/Clock.h"
#include "common/Define.h"

ConnectionCheck::ConnectionCheck(BoardLink& link, Steps steps, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_steps(std::move(steps))
    , m_timer(new WindowTimer(this, Define::CONNECTION_CHECK_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("connectionCheckTimer"));
    m_timer->setOnTimer([this] { tick(); });
}

bool ConnectionCheck::start()
{
    if (m_link.busy())
        return false;
    m_step = Step::Start;
    m_sweep = nullptr;
    m_timer->setInterval(Define::CONNECTION_CHECK_TICK_MS);
    m_timer->setEnabled(true);
    return true;
}

void ConnectionCheck::stop()
{
    m_timer->setEnabled(false);
}

bool ConnectionCheck::running() const
{
    return m_timer->Enabled();
}

void ConnectionCheck::tick()
{
    // Another operation holding the link: the step waits for a tick after it.
    // The check's own sweep is still running when the last step comes.
    if (m_link.busy() && (!m_sweep || m_link.current() != m_sweep))
        return;
    m_timer->setEnabled(false);
    switch (m_step) {
    case Step::Start:
        if (!m_steps.portChosen()) {
            m_steps.notFound(false);
            return;
        }
        m_steps.showWaiting();
        m_steps.enterTx();
        m_step = Step::Answer;
        break;
    case Step::Answer:
        if (m_link.expectingReply()) { // nothing came back within the 2 s
            m_steps.notFound(true);
            return;
        }
        m_steps.enterSetUp();
        m_step = Step::Sweep;
        break;
    case Step::Sweep:
        m_sweep = m_steps.startSweep();
        m_step = Step::Done;
        break;
    case Step::Done:
        m_steps.closeWaiting();
        return;
    }
    m_timer->setEnabled(true);
}
