#include "SoundFiles.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sndfile.h>

namespace {
constexpr double INT32_SCALE = 2147483648.0;
} // namespace

QByteArray WriteSoundFile(const QString& path, int format, int rate, int channels,
                          const std::vector<double>& samples)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return {};
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const int minor = format & SF_FORMAT_SUBMASK;
    if (minor == SF_FORMAT_FLOAT || minor == SF_FORMAT_DOUBLE) {
        sf_writef_double(file, samples.data(), frames);
    } else {
        // Integers at full 32-bit scale: libsndfile keeps their top bits exactly.
        std::vector<int> ints(samples.size());
        std::transform(samples.begin(), samples.end(), ints.begin(), [](double x) {
            return static_cast<int>(std::clamp(std::round(x * INT32_SCALE), -INT32_SCALE, INT32_SCALE - 1));
        });
        sf_writef_int(file, ints.data(), frames);
    }
    sf_close(file);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<double> SineSamples(double hz, double level, int rate, int channels, double seconds)
{
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<double> out(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                level * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate);
    return out;
}

bool CanWriteSound(int format, int rate, int channels)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    return sf_format_check(&info) != 0;
}

QByteArray BoardFormatHeader()
{
    return QByteArray(
        "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0data\0\0\0\0", 44);
}

bool WriteRampSound(const QString& path, int samples)
{
    QByteArray bytes = BoardFormatHeader();
    for (int i = 0; i < samples; ++i)
        bytes.append(char(i & 0xFF)).append(char((i >> 8) & 0xFF));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
