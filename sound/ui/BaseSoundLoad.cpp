// Bulk load of the base sound set into bank 1. F12 in the file list asks and
// starts the bulk load operation; F11 and "Annulla" stop it between files. The
// wait dialog counts the files and names the one being sent.
#include "sound/ui/SlotControls.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/Paths.h"
#include "sound/BoardJournal.h"
#include "sound/BulkLoadOperation.h"

void SlotControls::askToLoadBaseSounds()
{
    if (m_board.refuseWhileBusy())
        return;
    const QString missing = BulkLoadOperation::folderProblem(BaseSoundFolder());
    if (!missing.isEmpty()) {
        ShowMessage(missing);
        return;
    }
    // The question names what is written: the base set and where it comes from,
    // not the file selected in the list.
    if (!AskYesNo(QStringLiteral("Do you want to load the base sound set ") + BaseSoundFolder() +
                  QStringLiteral(" on Kordex as bank 1 sounds ?  ")))
        return;
    loadBaseSounds();
}

void SlotControls::loadBaseSounds()
{
    if (m_board.refuseWhileBusy())
        return;
    QString refusal;
    BulkLoadOperation* load =
        BulkLoadOperation::prepare(*m_board.link(), BaseSoundFolder(), beginSkipText(), endSkipText(), &refusal, this);
    if (!load) {
        ShowMessage(refusal);
        return;
    }
    const QString notJournalled = m_journal->follow(load);
    runManyFiles(load, notJournalled);
}
