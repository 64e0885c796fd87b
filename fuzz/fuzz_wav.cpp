// A sound file the user picks: the info display's header fields, and the
// checks and sample conversion of an upload to any slot with any skip texts.
//
// Input: a slot byte, the "begin" skip text (a length byte, then the text), the
// "end" skip text the same way, then the file's bytes.
#include "FuzzInput.h"

#include "common/Define.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"
#include "sound/WavInfo.h"

#include <limits>

namespace {

constexpr std::uint8_t TEXT_LENGTH_BITS = 0x0F;
constexpr int BYTE_MAX = std::numeric_limits<std::uint8_t>::max();

int byteAt(const QByteArray& bytes, qsizetype index)
{
    return static_cast<std::uint8_t>(bytes[index]);
}

QString text(FuzzInput& input)
{
    return QString::fromLatin1(input.take(input.byte() & TEXT_LENGTH_BITS).bytes());
}

// The samples after the 44-byte header, as the file holds them.
std::uint16_t fileSample(const QByteArray& wav, int index)
{
    const qsizetype at = 44 + 2 * static_cast<qsizetype>(index);
    return static_cast<std::uint16_t>(byteAt(wav, at) | byteAt(wav, at + 1) << 8);
}

void checkInfo(const QByteArray& wav)
{
    const std::optional<Sound::WavHeaderInfo> info = Sound::ReadWavInfo(wav);
    FUZZ_CHECK(info.has_value() == (wav.size() >= 35));
    if (!info)
        return;
    FUZZ_CHECK(info->format == byteAt(wav, 20) && info->channels == byteAt(wav, 22));
    FUZZ_CHECK(info->sampleRate == (byteAt(wav, 24) | byteAt(wav, 25) << 8));
    FUZZ_CHECK(info->bitsPerSample == byteAt(wav, 34));
    FUZZ_CHECK(info->sampleRate >= 0 && info->sampleRate <= std::numeric_limits<std::uint16_t>::max());
    FUZZ_CHECK(info->format <= BYTE_MAX && info->channels <= BYTE_MAX && info->bitsPerSample <= BYTE_MAX);
}

// The slot's words for the samples [first, first + count) of the file.
void checkStream(const QByteArray& wav, const QByteArray& stream, int first, int count)
{
    FUZZ_CHECK(stream.size() == 2 * static_cast<qsizetype>(count));
    for (int i = 0; i < count; ++i) {
        const auto word = static_cast<std::uint16_t>(byteAt(stream, 2 * i) | byteAt(stream, 2 * i + 1) << 8);
        const std::uint16_t in = fileSample(wav, first + i);
        // Bit 15 flipped, and never the erased-flash word.
        FUZZ_CHECK(word != 0xFFFF);
        FUZZ_CHECK(word == (in == 0x7FFF ? 0xFFFE : (in ^ 0x8000)));
    }
}

void checkUpload(const QByteArray& wav, const Sound::SoundSlot& slot, const QString& begin,
                 const QString& end)
{
    const Sound::UploadVerdict verdict = Sound::PrepareUpload(QStringLiteral("x.wav"), wav, slot, begin, end);
    FUZZ_CHECK(verdict.upload.has_value() == verdict.message.isEmpty());
    if (!verdict.upload)
        return;
    FUZZ_CHECK(wav.size() < slot.sizeLimit);
    const Sound::PreparedUpload& upload = *verdict.upload;
    const int samples = std::max(0, static_cast<int>(wav.size() / 2) - 22);
    const int sent = samples - upload.skips.begin - upload.skips.end;
    // Skips that are not both zero leave at least one sample.
    FUZZ_CHECK(upload.skips.begin >= 0 && upload.skips.end >= 0);
    FUZZ_CHECK(sent >= (upload.skips.begin + upload.skips.end > 0 ? 1 : 0));
    checkStream(wav, upload.stream, upload.skips.begin, sent);
    FUZZ_CHECK(upload.fileUnits == wav.size() / 2);
    if (wav.size() >= 44)
        FUZZ_CHECK(upload.unitsDone(upload.stream.size()) + upload.skips.end + 22 == upload.fileUnits);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const QList<Sound::SoundSlot>& all = Sound::SoundSlots();
    const Sound::SoundSlot& slot = all[input.byte() % all.size()];
    const QString begin = text(input);
    const QString end = text(input);
    const ExactBlock file = input.rest();
    const QByteArray& wav = file.bytes();

    checkInfo(wav);
    checkUpload(wav, slot, begin, end);
    // Skips past the file's end send nothing rather than read outside it.
    const int samples = std::max(0, static_cast<int>(wav.size() / 2) - 22);
    const int skipBegin = begin.size();
    const int skipEnd = end.size();
    const int first = std::min(skipBegin, samples);
    checkStream(wav, Sound::SlotBytes(wav, {skipBegin, skipEnd}), first,
                std::max(0, samples - skipEnd - first));
    return 0;
}
