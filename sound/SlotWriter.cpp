#include "sound/SlotWriter.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "sound/ErasePlans.h"

#include <algorithm>

using namespace Sound;

SlotWriter::SlotWriter(BoardLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_pacer(link)
    , m_timer(new WindowTimer(this, Define::UPLOAD_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("UploadTimer"));
    m_timer->setOnTimer([this] { tick(); });
}

void SlotWriter::write(const SoundSlot& slot, const PreparedUpload& upload)
{
    m_address = slot.address;
    m_stream = upload.stream;
    m_sent = 0;
    m_departed = 0;
    m_stage = Stage::Erasing;
    m_pacer.run(UploadErasePlan(slot), [this] {
        m_stage = Stage::RequestDue;
        m_timer->setEnabled(true);
    });
}

void SlotWriter::tick()
{
    if (m_stage == Stage::RequestDue) {
        const BoardLink::Sending sending(m_link);
        if (m_link.sendCommand(AddressFrame(Define::DATAFILE_CMD, m_address)))
            m_stage = Stage::StreamDue;
    } else if (m_stage == Stage::StreamDue) {
        m_streamStart = appClock().now();
        m_stage = Stage::Streaming;
        sendDueSamples();
    } else if (m_stage == Stage::Streaming) {
        sendDueSamples();
    }
}

void SlotWriter::sendDueSamples()
{
    const qsizetype gone = departed();
    const qsizetype due = StreamTarget(appClock().now() - m_streamStart, gone, m_stream.size());
    if (due > m_sent) {
        const BoardLink::Sending sending(m_link);
        if (!m_link.send(m_stream.mid(m_sent, due - m_sent)))
            return; // the port went under the operation; the link reports it
        m_sent = due;
    }
    if (gone > m_departed) {
        m_departed = gone;
        emit streamed(m_departed);
    }
    if (m_departed == m_stream.size())
        close();
}

qsizetype SlotWriter::departed() const
{
    // What the port still holds is the newest of what it was handed: the stream's tail.
    const SerialPort* port = m_link.port();
    const qint64 pending = port ? port->OutputPending() : 0;
    return static_cast<qsizetype>(std::clamp<qint64>(m_sent - pending, 0, m_sent));
}

void SlotWriter::stopSending()
{
    if (m_stage == Stage::Idle || m_stage == Stage::Closing)
        return;
    m_pacer.stop();
    close();
}

void SlotWriter::close()
{
    m_timer->setEnabled(false);
    m_stage = Stage::Closing;
    m_pacer.run({{QByteArray(), Define::UPLOAD_CLOSING_PAUSE_MS}}, [this] {
        m_stage = Stage::Idle;
        emit done();
    });
}

void SlotWriter::halt()
{
    m_timer->setEnabled(false);
    m_pacer.stop();
    m_stage = Stage::Idle;
}
