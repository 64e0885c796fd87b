// Synthesises the base sound set: tones and noise computed here, nothing read
// from anywhere. Writes the files into the folder given as the only argument.
//
//   tavrin-make-sounds <folder>
#include "common/Define.h"
#include "sound/BaseSounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 22050;
constexpr int BITS = 16;
constexpr double FULL_SCALE = 32767.0;
constexpr double TWO_PI = 2.0 * std::numbers::pi;

// A noise source that gives the same sounds on every machine and every run.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : m_state(seed)
    {
    }
    double white()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<double>(m_state) / 2147483648.0 - 1.0;
    }
    // Noise through a one-pole low-pass: a softer rush than white noise.
    double low(double smoothing)
    {
        m_last += (white() - m_last) * smoothing;
        return m_last;
    }

private:
    std::uint32_t m_state;
    double m_last = 0.0;
};

// A tone whose frequency may change from sample to sample without clicks.
class Oscillator {
public:
    double next(double hz)
    {
        m_phase = std::fmod(m_phase + TWO_PI * hz / RATE, TWO_PI);
        return std::sin(m_phase);
    }

private:
    double m_phase = 0.0;
};

struct Voice {
    double seconds;
    // Sample value in -1..1 at time t (seconds) of a sound lasting `seconds`.
    std::function<double(double t)> sample;
};

// The low hum of a blade at rest: a whole number of cycles of each partial and
// of the slow swell, so that the board can loop it without a seam.
Voice hum()
{
    constexpr double SECONDS = 2.5;
    constexpr double BASE_HZ = 90.0;
    constexpr double SWELL_HZ = 2.0;
    return {SECONDS, [](double t) {
                const double swell = 0.85 + 0.15 * std::sin(TWO_PI * SWELL_HZ * t);
                return swell *
                       (0.45 * std::sin(TWO_PI * BASE_HZ * t) + 0.2 * std::sin(TWO_PI * 2 * BASE_HZ * t) +
                        0.08 * std::sin(TWO_PI * 3 * BASE_HZ * t));
            }};
}

// Igniting or retracting: a pitch sweep with a crackle that fades.
Voice sweep(double fromHz, double toHz, std::uint32_t seed)
{
    constexpr double SECONDS = 1.2;
    auto oscillator = std::make_shared<Oscillator>();
    auto noise = std::make_shared<Noise>(seed);
    return {SECONDS, [=](double t) {
                const double x = t / SECONDS;
                const double hz = fromHz + (toHz - fromHz) * x * (2.0 - x);
                const double envelope = std::min(1.0, t / 0.05) * (fromHz < toHz ? 1.0 : 1.0 - x);
                return envelope * (0.55 * oscillator->next(hz) + 0.25 * (1.0 - x) * noise->low(0.3));
            }};
}

// A swing: the hum bends up and back while a rush of air passes.
Voice swing(int number)
{
    const double seconds = 0.8 + 0.05 * number;
    const double baseHz = 90.0 + 12.0 * number;
    auto oscillator = std::make_shared<Oscillator>();
    auto noise = std::make_shared<Noise>(0x5EED0000u + number);
    return {seconds, [=](double t) {
                const double arc = std::sin(std::numbers::pi * t / seconds);
                return arc *
                       (0.5 * oscillator->next(baseHz * (1.0 + 0.6 * arc)) + 0.3 * arc * noise->low(0.08));
            }};
}

// A clash: a bright noise burst and two ringing partials, dying away fast.
Voice clash(int number)
{
    const double seconds = 0.5 + 0.05 * number;
    const double ringHz = 1300.0 + 110.0 * number;
    auto noise = std::make_shared<Noise>(0xC1A50000u + number);
    return {seconds, [=](double t) {
                const double burst = std::exp(-t / 0.06);
                const double ring = std::exp(-t / 0.15);
                return 0.7 * burst * noise->white() +
                       0.25 * ring * (std::sin(TWO_PI * ringHz * t) + std::sin(TWO_PI * 1.53 * ringHz * t));
            }};
}

// A power clash: a held crackle over a loud hum, with a flutter.
Voice powerClash(int number)
{
    constexpr double SECONDS = 1.3;
    const double flutterHz = 9.0 + 2.0 * number;
    auto noise = std::make_shared<Noise>(0xB0B00000u + number);
    return {SECONDS, [=](double t) {
                const double envelope = std::min(1.0, t / 0.02) * std::min(1.0, (SECONDS - t) / 0.25);
                const double flutter = 0.6 + 0.4 * std::sin(TWO_PI * flutterHz * t);
                return envelope * (0.45 * std::sin(TWO_PI * 180.0 * t) + 0.4 * flutter * noise->low(0.5));
            }};
}

// The voice of each file of the set, in the set's order.
Voice voiceFor(int index)
{
    constexpr int FIRST_SWING = 3;
    constexpr int FIRST_CLASH = 9;
    constexpr int FIRST_POWER_CLASH = 15;
    if (index == 0)
        return sweep(40.0, 130.0, 0x0A0A0001u);
    if (index == 1)
        return sweep(130.0, 35.0, 0x0A0A0002u);
    if (index == Sound::BASE_HUM_INDEX)
        return hum();
    if (index < FIRST_CLASH)
        return swing(index - FIRST_SWING + 1);
    if (index < FIRST_POWER_CLASH)
        return clash(index - FIRST_CLASH + 1);
    return powerClash(index - FIRST_POWER_CLASH + 1);
}

void putLe(std::vector<char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

std::vector<char> wavFile(const Voice& voice)
{
    const auto samples = static_cast<std::uint32_t>(voice.seconds * RATE);
    const std::uint32_t dataBytes = samples * Define::WAV_SAMPLE_BYTES;
    std::vector<char> out;
    const auto text = [&out](const char* four) { out.insert(out.end(), four, four + 4); };
    text("RIFF");
    putLe(out, Define::WAV_HEADER_BYTES - 8 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    putLe(out, 16, 4);                              // size of the format block
    putLe(out, 1, 2);                               // PCM
    putLe(out, 1, 2);                               // mono
    putLe(out, RATE, 4);                            // samples per second
    putLe(out, RATE * Define::WAV_SAMPLE_BYTES, 4); // bytes per second
    putLe(out, Define::WAV_SAMPLE_BYTES, 2);        // bytes per sample frame
    putLe(out, BITS, 2);
    text("data");
    putLe(out, dataBytes, 4);
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double value = std::clamp(voice.sample(static_cast<double>(i) / RATE), -1.0, 1.0);
        putLe(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(value * FULL_SCALE))), 2);
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::filesystem::create_directories(folder);
    for (int index = 0; index < static_cast<int>(Sound::BASE_SOUND_FILES.size()); ++index) {
        const std::vector<char> bytes = wavFile(voiceFor(index));
        const auto limit = static_cast<std::size_t>(index == Sound::BASE_HUM_INDEX ? Define::MAX_FILE_HUM_SIZE
                                                                                   : Define::MAX_FILE_SIZE);
        const std::string name = Sound::BASE_SOUND_FILES[index];
        if (bytes.size() >= limit) {
            std::fprintf(stderr, "%s: %zu bytes, its slot takes fewer than %zu\n", name.c_str(), bytes.size(),
                         limit);
            return 1;
        }
        std::ofstream file(folder / name, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!file) {
            std::fprintf(stderr, "%s: cannot write\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
