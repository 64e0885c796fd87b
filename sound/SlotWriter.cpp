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
    connect(&link, &BoardLink::uploadEndHeard, this, &SlotWriter::boardEnded);
}

void SlotWriter::write(const SoundSlot& slot, const PreparedUpload& upload)
{
    m_address = slot.address;
    m_stream = upload.stream;
    m_sent = 0;
    m_departed = 0;
    m_stopped = false;
    m_boardEnded = false;
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
    m_stopped = true;
    close();
}

void SlotWriter::close()
{
    m_timer->setEnabled(false);
    m_stage = Stage::Closing;
    m_pacer.run({{QByteArray(), Define::UPLOAD_CLOSING_PAUSE_MS}}, [this] { closed(); });
}

void SlotWriter::closed()
{
    if (m_stopped || m_boardEnded) {
        end(!m_stopped);
        return;
    }
    m_stage = Stage::AwaitingEnd;
    const qint64 rest = UploadEndBoundMs(m_stream.size()) - Define::UPLOAD_CLOSING_PAUSE_MS;
    m_pacer.run({{QByteArray(), static_cast<int>(rest)}}, [this] { end(false); });
}

void SlotWriter::boardEnded()
{
    // Only an answer to this request counts: none is due before it has left.
    if (m_stage == Stage::Idle || m_stage == Stage::Erasing || m_stage == Stage::RequestDue)
        return;
    m_boardEnded = true;
    if (m_stage == Stage::AwaitingEnd) {
        m_pacer.stop();
        end(true);
    }
}

void SlotWriter::end(bool confirmed)
{
    m_stage = Stage::Idle;
    emit done(confirmed);
}

void SlotWriter::halt()
{
    m_timer->setEnabled(false);
    m_pacer.stop();
    m_stage = Stage::Idle;
}

QString UnconfirmedUploadMessage(const SoundSlot& slot)
{
    return QStringLiteral("The board did not confirm the upload into %1: no \"End.\" came after the sound was "
                          "sent. The slot may hold only part of it; upload it again.")
        .arg(slot.accessibleName);
}
