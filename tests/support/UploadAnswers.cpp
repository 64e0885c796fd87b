#include "UploadAnswers.h"

#include "ScriptedPort.h"

#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"

UploadAnswers::UploadAnswers(BoardLink& link, ScriptedPort& port, QObject* parent)
    : QObject(parent)
    , m_port(port)
    , m_watch(new WindowTimer(this, Define::UPLOAD_TICK_MS))
{
    m_watch->setObjectName(QStringLiteral("UploadAnswersTimer"));
    m_watch->setOnTimer([this] { watch(); });
    connect(&link, &BoardLink::frameSent, this, [this](const QByteArray& frame) {
        if (enabled && frame.size() > 1 && frame.at(1) == Define::DATAFILE_CMD)
            m_watch->setEnabled(true);
    });
}

void UploadAnswers::watch()
{
    const bool quiet = m_port.OutputPending() == 0 &&
                       (m_port.sent.isEmpty() || appClock().now() - m_port.sent.last().at >= QUIET_MS);
    if (!quiet)
        return;
    m_watch->setEnabled(false);
    if (enabled)
        m_port.feed("End.");
}
