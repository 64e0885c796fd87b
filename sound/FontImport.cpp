// A whole sound font into a bank, and what each slot holds: the window's side.
// The import dialog checks its table and hands over the streams; the import
// operation then owns the link, and the wait dialog names the slot being
// written with the time left.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "common/Media.h"
#include "sound/BoardJournal.h"
#include "sound/ImportDialog.h"
#include "sound/ImportOperation.h"
#include "sound/SlotContents.h"

#include <QLabel>

using namespace Sound;

void TSerialForm1::ImportFontClick()
{
    if (Link->refuseWhileBusy())
        return;
    // One dialog, kept: the controls locked while an operation runs must outlive it.
    auto* dialog = findChild<ImportDialog*>(QStringLiteral("ImportDialog"));
    if (!dialog)
        dialog = new ImportDialog(
            [this](int bank, QList<FontUpload> uploads) { return RunImport(bank, std::move(uploads)); },
            this);
    dialog->setFolder(SoundFolder);
    dialog->show();
    dialog->raise();
}

bool TSerialForm1::RunImport(int bank, QList<FontUpload> uploads)
{
    if (Link->refuseWhileBusy())
        return false;
    MediaPlayer1->close(); // the preview lets go of a file that may be sent
    auto* import = new ImportOperation(*Link, bank, std::move(uploads), this);
    Journal->follow(import);
    if (!RunOperation(import))
        return false;
    const auto showStatus = [import] { waitform->Label1->setText(import->statusText()); };
    connect(import, &Operation::progressed, waitform, showStatus);
    showStatus();
    return true;
}

void TSerialForm1::SlotContentsClick()
{
    auto* dialog = findChild<SlotContentsDialog*>(QStringLiteral("SlotContents"));
    if (!dialog)
        dialog = new SlotContentsDialog(this);
    dialog->showBoard(BoardSerial());
    dialog->show();
    dialog->raise();
}
