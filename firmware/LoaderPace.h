// How long the loader takes over a file: one HEX line per timer tick, and a
// line whose word pauses outlast the tick takes as long as they do, since the
// next tick falls due during them and runs right after.
#pragma once

#include "common/Define.h"

#include <QtGlobal>
#include <algorithm>

namespace Hex {

constexpr qint64 LineMs(int words)
{
    return std::max<qint64>(Define::FIRMWARE_TICK_MS, qint64{words} * Define::FIRMWARE_WORD_PAUSE_MS);
}

} // namespace Hex
