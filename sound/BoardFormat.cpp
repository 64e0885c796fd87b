#include "sound/BoardFormat.h"

#include "sound/SampleStream.h"

#include "common/Define.h"

#include <QLatin1String>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <soxr.h>

namespace Sound {
namespace {

constexpr double FULL_SCALE = 32768.0; // 16-bit steps per unit of float amplitude
constexpr int SAMPLE_MIN = -32768;
constexpr int SAMPLE_MAX = 32767;
constexpr int MS_PER_SECOND = 1000;

// A small, fast generator for the dither noise (xorshift32): quality far beyond
// what masking a rounding step needs, and the same sequence every time.
class DitherNoise {
public:
    // Triangular noise from -1 to +1 steps: the difference of two uniform draws.
    double next() { return uniform() - uniform(); }

private:
    static constexpr std::uint32_t SEED = 0x2545F491u;
    static constexpr int SHIFT_A = 13;
    static constexpr int SHIFT_B = 17;
    static constexpr int SHIFT_C = 5;
    static constexpr double TO_UNIT = 1.0 / 4294967296.0;
    std::uint32_t state = SEED;
    double uniform()
    {
        state ^= state << SHIFT_A;
        state ^= state >> SHIFT_B;
        state ^= state << SHIFT_C;
        return state * TO_UNIT;
    }
};

std::vector<float> mixToMono(const AudioData& audio)
{
    const auto channels = static_cast<size_t>(audio.format.channels);
    if (channels == 1)
        return audio.samples;
    const size_t frames = audio.samples.size() / channels;
    std::vector<float> mono(frames);
    const float share = 1.0f / static_cast<float>(channels);
    for (size_t i = 0; i < frames; ++i) {
        const float* frame = audio.samples.data() + i * channels;
        float sum = 0;
        for (size_t c = 0; c < channels; ++c)
            sum += frame[c];
        mono[i] = sum * share;
    }
    return mono;
}

qint64 framesAtBoardRate(qint64 frames, int rate)
{
    if (rate == BOARD_SAMPLE_RATE)
        return frames;
    return (frames * BOARD_SAMPLE_RATE + rate / 2) / rate;
}

} // namespace

qint64 BoardFrames(const AudioFormat& format)
{
    return format.sampleRate > 0 ? framesAtBoardRate(format.frames, format.sampleRate) : 0;
}

bool NeedsConversion(const AudioFormat& format)
{
    return format.sampleRate != BOARD_SAMPLE_RATE || format.channels != 1 || format.bits != BOARD_BITS ||
           format.encoding != QLatin1String("PCM");
}

BoardConversion ConvertForBoard(const AudioData& audio)
{
    if (audio.format.channels < 1 || audio.format.sampleRate < 1)
        return {std::nullopt, QStringLiteral("the file names no channels or no sample rate")};
    std::vector<float> mono = mixToMono(audio);
    const auto boardFrames =
        static_cast<size_t>(framesAtBoardRate(static_cast<qint64>(mono.size()), audio.format.sampleRate));
    // A sound shorter than one sample at the board's rate becomes nothing: the
    // resampler must never be handed an empty buffer to write into.
    if (audio.format.sampleRate != BOARD_SAMPLE_RATE && boardFrames == 0)
        mono.clear();
    if (audio.format.sampleRate != BOARD_SAMPLE_RATE && !mono.empty()) {
        std::vector<float> resampled(boardFrames);
        const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        size_t done = 0;
        const soxr_error_t error =
            soxr_oneshot(audio.format.sampleRate, BOARD_SAMPLE_RATE, 1, mono.data(), mono.size(), nullptr,
                         resampled.data(), resampled.size(), &done, &io, &quality, nullptr);
        if (error)
            return {std::nullopt, QStringLiteral("resampling failed: %1").arg(QString::fromLatin1(error))};
        // The resampler may hand back a sample or two fewer than the exact ratio;
        // the length stays what BoardFrames promised, the rest silent.
        std::fill(resampled.begin() + static_cast<std::ptrdiff_t>(std::min(done, resampled.size())),
                  resampled.end(), 0.0f);
        mono = std::move(resampled);
    }
    BoardSound sound;
    sound.samples.resize(mono.size());
    DitherNoise noise;
    for (size_t i = 0; i < mono.size(); ++i) {
        const float x = mono[i];
        if (x > 1.0f || x < -1.0f)
            ++sound.clipped;
        const double steps = x * FULL_SCALE;
        // A value that falls exactly on a 16-bit step has no rounding error to
        // mask, so silence stays silent and 16-bit material keeps its values.
        const double rounded = steps == std::floor(steps) ? steps : std::round(steps + noise.next());
        sound.samples[i] = static_cast<std::int16_t>(std::clamp<double>(rounded, SAMPLE_MIN, SAMPLE_MAX));
    }
    return {std::move(sound), {}};
}

QString ConversionText(const AudioFormat& format)
{
    if (!NeedsConversion(format))
        return {};
    AudioFormat board;
    board.encoding = QStringLiteral("PCM");
    board.bits = BOARD_BITS;
    board.sampleRate = BOARD_SAMPLE_RATE;
    board.channels = 1;
    return FormatText(format) + QStringLiteral(" -> ") + FormatText(board);
}

QString ClipWarning(int clipped)
{
    if (clipped <= 0)
        return {};
    return QStringLiteral("Mixing and resampling push %1 samples beyond full scale: they are clipped.")
        .arg(clipped);
}

int SlotSampleBudget(const SoundSlot& slot)
{
    return SampleCount(slot.sizeLimit - 1);
}

QByteArray BoardWavBytes(const std::vector<std::int16_t>& samples)
{
    constexpr quint16 PCM = 1;
    constexpr quint32 FMT_CHUNK_BYTES = 16;
    constexpr quint32 RIFF_HEADER_BYTES = 8; // "RIFF" and its length, not counted in it
    constexpr quint16 BLOCK_ALIGN = BOARD_BITS / 8;
    const auto dataBytes = static_cast<quint32>(samples.size() * BLOCK_ALIGN);
    QByteArray wav;
    wav.reserve(Define::WAV_HEADER_BYTES + static_cast<qsizetype>(dataBytes));
    const auto put = [&wav](auto value) {
        const auto le = qToLittleEndian(value);
        wav.append(reinterpret_cast<const char*>(&le), sizeof le);
    };
    wav.append("RIFF");
    put(quint32(Define::WAV_HEADER_BYTES - RIFF_HEADER_BYTES + dataBytes));
    wav.append("WAVEfmt ");
    put(FMT_CHUNK_BYTES);
    put(PCM);
    put(quint16(1));
    put(quint32(BOARD_SAMPLE_RATE));
    put(quint32(BOARD_SAMPLE_RATE * BLOCK_ALIGN));
    put(BLOCK_ALIGN);
    put(quint16(BOARD_BITS));
    wav.append("data");
    put(dataBytes);
    for (const std::int16_t s : samples)
        put(s);
    return wav;
}

bool TrimToFit(std::vector<std::int16_t>& samples, int maxSamples)
{
    const auto keep = static_cast<size_t>(std::max(0, maxSamples));
    if (samples.size() <= keep)
        return false;
    samples.resize(keep);
    const size_t fade = std::min<size_t>(keep, BOARD_SAMPLE_RATE * TRIM_FADE_MS / MS_PER_SECOND);
    // Linear from full level on the first faded sample to silence on the last.
    for (size_t k = 0; k < fade; ++k) {
        const double gain =
            fade > 1 ? static_cast<double>(fade - 1 - k) / static_cast<double>(fade - 1) : 0.0;
        std::int16_t& s = samples[keep - fade + k];
        s = static_cast<std::int16_t>(std::lround(s * gain));
    }
    return true;
}

} // namespace Sound
