#include "sound/ImportOperation.h"

#include "common/Define.h"
#include "sound/ErasePlans.h"

using namespace Sound;

namespace {
constexpr qint64 MS_PER_SECOND = 1000;
constexpr qint64 SECONDS_PER_MINUTE = 60;

QString durationText(qint64 ms)
{
    const qint64 seconds = (ms + MS_PER_SECOND - 1) / MS_PER_SECOND;
    if (seconds < SECONDS_PER_MINUTE)
        return QStringLiteral("%1 s").arg(seconds);
    return QStringLiteral("%1 min %2 s").arg(seconds / SECONDS_PER_MINUTE).arg(seconds % SECONDS_PER_MINUTE);
}
} // namespace

ImportOperation::ImportOperation(BoardLink& link, int bank, QList<FontUpload> uploads, QObject* parent)
    : JournalledOperation(link, parent)
    , m_bank(bank)
    , m_uploads(std::move(uploads))
    , m_pacer(link)
    , m_writer(link)
{
    describe({QStringLiteral("Importing the sound font into bank %1").arg(m_bank),
              QStringLiteral("files"),
              static_cast<int>(m_uploads.size()),
              BoardLink::Blocks::Deferred,
              {}});
    connect(&m_writer, &SlotWriter::streamed, this, [this](qsizetype sent) {
        m_sent = sent;
        progress(m_current); // the status text moves with the stream
    });
    connect(&m_writer, &SlotWriter::done, this, &ImportOperation::fileWritten);
}

QString ImportOperation::cancelQuestion() const
{
    return QStringLiteral("Stop importing the sound font into bank %1 after the file being sent?")
        .arg(m_bank);
}

QString ImportOperation::statusText() const
{
    if (m_current < 0 || m_current >= m_uploads.size())
        return request().name;
    return QStringLiteral("%1, about %2 left")
        .arg(FontProgressText(m_uploads[m_current].name, m_current + 1, static_cast<int>(m_uploads.size())),
             durationText(remainingMs()));
}

qint64 ImportOperation::fileMs(int index, qsizetype streamBytesLeft) const
{
    const SoundSlot& slot = SoundSlots()[m_uploads[index].slot];
    qint64 pauses = slot.requestPauseMs + Define::UPLOAD_CLOSING_PAUSE_MS;
    for (const PacedFrame& step : UploadErasePlan(slot))
        pauses += step.pauseAfterMs;
    // At the stream's top pace: what a USB board takes, whatever the nominal baud.
    return pauses + streamBytesLeft * MS_PER_SECOND / StreamBytesPerSecond();
}

qint64 ImportOperation::remainingMs() const
{
    qint64 ms = 0;
    for (int i = std::max(m_current, 0); i < m_uploads.size(); ++i) {
        const qsizetype stream = m_uploads[i].stream.size();
        // The file being streamed has only its remainder and its closing pause to go;
        // a rough figure is enough for the owner to plan by.
        ms += i == m_current && m_sent > 0 ? fileMs(i, stream - m_sent) : fileMs(i, stream);
    }
    return ms;
}

void ImportOperation::run()
{
    m_current = 0;
    startFile();
}

QList<int> ImportOperation::slotsToWrite() const
{
    QList<int> chosen;
    for (const FontUpload& upload : m_uploads)
        chosen.append(upload.slot);
    return chosen;
}

void ImportOperation::startFile()
{
    m_sent = 0;
    progress(m_current);
    const SoundSlot& slot = SoundSlots()[m_uploads[m_current].slot];
    // The slot's request and the board's time to prepare it, as a slot button
    // gives them, then the erase and the stream.
    m_pacer.run({{slot.requestFrame(), slot.requestPauseMs}}, [this] {
        const FontUpload& upload = m_uploads[m_current];
        PreparedUpload prepared;
        prepared.stream = upload.stream;
        m_writer.write(SoundSlots()[upload.slot], prepared);
    });
}

void ImportOperation::fileWritten(bool confirmed)
{
    const FontUpload& upload = m_uploads[m_current];
    if (!confirmed) {
        finish(false, UnconfirmedUploadMessage(SoundSlots()[upload.slot]) + QLatin1Char(' ') + stoppedText());
        return;
    }
    emit slotWritten(upload.slot, SlotSource::Of(upload.path, upload.checksum, upload.stream));
    ++m_current;
    m_sent = 0;
    progress(m_current);
    if (m_current == m_uploads.size()) {
        finish(true, QStringLiteral("The sound font is in bank %1: %2 files written.")
                         .arg(m_bank)
                         .arg(m_uploads.size()));
        return;
    }
    if (stopping()) {
        finish(false, stoppedText());
        return;
    }
    startFile();
}

QString ImportOperation::stoppedText() const
{
    return QStringLiteral("The import into bank %1 was stopped after %2 of %3 files; the other slots keep what "
                          "they held.")
        .arg(m_bank)
        .arg(m_current)
        .arg(m_uploads.size());
}

void ImportOperation::stopSafely()
{
    // The slot being written is completed; fileWritten then finishes instead of
    // starting the next.
}

void ImportOperation::halt()
{
    m_pacer.stop();
    m_writer.halt();
}
