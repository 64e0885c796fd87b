// The frames of the erase operations and the pause that follows each, so that a
// single paced runner sends them all and tests can read the plan.
#pragma once

#include "comm/FramePacer.h"
#include "sound/SlotMap.h"

#include <QByteArray>
#include <QList>
#include <cstdint>

namespace Sound {

// The erase-sector frame for the sector that starts at address.
QByteArray EraseSector(std::uint32_t address);
// One sector erased twice: 500 ms between the frames, 1000 ms after the second.
QList<PacedFrame> EraseSectorTwo(std::uint32_t address);
// A row erase: EraseSectorTwo for each sector of the row's group, ascending.
QList<PacedFrame> RowErasePlan(int bankFromZero, SoundRow row);
// The close frame, 100 ms, the erase-all frame.
QList<PacedFrame> EraseAllPlan();
// An upload's erase: the slot's first sector twice, a hum's second sector once,
// 1000 ms after each frame.
QList<PacedFrame> UploadErasePlan(const SoundSlot& slot);

} // namespace Sound
