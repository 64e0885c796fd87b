#include "sound/SoundUpload.h"

#include "common/Define.h"
#include "sound/BoardFormat.h"

#include <QtEndian>
#include <new>

namespace Sound {
namespace {

// A board-format file is described by its header alone, so that one libsndfile
// would find fault with (a wrong data length, say) still goes out as it always has.
SoundFacts boardFormatFacts(const QByteArray& content)
{
    SoundFacts f;
    f.passThrough = true;
    f.format.container = QStringLiteral("WAV");
    f.format.encoding = QStringLiteral("PCM");
    f.format.bits = BOARD_BITS;
    f.format.sampleRate = BOARD_SAMPLE_RATE;
    f.format.channels = 1;
    f.format.frames = SampleCount(content.size());
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
        BoardFile file{boardFormatFacts(content), boardFormatSamples(content), 0};
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

SoundFactsRead ReadSoundFacts(const QByteArray& content)
{
    if (IsBoardFormat(content))
        return {boardFormatFacts(content), {}};
    AudioFormatRead read = ReadAudioFormat(content);
    if (!read.value)
        return {std::nullopt, read.message};
    SoundFacts f;
    f.format = *read.value;
    f.boardSamples = BoardFrames(f.format);
    return {f, {}};
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

QString TrimOffer(const QString& path, const QByteArray& content, const SoundSlot& slot)
{
    const SoundFactsRead read = ReadSoundFacts(content);
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
