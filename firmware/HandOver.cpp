#include "firmware/HandOver.h"

#include "common/Clock.h"
#include "common/Define.h"

HandOver::HandOver(Actions actions, QObject* parent)
    : QObject(parent)
    , m_actions(std::move(actions))
    , m_timer(new WindowTimer(this, Define::HANDOVER_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("handOverTimer"));
    m_timer->setOnTimer([this] { tick(); });
}

void HandOver::start()
{
    m_step = CLOSE_PORT;
    m_timer->setEnabled(true);
}

void HandOver::stop()
{
    m_timer->setEnabled(false);
}

bool HandOver::running() const
{
    return m_timer->Enabled() && m_step <= SHOW_FIRMWARE_WINDOW;
}

void HandOver::tick()
{
    switch (m_step) {
    case CLOSE_PORT:
        m_actions.closePort();
        break;
    case ASK_FOR_LOADER:
        // No tick while the user reads the question.
        m_timer->setEnabled(false);
        m_actions.askForLoader();
        m_timer->setEnabled(true);
        break;
    case OPEN_PORT:
        if (!m_actions.reopenPort()) {
            m_timer->setEnabled(false);
            emit finished(false);
            return;
        }
        break;
    case SHOW_FIRMWARE_WINDOW:
        m_actions.showFirmwareWindow();
        emit finished(true);
        break;
    case STOP:
        m_timer->setEnabled(false);
        break;
    default:
        break;
    }
    ++m_step;
}
