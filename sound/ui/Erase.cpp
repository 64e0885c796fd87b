// The erase buttons: each starts its erase operation and shows its progress.
#include "app/SetupWindow.h"

#include "common/Dialogs.h"
#include "sound/BoardJournal.h"
#include "sound/EraseOperation.h"

void SetupWindow::eraseRow(Sound::SoundRow row, int sect)
{
    Operation* erase = EraseOperation::row(*m_board->link(), sect, row, this);
    if (RunOperation(erase))
        journal->erase(erase, Sound::EraseGroup(sect, row));
}

void SetupWindow::eraseAllSounds()
{
    if (m_board->link()->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to erase all sound memory ? ")))
        return;
    Operation* erase = EraseOperation::all(*m_board->link(), this);
    if (RunOperation(erase))
        journal->erase(erase, Sound::AllSlotSectors());
}
