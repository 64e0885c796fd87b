#include "sound/ErasePlans.h"

#include "comm/Frames.h"
#include "common/Define.h"

namespace Sound {

QByteArray EraseSector(std::uint32_t address)
{
    return AddressFrame(Define::ERASESECTOR_CMD, address);
}

QList<PacedFrame> EraseSectorTwo(std::uint32_t address)
{
    return {{EraseSector(address), Define::ERASE_REPEAT_PAUSE_MS},
            {EraseSector(address), Define::ERASE_SETTLE_PAUSE_MS}};
}

QList<PacedFrame> RowErasePlan(int bankFromZero, SoundRow row)
{
    QList<PacedFrame> plan;
    for (std::uint32_t sector : EraseGroup(bankFromZero, row))
        plan += EraseSectorTwo(sector);
    return plan;
}

QList<PacedFrame> EraseAllPlan()
{
    return {{NoArgumentFrame(Define::CLOSEREADFLASH_CMD), Define::ERASE_ALL_CLOSE_PAUSE_MS},
            {NoArgumentFrame(Define::ERASEALL_CMD), 0}};
}

QList<PacedFrame> UploadErasePlan(const SoundSlot& slot)
{
    // The first sector goes twice; a hum's second sector once.
    QList<PacedFrame> plan = {{EraseSector(slot.address), Define::UPLOAD_ERASE_PAUSE_MS},
                              {EraseSector(slot.address), Define::UPLOAD_ERASE_PAUSE_MS}};
    for (int extra = 1; extra < slot.sectors; ++extra)
        plan.append({EraseSector(slot.address + static_cast<std::uint32_t>(extra) * Define::SECTOR_SIZE),
                     Define::UPLOAD_ERASE_PAUSE_MS});
    return plan;
}

} // namespace Sound
