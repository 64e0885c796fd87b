// The parameter memory of a board as it leaves the factory.
#pragma once

#include <QtGlobal>
#include <array>

namespace Factory {

inline constexpr quint8 RELEASE = 34;
inline constexpr quint8 DEFAULT_BANK = 1;
inline constexpr quint32 SERIAL_LOT = 1523; // year and week of production
inline constexpr quint32 SERIAL_NUMBER = 42;

} // namespace Factory

std::array<quint8, 256> factoryParameters();
