#include "motion/CalibrationMath.h"

#include "common/Framework.h"

#include <numeric>

qint16 CAL_VERTICALE = 0;
qint16 CAL_ORIZONTALE = 0;
Motion::CalibrationSlots CAL_VERT_ARRAY{};
Motion::CalibrationSlots CAL_HOR_ARRAY{};

namespace Motion {

qint16 CalibrationMean(const CalibrationSlots& taken, int samples)
{
    const long long sum = std::accumulate(taken.begin(), taken.end(), 0LL);
    return static_cast<qint16>(RoundHalfEven(static_cast<double>(sum) / samples));
}

QString CalibrationRangeError(int value)
{
    if (value > Define::MAXINT_16)
        return QStringLiteral("Valore troppo elevata Max = 32767");
    if (value < Define::CAL_CONSTANT_MIN)
        return QStringLiteral("Valore troppo basso Min = -32767");
    return {};
}

int HighByte(int value)
{
    return (value >> Define::BITS_PER_BYTE) & Define::BYTE_MASK;
}

int LowByte(int value)
{
    return value & Define::BYTE_MASK;
}

} // namespace Motion
