// Sound files as owners have them: WAV of any sample format and channel count
// (extensible headers and extra chunks included), FLAC, OGG/Vorbis and MP3, read
// through libsndfile from the file's bytes. Also the test for a file that is
// already exactly what the board plays, which is sent as it is.
#pragma once

#include "sound/Outcome.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace Sound {

// What a sound file really holds.
struct AudioFormat {
    QString container;  // "WAV", "FLAC", "OGG", "MP3", ...
    QString encoding;   // "PCM", "float", "Vorbis", "MP3", ...
    int bits = 0;       // bits per stored sample; 0 for a compressed encoding
    int sampleRate = 0; // Hz
    int channels = 0;   //
    qint64 frames = 0;  // samples per channel
};

// "44100 Hz stereo 24-bit", "48000 Hz mono 32-bit float", "44100 Hz stereo Vorbis".
QString FormatText(const AudioFormat& format);

// A decoded file: its format and its samples as floats, channels interleaved,
// full scale at +-1.0.
struct AudioData {
    AudioFormat format;
    std::vector<float> samples;
};

using AudioRead = Outcome<AudioData>;
using AudioFormatRead = Outcome<AudioFormat>;

// The longest sound decoded at all: ten minutes, far beyond any slot. A header
// that promises more is refused before a sample is read.
inline constexpr qint64 MAX_SOUND_SECONDS = 600;
// "the sound is longer than 600 s"
QString TooLongReason();

// The names of the files the reader takes, by extension ("*.wav", "*.flac", ...),
// for every list that offers sound files.
const QStringList& SoundFileFilters();

// The format alone (nothing decoded), for tables of many files. From a device
// only the header is read (opened read-only when it is not open yet), so that
// the format and length of a huge file cost no more than those of a small one.
AudioFormatRead ReadAudioFormat(QIODevice& file);
AudioFormatRead ReadAudioFormat(const QByteArray& file);
AudioRead ReadAudio(const QByteArray& file);

// A file in the board's own format: RIFF/WAVE whose chunks are a 16-byte "fmt "
// of PCM, mono, 22050 Hz, 16 bits, then "data" at byte 36, so that the samples
// start at byte 44 as the upload has always assumed. The header is walked by its
// chunks; nothing else about the file is trusted.
bool IsBoardFormat(const QByteArray& file);

} // namespace Sound
