// Putting the selected file into a slot: the slot buttons (size test, the slot's
// request and its pause, the question) and the file list's menu items (size test,
// the question). While any operation holds the link they refuse before anything
// else, and every check that can refuse runs before the first byte goes to the
// board: the file is read, checked and converted here. The upload operation then
// owns the transfer, and the wait dialog shows it. What went where is journalled
// once the slot holds the whole sound.
#include "sound/ui/SlotControls.h"

#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"

#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/ui/Media.h"
#include "common/ui/ValueLabel.h"
#include "sound/BoardJournal.h"
#include "sound/SlotJournal.h"
#include "sound/SoundUpload.h"
#include "sound/UploadOperation.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace Sound;

QString SlotControls::beginSkipText() const
{
    return m_browser.fileInfo().beginSkipText();
}

QString SlotControls::endSkipText() const
{
    return m_browser.fileInfo().endSkipText();
}

void SlotControls::showSoundFileName(const QString& path)
{
    m_browser.fileInfo().showFileName(QFileInfo(path).fileName());
}

void SlotControls::uploadToSlot(int slot)
{
    // The file and the slot are taken now: nothing done during the request's
    // pause or the question can change what is sent.
    const SoundSlot& s = SoundSlots().at(slot);
    std::optional<CheckedFile> file = checkedSelection(s);
    if (!file)
        return;
    m_board.link()->sendCommand(s.requestFrame());
    // The hum's button stays off while the board prepares the long slot.
    QPushButton* hum = s.isHum() ? m_slotButtons[slot] : nullptr;
    if (hum) {
        hum->setEnabled(false);
        hum->repaint();
    }
    if (s.requestPauseMs > 0)
        Sleep(s.requestPauseMs);
    if (hum) {
        hum->setEnabled(true);
        hum->repaint();
    }
    if (!m_board.serialPort()->IsOpen()) // lost during the request's pause; the loss has been reported
        return;
    if (!AskYesNo(LoadQuestion(file->path, s.buttonWord)))
        return;
    startUpload(s, std::move(*file));
}

void SlotControls::uploadFromMenu(int slot)
{
    const SoundSlot& s = SoundSlots().at(slot);
    std::optional<CheckedFile> file = checkedSelection(s);
    if (!file || !AskYesNo(LoadQuestion(file->path, s.menu.word)))
        return;
    startUpload(s, std::move(*file));
}

void SlotControls::uploadToSlotAt(quint32 address)
{
    const SoundSlot* slot = SlotStartingAt(address);
    if (!slot)
        return; // every caller passes a slot's start address
    if (std::optional<CheckedFile> file = checkedSelection(*slot))
        startUpload(*slot, std::move(*file));
}

std::optional<SlotControls::CheckedFile> SlotControls::checkedSelection(const SoundSlot& slot)
{
    if (m_board.link()->refuseWhileBusy())
        return std::nullopt;
    const QString path = m_browser.selectedSoundFile();
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
    return CheckedFile{path, std::move(*file.verdict.upload), FileChecksum(*file.content)};
}

void SlotControls::startUpload(const SoundSlot& slot, CheckedFile file)
{
    // The preview lets go of the file it plays, which may be the one being sent.
    m_browser.closePreview();
    showSoundFileName(file.path);
    const SlotSource source = SlotSource::Of(file.path, file.checksum, file.upload.stream);
    auto* operation = new UploadOperation(*m_board.link(), slot, file.path, std::move(file.upload), this);
    m_lastUploadWhole = true;
    connect(operation, &Operation::finished, this, [this](bool whole) { m_lastUploadWhole = whole; });
    runJournalled(operation,
                  m_journal->upload(operation, SlotIndex(slot.bank, slot.kind, slot.number), source));
}
