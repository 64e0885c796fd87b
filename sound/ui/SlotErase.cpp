// The erase buttons: each starts its erase operation and shows its progress;
// the journal forgets what the erased sectors held.
#include "sound/ui/SlotControls.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "sound/BoardJournal.h"
#include "sound/EraseOperation.h"

void SlotControls::eraseRow(Sound::SoundRow row, int bankFromZero)
{
    Operation* erase = EraseOperation::row(*m_board.link(), bankFromZero, row, this);
    runJournalled(erase, m_journal->erase(erase, Sound::EraseGroup(bankFromZero, row)));
}

void SlotControls::eraseAllSounds()
{
    if (m_board.link()->refuseWhileBusy())
        return;
    if (!AskYesNo(QStringLiteral("Do you want to erase all sound memory ? ")))
        return;
    Operation* erase = EraseOperation::all(*m_board.link(), this);
    runJournalled(erase, m_journal->erase(erase, Sound::AllSlotSectors()));
}
