#include "sim/MotionModel.h"

#include "sim/MotionConstants.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr unsigned RANDOM_SEED = 1523;
constexpr double MS_PER_S = 1000.0;
constexpr double S_PER_MIN = 60.0;
constexpr double QUARTER_TURN = std::numbers::pi / 2;
constexpr double FULL_TURN = 2 * std::numbers::pi;
constexpr double DEGREES_PER_RADIAN = 180.0 / std::numbers::pi;
constexpr double WOBBLE_PHASE_Y = 1.3; // the axes wobble out of step
constexpr double WOBBLE_PHASE_Z = 2.1;

qint16 clamp16(double value)
{
    const double low = std::numeric_limits<qint16>::min();
    const double high = std::numeric_limits<qint16>::max();
    return static_cast<qint16>(std::lround(std::clamp(value, low, high)));
}

} // namespace

MotionModel::MotionModel()
    : m_random(RANDOM_SEED)
{
}

double MotionModel::tilt(double seconds) const
{
    switch (m_pose) {
    case Pose::Vertical:
        return 0.0;
    case Pose::Horizontal:
        return QUARTER_TURN;
    case Pose::Sweep:
        break;
    }
    return QUARTER_TURN / 2 * (1.0 - std::cos(FULL_TURN * seconds / Motion::SWEEP_PERIOD_S));
}

double MotionModel::tiltRate(double seconds) const
{
    if (m_pose != Pose::Sweep)
        return 0.0;
    const double angular = FULL_TURN / Motion::SWEEP_PERIOD_S;
    return QUARTER_TURN / 2 * angular * std::sin(angular * seconds);
}

int MotionModel::noise()
{
    return std::uniform_int_distribution<int>(-Motion::NOISE_COUNTS, Motion::NOISE_COUNTS)(m_random);
}

int MotionModel::flickered(int level, int depth)
{
    const int dip =
        std::uniform_int_distribution<int>(0, std::clamp(depth, 0, Motion::FLICKER_FULL))(m_random);
    return level * Motion::LED_COUNTS_PER_STEP * (Motion::FLICKER_FULL - dip) / Motion::FLICKER_FULL;
}

TelemetryValues MotionModel::sample(qint64 nowMs, const LedSetting& led)
{
    const double t = nowMs / MS_PER_S;
    const double angle = tilt(t);
    const double wobble = std::sin(FULL_TURN * t / Motion::WOBBLE_PERIOD_S);
    const double wobbleY = std::sin(FULL_TURN * t / Motion::WOBBLE_PERIOD_S + WOBBLE_PHASE_Y);
    const double wobbleZ = std::sin(FULL_TURN * t / Motion::WOBBLE_PERIOD_S + WOBBLE_PHASE_Z);

    TelemetryValues v;
    v.posx = clamp16(Motion::OFFSET_X + Motion::WOBBLE_ACCEL * wobble + noise());
    v.posy = clamp16(Motion::OFFSET_Y + Motion::ONE_G * std::sin(angle) + noise());
    v.posz = clamp16(Motion::OFFSET_Z + Motion::ONE_G * std::cos(angle) + noise());
    v.rotx = clamp16(tiltRate(t) * DEGREES_PER_RADIAN * Motion::GYRO_COUNTS_PER_DEGREE_PER_S +
                     Motion::WOBBLE_GYRO * wobble + noise());
    v.roty = clamp16(Motion::WOBBLE_GYRO * wobbleY + noise());
    v.rotz = clamp16(Motion::WOBBLE_GYRO * wobbleZ + noise());
    v.red = clamp16(flickered(led.red, led.flickerRed));
    v.green = clamp16(flickered(led.green, led.flickerGreen));
    v.blue = clamp16(flickered(led.blue, led.flickerBlue));
    const double drained = Motion::BATTERY_DRAIN_PER_MIN * t / S_PER_MIN;
    v.battery = clamp16(std::max<double>(Motion::BATTERY_START - drained, Motion::BATTERY_FLOOR) + noise());
    v.usb = clamp16(Motion::USB_SUPPLY + noise());
    return v;
}
