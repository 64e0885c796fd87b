// What the info display shows of a sound file, read from its bytes alone.
#pragma once

#include <QByteArray>
#include <optional>

namespace Sound {

// The header fields the browser shows. Only the low parts are kept, as the
// board's tools always showed them: a 96000 Hz rate reads 30464.
struct WavHeaderInfo {
    int format;        // low byte of the format code, 1 for PCM
    int channels;      // low byte of the channel count
    int sampleRate;    // low 16 bits of the sample rate
    int bitsPerSample; // low byte of the bits per sample
};

// The header fields of a file's first bytes; nothing when they end before the
// last field, so a short or truncated file is never read past its end.
std::optional<WavHeaderInfo> ReadWavInfo(const QByteArray& head);

// Whether a file fits a one-sector slot and a hum slot. A file that could not be
// opened (size -1) passes both, so the upload goes on and reports it.
struct SizeFlags {
    bool fitsSlot;
    bool fitsHum;
};
SizeFlags SizeFlagsFor(qint64 fileSize);

} // namespace Sound
