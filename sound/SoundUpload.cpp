#include "sound/SoundUpload.h"

#include "common/Define.h"
#include "sound/BoardFormat.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <new>

namespace Sound {
namespace {

// A board-format file is described by its header alone, so that one libsndfile
// would find fault with (a wrong data length, say) still goes out as it always has.
SoundFacts boardFormatFacts(qint64 fileBytes)
{
    SoundFacts f;
    f.passThrough = true;
    f.format.container = QStringLiteral("WAV");
    f.format.encoding = QStringLiteral("PCM");
    f.format.bits = BOARD_BITS;
    f.format.sampleRate = BOARD_SAMPLE_RATE;
    f.format.channels = 1;
    f.format.frames = SampleCount(fileBytes);
    f.boardSamples = f.format.frames;
    return f;
}

std::vector<std::int16_t> boardFormatSamples(const QByteArray& content)
{
    std::vector<std::int16_t> samples(static_cast<size_t>(SampleCount(content.size())));
    const auto* in = reinterpret_cast<const uchar*>(content.constData()) + Define::WAV_HEADER_BYTES;
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(in + i * Define::WAV_SAMPLE_BYTES);
    return samples;
}

BoardFileRead readBoardFile(const QByteArray& content)
{
    if (IsBoardFormat(content)) {
        BoardFile file{boardFormatFacts(content.size()), boardFormatSamples(content), 0};
        return {std::move(file), {}};
    }
    AudioRead read = ReadAudio(content);
    if (!read.value)
        return {std::nullopt, read.message};
    BoardConversion converted = ConvertForBoard(*read.value);
    if (!converted.value)
        return {std::nullopt, converted.message};
    BoardFile file;
    file.facts.format = read.value->format;
    file.facts.boardSamples = static_cast<qint64>(converted.value->samples.size());
    file.samples = std::move(converted.value->samples);
    file.clipped = converted.value->clipped;
    return {std::move(file), {}};
}

} // namespace

SoundFactsRead ReadSoundFacts(QIODevice& file)
{
    if (!file.isOpen() && !file.open(QIODevice::ReadOnly))
        return {std::nullopt, file.errorString()};
    if (IsBoardFormat(file.peek(Define::WAV_HEADER_BYTES)))
        return {boardFormatFacts(file.size()), {}};
    AudioFormatRead read = ReadAudioFormat(file);
    if (!read.value)
        return {std::nullopt, read.message};
    SoundFacts f;
    f.format = *read.value;
    f.boardSamples = BoardFrames(f.format);
    return {f, {}};
}

SoundFactsRead ReadSoundFacts(const QByteArray& content)
{
    QBuffer buffer;
    buffer.setData(content);
    return ReadSoundFacts(buffer);
}

bool FitsSlotSamples(qint64 boardSamples, const SoundSlot& slot)
{
    return boardSamples <= SlotSampleBudget(slot);
}

BoardFileRead ReadBoardFile(const QByteArray& content)
{
    // Within the bounds of the reader a sound still takes memory; running out of
    // it is a message about this file, not the end of the program.
    try {
        return readBoardFile(content);
    } catch (const std::bad_alloc&) {
        return {std::nullopt, QStringLiteral("the sound is too large to convert")};
    }
}

QString UnreadableMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The file %1 cannot be read as sound (%2). Nothing was sent.").arg(path, reason);
}

QString RefusalFromHead(const QString& path, QIODevice& file, const SoundSlot& slot, bool trimToFit)
{
    const SoundFactsRead read = ReadSoundFacts(file);
    if (!read.value)
        return UnreadableMessage(path, read.message);
    const SoundFacts& facts = *read.value;
    if (facts.passThrough && !trimToFit)
        return FitsSlot(file.size(), slot) ? QString() : SizeMessage(path, slot);
    // A sound to be trimmed is still read whole first: a board-format file, whose
    // header the decoder never sees, is held to the decoder's bound on length here.
    if (facts.format.frames > MAX_SOUND_SECONDS * facts.format.sampleRate)
        return UnreadableMessage(path, TooLongReason());
    if (trimToFit || FitsSlotSamples(facts.boardSamples, slot))
        return {};
    return ConvertedSizeMessage(path, facts.boardSamples * Define::WAV_SAMPLE_BYTES,
                                qint64(SlotSampleBudget(slot)) * Define::WAV_SAMPLE_BYTES);
}

FileUpload PrepareSoundFileUpload(const QString& path, const SoundSlot& slot, const QString& beginText,
                                  const QString& endText, bool trimToFit)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {PrepareSoundUpload(path, std::nullopt, slot, beginText, endText, trimToFit), std::nullopt};
    const QString refusal = RefusalFromHead(path, file, slot, trimToFit);
    if (!refusal.isEmpty())
        return {{std::nullopt, refusal}, std::nullopt};
    FileUpload prepared;
    if (file.seek(0))
        prepared.content = file.readAll();
    prepared.verdict = PrepareSoundUpload(path, prepared.content, slot, beginText, endText, trimToFit);
    return prepared;
}

UploadVerdict PrepareSoundUpload(const QString& path, const std::optional<QByteArray>& content,
                                 const SoundSlot& slot, const QString& beginText, const QString& endText,
                                 bool trimToFit)
{
    if (path.isEmpty() || !content ||
        (IsBoardFormat(*content) && (!trimToFit || FitsSlot(content->size(), slot))))
        return PrepareUpload(path, content, slot, beginText, endText);
    BoardFileRead read = ReadBoardFile(*content);
    if (!read.value)
        return {std::nullopt, UnreadableMessage(path, read.message)};
    if (trimToFit)
        TrimToFit(read.value->samples, SlotSampleBudget(slot));
    return PrepareSamplesUpload(path, read.value->samples, slot, beginText, endText);
}

QString TrimOffer(const QString& path, const SoundSlot& slot)
{
    QFile file(path);
    const SoundFactsRead read = ReadSoundFacts(file);
    if (!read.value || FitsSlotSamples(read.value->boardSamples, slot))
        return {};
    return QStringLiteral(
               "The sound of %1 is %2 bytes for the board; the slot takes at most %3. Trim its end, "
               "fading out over the last %4 ms, so that it fits?")
        .arg(path)
        .arg(read.value->boardSamples * Define::WAV_SAMPLE_BYTES)
        .arg(qint64(SlotSampleBudget(slot)) * Define::WAV_SAMPLE_BYTES)
        .arg(TRIM_FADE_MS);
}

} // namespace Sound
