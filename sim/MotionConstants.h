// What the simulated motion sensor reads: the calibration the board leaves the
// factory with matches the accelerometer Z reading in the two reference poses.
#pragma once

#include "common/Define.h"

namespace Motion {

inline constexpr int ONE_G = 16384; // accelerometer counts per g (2 g full scale)
inline constexpr int OFFSET_X = 80; // zero offsets of the accelerometer axes
inline constexpr int OFFSET_Y = -120;
inline constexpr int OFFSET_Z = 350;
// Z reading with the blade vertical (tip up) and horizontal.
inline constexpr int Z_VERTICAL = ONE_G + OFFSET_Z;
inline constexpr int Z_HORIZONTAL = OFFSET_Z;

inline constexpr double GYRO_COUNTS_PER_DEGREE_PER_S = 16.4; // 2000 degrees/s full scale
inline constexpr int NOISE_COUNTS = 6;                       // reading noise, plus or minus

inline constexpr double SWEEP_PERIOD_S = 20.0; // vertical, horizontal and back again
inline constexpr double WOBBLE_PERIOD_S = 3.1; // the hand's small unsteadiness
inline constexpr int WOBBLE_ACCEL = 400;
inline constexpr int WOBBLE_GYRO = 150;

inline constexpr int BATTERY_START = 2800;           // counts of a charged battery
inline constexpr double BATTERY_DRAIN_PER_MIN = 3.0; // counts lost per minute of running
inline constexpr int BATTERY_FLOOR = Define::BATTERY_EMPTY;
inline constexpr int USB_SUPPLY = 3300; // counts with the USB supply present

inline constexpr int LED_COUNTS_PER_STEP = 4; // LED drive counts per colour step (0..254)
inline constexpr int FLICKER_FULL = Define::FLICKER_MAX;

} // namespace Motion
