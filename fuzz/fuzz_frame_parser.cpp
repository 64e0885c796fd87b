// The simulated board's frame parser: every byte the tool sends comes out once,
// in order, either in a frame or as dropped garbage or as the raw stream that
// follows a frame, and every frame has the shape the board expects.
//
// Input: records of a header byte (bits 0-5: the chunk's length; bit 6: the
// chunk comes after a pause longer than the frame gap; bit 7: after the frames
// are taken, hand over the rest as a raw stream and switch frame length)
// followed by the chunk's bytes.
#include "FuzzInput.h"

#include "common/Define.h"
#include "sim/FrameParser.h"

namespace {

constexpr std::uint8_t LENGTH_BITS = 0x3F;
constexpr std::uint8_t LATE = 0x40;
constexpr std::uint8_t HAND_OVER = 0x80;
constexpr int GAP_MS = 100;
constexpr qint64 ADDRESS_LIMIT = 1 << 24;

void checkFrame(const Frame& frame, int frameLength, qint64 nowMs)
{
    const QByteArray bytes = frame.bytes();
    FUZZ_CHECK(bytes.size() == frameLength);
    FUZZ_CHECK(bytes.front() == '#' && bytes.back() == '\n');
    // The line feed came after the last look that found the input empty, which
    // came before the read that took it.
    FUZZ_CHECK(frame.firstByteMs <= nowMs && frame.lastByteNotBeforeMs < nowMs);
    // A frame is never stitched together across a pause.
    FUZZ_CHECK(frame.lastByteNotBeforeMs - frame.firstByteMs <= static_cast<qint64>(GAP_MS) * frameLength);
    FUZZ_CHECK(frame.address() < ADDRESS_LIMIT);
    FUZZ_CHECK(frame.word() == (frame.byte(0) | frame.byte(1) << 8));
    FUZZ_CHECK(frame.byte(frameLength) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    int frameLength = Define::COMAND_LENGHT;
    FrameParser parser(frameLength, GAP_MS);
    QByteArray sent;
    QByteArray accounted;
    parser.onDiscarded = [&](const QByteArray& dropped) {
        FUZZ_CHECK(!dropped.isEmpty());
        accounted += dropped;
    };
    qint64 nowMs = 0;
    while (!input.atEnd()) {
        const std::uint8_t header = input.byte();
        const ExactBlock chunk = input.take(header & LENGTH_BITS);
        const qint64 seenEmptyMs = nowMs;
        nowMs += (header & LATE) ? GAP_MS + 1 : 1;
        parser.append(chunk.bytes(), Arrival{seenEmptyMs, nowMs});
        sent += chunk.bytes();
        while (const std::optional<Frame> frame = parser.takeFrame()) {
            checkFrame(*frame, frameLength, nowMs);
            accounted += frame->bytes();
        }
        if (header & HAND_OVER) {
            accounted += parser.takeRemaining();
            frameLength =
                frameLength == Define::COMAND_LENGHT ? Define::LOADER_FRAME_LENGTH : Define::COMAND_LENGHT;
            parser.reset(frameLength);
        }
    }
    accounted += parser.takeRemaining();
    FUZZ_CHECK(accounted == sent);
    return 0;
}
