// Bulk load of the base sound set into bank 1. F12 in the file list asks and
// starts the bulk load operation; F11 and "Annulla" stop it between files. The
// wait dialog counts the files and names the one being sent.
#include "sound/ui/SlotControls.h"

#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
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
    const QString notJournalled = journal->follow(load);
    runManyFiles(load, notJournalled);
}

bool SlotControls::runManyFiles(Operation* operation, const QString& refusal)
{
    // The board's "End." after each file is kept while the load holds the link
    // and routed once it lets go: it must not report each file as if it had been
    // sent alone. Interactive use resumes after those answers, in their order.
    RICHIESTA = false;
    connect(operation, &Operation::finished, m_board.link(), [link = m_board.link()] {
        QMetaObject::invokeMethod(
            link, [] { appClock().whenNotPaused([] { RICHIESTA = true; }); }, Qt::QueuedConnection);
    });
    const bool started = runJournalled(operation, refusal);
    if (!started)
        RICHIESTA = true;
    return started;
}
