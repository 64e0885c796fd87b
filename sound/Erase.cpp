// The erase buttons: each starts its erase operation and shows its progress.
#include "app/Serial1.h"

#include "common/Dialogs.h"
#include "sound/EraseOperation.h"

void TSerialForm1::EraseRow(Sound::SoundRow row, int sect)
{
    if (RunOperation(EraseOperation::row(*Link, sect, row, this)))
        JournalErased(Sound::EraseGroup(sect, row));
}

void TSerialForm1::ERASE_ALL_SOUND()
{
    if (Link->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to erase all sound memory ? ")))
        return;
    if (RunOperation(EraseOperation::all(*Link, this)))
        JournalErased(Sound::AllSlotSectors());
}
