// The arithmetic of the calibration constants: the means of the sampled
// accelerometer readings, the accepted range and the two bytes written.
#pragma once

#include "common/Define.h"

#include <QString>
#include <QtGlobal>
#include <array>

namespace Motion {

using CalibrationSlots = std::array<qint16, Define::CAL_SLOTS>;

// The sum of all slots divided by the number of samples taken, halves to even.
qint16 CalibrationMean(const CalibrationSlots& taken, int samples);
// The message refusing a constant, or empty when it may be written.
QString CalibrationRangeError(int value);
int HighByte(int value);
int LowByte(int value);

} // namespace Motion

// Results of the last automatic measurement and its samples, for the whole run.
extern qint16 CAL_VERTICALE;
extern qint16 CAL_ORIZONTALE;
extern Motion::CalibrationSlots CAL_VERT_ARRAY;
extern Motion::CalibrationSlots CAL_HOR_ARRAY;
