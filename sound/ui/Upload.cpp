// Writing one sound file into one slot: the window's side. The file is read,
// checked and converted here, before anything is sent; the upload operation
// then owns the transfer, and the wait dialog shows it. What went where is
// journalled once the slot holds the whole sound.
#include "app/SetupWindow.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/InfoFileBox.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/ui/Media.h"
#include "sound/BoardJournal.h"
#include "sound/SlotJournal.h"
#include "sound/SoundUpload.h"
#include "sound/UploadOperation.h"

#include <QFileInfo>
#include <QLabel>

using namespace Sound;

void SetupWindow::uploadToSlotAt(quint32 Add)
{
    const SoundSlot* slot = SlotStartingAt(Add);
    if (!slot || m_board->link()->refuseWhileBusy())
        return; // every caller passes a slot's start address
    const QString path = m_browser->selectedSoundFile();
    QString checksum;
    if (std::optional<PreparedUpload> upload = checkedUpload(*slot, path, &checksum))
        startUpload(*slot, path, std::move(*upload), checksum);
}

std::optional<PreparedUpload> SetupWindow::checkedUpload(const SoundSlot& slot, const QString& path,
                                                          QString* checksum)
{
    FileUpload file = PrepareSoundFileUpload(path, slot, beginSkipText(), endSkipText());
    // A sound too long for the slot is refused as it always was, unless the owner
    // takes the offer to cut its end.
    if (!file.verdict.upload) {
        const QString offer = TrimOffer(path, slot);
        if (!offer.isEmpty() && AskYesNo(offer))
            file = PrepareSoundFileUpload(path, slot, beginSkipText(), endSkipText(), true);
    }
    if (!file.verdict.upload || !file.content) {
        ShowMessage(file.verdict.message);
        return std::nullopt;
    }
    *checksum = FileChecksum(*file.content);
    return std::move(file.verdict.upload);
}

void SetupWindow::startUpload(const SoundSlot& slot, const QString& path, PreparedUpload upload,
                               const QString& checksum)
{
    // The preview lets go of the file it plays, which may be the one being sent.
    m_browser->previewPlayer->close();
    showSoundFileName(path);
    auto* operation = new UploadOperation(*m_board->link(), slot, std::move(upload), this);
    if (RunOperation(operation))
        journal->upload(operation, SlotIndex(slot.bank, slot.kind, slot.number), QFileInfo(path).fileName(),
                        checksum);
}

void SetupWindow::showJournalNote(const QString& text)
{
    journalNote->setText(text);
    journalNote->setAccessibleName(text);
}
