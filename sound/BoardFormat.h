// Any decoded sound made into what the board plays: 16-bit mono samples at
// 22050 Hz. Channels are averaged, the rate is changed with libsoxr at high
// quality, and the result is cut to 16 bits with triangular dither; samples
// pushed beyond full scale on the way are counted, so the owner can be warned.
#pragma once

#include "sound/AudioFile.h"
#include "sound/SlotMap.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace Sound {

inline constexpr int BOARD_SAMPLE_RATE = 22050;
inline constexpr int BOARD_BITS = 16;
// A sound trimmed to fit its slot fades out over its last 20 ms, so it ends
// without a click.
inline constexpr int TRIM_FADE_MS = 20;

struct BoardSound {
    std::vector<std::int16_t> samples;
    int clipped = 0; // samples beyond full scale after mixing and resampling
};

using BoardConversion = Outcome<BoardSound>;

// The same input always gives the same samples (the dither's noise starts from a
// fixed seed), so a file's stream and its checksum do not change from one upload
// to the next.
BoardConversion ConvertForBoard(const AudioData& audio);

// How many board samples a file of this format becomes (before any trimming).
qint64 BoardFrames(const AudioFormat& format);

// Whether the samples must be changed at all: another rate, more than one
// channel, or anything but 16-bit PCM.
bool NeedsConversion(const AudioFormat& format);

// "44100 Hz stereo 24-bit -> 22050 Hz mono 16-bit"; empty when nothing changes.
QString ConversionText(const AudioFormat& format);

// "Mixing and resampling push 12 samples beyond full scale: they are clipped."
QString ClipWarning(int clipped);

// The most samples a slot takes: as many as a board-format file just under the
// slot's size limit carries after its 44-byte header.
int SlotSampleBudget(const SoundSlot& slot);

// The samples as a board-format WAV file (44-byte header), for the preview to
// play exactly what the board will.
QByteArray BoardWavBytes(const std::vector<std::int16_t>& samples);

// Cuts samples to at most maxSamples, the last TRIM_FADE_MS fading to silence.
// Returns whether anything was cut.
bool TrimToFit(std::vector<std::int16_t>& samples, int maxSamples);

} // namespace Sound
