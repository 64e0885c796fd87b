#include "sim/ShotShape.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PEAK = 24000.0;       // counts of the first swing
constexpr double DECAY_SAMPLES = 12.0; // samples for the swing to fall to 1/e
constexpr double PERIOD_SAMPLES = 8.0; // samples per oscillation
constexpr int STRENGTH_STEPS = 5;      // shots cycle through this many strengths
constexpr double STRENGTH_STEP = 0.1;  // each step weaker by this fraction

} // namespace

BoardBlocks::ShotSamples dampedOscillation(int shotNumber)
{
    const double strength = 1.0 - STRENGTH_STEP * (shotNumber % STRENGTH_STEPS);
    BoardBlocks::ShotSamples samples{};
    for (int i = 0; i < static_cast<int>(samples.size()); ++i) {
        const double envelope = PEAK * strength * std::exp(-i / DECAY_SAMPLES);
        samples[i] =
            static_cast<qint16>(std::lround(envelope * std::sin(2 * std::numbers::pi * i / PERIOD_SAMPLES)));
    }
    return samples;
}
