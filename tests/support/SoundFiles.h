// Sound files made with libsndfile itself, in any format it writes, for the
// tests and benchmarks of reading and converting sounds.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Writes samples (channels interleaved, full scale at +-1.0) to path as format
// (SF_FORMAT_* major | minor) and returns the file's bytes; empty when libsndfile
// refused. Integer formats get exact values: 0.25 in a 16-bit file is 8192.
QByteArray WriteSoundFile(const QString& path, int format, int rate, int channels,
                          const std::vector<double>& samples);

// A sine of hz at level (peak, full scale 1.0), the same on every channel.
std::vector<double> SineSamples(double hz, double level, int rate, int channels, double seconds);

// Whether this libsndfile can write format (MP3 needs an encoder it may lack).
bool CanWriteSound(int format, int rate, int channels);

// The board's canonical 44-byte header (PCM, mono, 22050 Hz, 16-bit; the length
// fields left at zero, which the board-format check does not read): a file that
// starts with it goes to the board byte for byte.
QByteArray BoardFormatHeader();

// Writes a sound in the board's format whose samples count up from 0; false
// when the file could not be written.
bool WriteRampSound(const QString& path, int samples);
