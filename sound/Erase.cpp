// The erase buttons: each starts its erase operation and shows its progress.
#include "app/Serial1.h"

#include "common/Dialogs.h"
#include "sound/BoardJournal.h"
#include "sound/EraseOperation.h"

void TSerialForm1::EraseRow(Sound::SoundRow row, int sect)
{
    Operation* erase = EraseOperation::row(*Link, sect, row, this);
    if (RunOperation(erase))
        Journal->erase(erase, Sound::EraseGroup(sect, row));
}

void TSerialForm1::ERASE_ALL_SOUND()
{
    if (Link->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to erase all sound memory ? ")))
        return;
    Operation* erase = EraseOperation::all(*Link, this);
    if (RunOperation(erase))
        Journal->erase(erase, Sound::AllSlotSectors());
}
