// A whole sound font into a bank, and what each slot holds: the window's side.
// The import dialog checks its table and hands over the streams; the import
// operation then owns the link, and the wait dialog names the slot being
// written with the time left.
#include "app/SetupWindow.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/InfoFileBox.h"

#include "app/Forms.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "common/ui/Media.h"
#include "sound/BoardJournal.h"
#include "sound/ImportOperation.h"
#include "sound/ui/ImportDialog.h"
#include "sound/ui/SlotContents.h"

#include <QLabel>

using namespace Sound;

void SetupWindow::importFont()
{
    if (m_board->link()->refuseWhileBusy())
        return;
    // One dialog, kept: the controls locked while an operation runs must outlive it.
    auto* dialog = findChild<ImportDialog*>(QStringLiteral("ImportDialog"));
    if (!dialog)
        dialog = new ImportDialog(
            [this](int bank, QList<FontUpload> uploads) { return runImport(bank, std::move(uploads)); },
            this);
    dialog->setFolder(m_browser->soundFolder);
    dialog->show();
    dialog->raise();
}

bool SetupWindow::runImport(int bank, QList<FontUpload> uploads)
{
    if (m_board->link()->refuseWhileBusy())
        return false;
    m_browser->previewPlayer->close(); // the preview lets go of a file that may be sent
    auto* import = new ImportOperation(*m_board->link(), bank, std::move(uploads), this);
    journal->follow(import);
    if (!RunOperation(import))
        return false;
    const auto showStatus = [import] { waitDialog->message->setText(import->statusText()); };
    connect(import, &Operation::progressed, waitDialog, showStatus);
    showStatus();
    return true;
}

void SetupWindow::showSlotContents()
{
    auto* dialog = findChild<SlotContentsDialog*>(QStringLiteral("SlotContents"));
    if (!dialog)
        dialog = new SlotContentsDialog(this);
    dialog->showBoard(m_board->readSerialNumber());
    dialog->show();
    dialog->raise();
}
