// A whole sound font into a bank, and what each slot holds. The import dialog
// checks its table and hands over the streams; the import operation then owns
// the link, and the wait dialog names the slot being written with the time left.
#include "sound/ui/SlotControls.h"

#include "sound/ui/ImportDialog.h"
#include "sound/ui/SlotContents.h"
#include "sound/ui/SoundBrowser.h"

#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/ui/Media.h"
#include "sound/BoardJournal.h"
#include "sound/ImportOperation.h"

#include <QLabel>

using namespace Sound;

void SlotControls::importFont()
{
    if (m_board.link()->refuseWhileBusy())
        return;
    // One dialog, kept: the controls locked while an operation runs must outlive it.
    auto* dialog = m_host->findChild<ImportDialog*>(QStringLiteral("ImportDialog"));
    if (!dialog) {
        dialog = new ImportDialog(
            [this](int bank, QList<FontUpload> uploads) { return runImport(bank, std::move(uploads)); },
            m_host);
        // Like every slot control, "Upload" is off outside set-up mode.
        connect(&m_board, &Params::Board::setUpModeChanged, dialog, &ImportDialog::setBoardTakesSounds);
    }
    dialog->setBoardTakesSounds(m_board.setUpMode());
    dialog->setFolder(m_browser.soundFolder());
    dialog->show();
    dialog->raise();
}

bool SlotControls::runImport(int bank, QList<FontUpload> uploads)
{
    if (m_board.link()->refuseWhileBusy())
        return false;
    // Reached however the button was, the board takes no sound outside set-up mode.
    if (!m_board.setUpMode()) {
        ShowMessage(QStringLiteral("Nothing was erased or sent: the board takes sounds only in set-up mode. "
                                   "Choose \"SetUp\" first."));
        return false;
    }
    m_browser.closePreview(); // the preview lets go of a file that may be sent
    auto* import = new ImportOperation(*m_board.link(), bank, std::move(uploads), this);
    if (!runManyFiles(import, m_journal->follow(import)))
        return false;
    WaitDialog* view = &m_progressView();
    const auto showStatus = [import, view] { view->message->setText(import->statusText()); };
    connect(import, &Operation::progressed, view, showStatus);
    showStatus();
    return true;
}

void SlotControls::showSlotContents()
{
    auto* dialog = m_host->findChild<SlotContentsDialog*>(QStringLiteral("SlotContents"));
    if (!dialog)
        dialog = new SlotContentsDialog(m_host);
    dialog->showBoard(m_board.readSerialNumber());
    dialog->show();
    dialog->raise();
}
