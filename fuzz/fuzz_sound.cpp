// A sound file of any format the owner picks: its facts, its decoding and
// conversion for the board, and the stream of an upload to any slot, trimmed to
// fit or not.
//
// Input: a slot byte, a byte whose low bit asks for trimming, then the file's bytes.
#include "FuzzInput.h"

#include "sound/BoardFormat.h"
#include "sound/SoundUpload.h"

namespace {

std::uint16_t wordAt(const QByteArray& bytes, qsizetype at)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      static_cast<std::uint8_t>(bytes[at + 1]) << 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const QList<Sound::SoundSlot>& map = Sound::SoundSlots();
    const Sound::SoundSlot& slot = map[input.byte() % map.size()];
    const bool trim = input.byte() & 1;
    const ExactBlock block = input.rest();
    const QByteArray& file = block.bytes();

    const Sound::SoundFactsRead facts = Sound::ReadSoundFacts(file);
    FUZZ_CHECK(facts.value.has_value() == facts.message.isEmpty());
    if (facts.value) {
        FUZZ_CHECK(facts.value->passThrough == Sound::IsBoardFormat(file));
        FUZZ_CHECK(facts.value->boardSamples >= 0);
    }

    const Sound::BoardFileRead read = Sound::ReadBoardFile(file);
    if (read.value) {
        FUZZ_CHECK(read.value->clipped >= 0 &&
                   static_cast<size_t>(read.value->clipped) <= read.value->samples.size());
        FUZZ_CHECK(static_cast<qint64>(read.value->samples.size()) == read.value->facts.boardSamples);
    }

    const Sound::UploadVerdict verdict = Sound::PrepareSoundUpload(
        QStringLiteral("x.wav"), file, slot, QStringLiteral("0"), QStringLiteral("0"), trim);
    FUZZ_CHECK(verdict.upload.has_value() == verdict.message.isEmpty());
    if (!verdict.upload)
        return 0;
    const QByteArray& stream = verdict.upload->stream;
    FUZZ_CHECK(stream.size() % 2 == 0);
    FUZZ_CHECK(stream.size() / 2 <= Sound::SlotSampleBudget(slot));
    for (qsizetype i = 0; i < stream.size(); i += 2)
        FUZZ_CHECK(wordAt(stream, i) != 0xFFFF); // never the erased-flash word
    // A board-format file that fits goes out exactly as it always has.
    if (Sound::IsBoardFormat(file) && Sound::FitsSlot(file.size(), slot))
        FUZZ_CHECK(stream == Sound::SlotBytes(file, {}));
    return 0;
}
