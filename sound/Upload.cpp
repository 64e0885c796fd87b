// Writing one sound file into one slot: the window's side. The file is read,
// checked and converted here, before anything is sent; the upload operation
// then owns the transfer, and the wait dialog shows it. What went where is
// journalled once the slot holds the whole sound.
#include "app/Serial1.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/Media.h"
#include "sound/JournalledOperation.h"
#include "sound/SlotJournal.h"
#include "sound/SoundUpload.h"
#include "sound/UploadOperation.h"

#include <QFileInfo>

using namespace Sound;

void TSerialForm1::WriteSector(quint32 Add)
{
    const SoundSlot* slot = SlotStartingAt(Add);
    if (!slot || Link->refuseWhileBusy())
        return; // every caller passes a slot's start address
    const QString path = SelectedSoundFile();
    QString checksum;
    if (std::optional<PreparedUpload> upload = CheckedUpload(*slot, path, &checksum))
        StartUpload(*slot, path, std::move(*upload), checksum);
}

std::optional<PreparedUpload> TSerialForm1::CheckedUpload(const SoundSlot& slot, const QString& path,
                                                          QString* checksum)
{
    FileUpload file = PrepareSoundFileUpload(path, slot, SkipBeginText(), SkipEndText());
    // A sound too long for the slot is refused as it always was, unless the owner
    // takes the offer to cut its end.
    if (!file.verdict.upload) {
        const QString offer = TrimOffer(path, slot);
        if (!offer.isEmpty() && AskYesNo(offer))
            file = PrepareSoundFileUpload(path, slot, SkipBeginText(), SkipEndText(), true);
    }
    if (!file.verdict.upload || !file.content) {
        ShowMessage(file.verdict.message);
        return std::nullopt;
    }
    *checksum = FileChecksum(*file.content);
    return std::move(file.verdict.upload);
}

void TSerialForm1::StartUpload(const SoundSlot& slot, const QString& path, PreparedUpload upload,
                               const QString& checksum)
{
    // The preview lets go of the file it plays, which may be the one being sent.
    MediaPlayer1->close();
    ShowSoundFileName(path);
    auto* operation = new UploadOperation(*Link, slot, std::move(upload), this);
    const int index = SlotIndex(slot.bank, slot.kind, slot.number);
    const QString fileName = QFileInfo(path).fileName();
    connect(operation, &Operation::finished, this, [this, index, fileName, checksum](bool ok) {
        if (ok)
            JournalWritten(index, fileName, checksum);
    });
    if (RunOperation(operation))
        JournalErased(SlotSectors(slot));
}

QString TSerialForm1::BoardSerial() const
{
    return Label21->value().trimmed();
}

void TSerialForm1::JournalWritten(int slot, const QString& fileName, const QString& checksum)
{
    // Without the board's serial number there is no journal to keep: the owner
    // has not read the board yet, which is no fault of the upload.
    if (BoardSerial().isEmpty())
        return;
    const QString problem =
        SlotJournal().record(BoardSerial(), slot, fileName, checksum, QDateTime::currentDateTime());
    if (!problem.isEmpty())
        ShowMessage(problem);
}

void TSerialForm1::JournalSlots(JournalledOperation* operation)
{
    connect(operation, &JournalledOperation::slotErasing, this,
            [this](int slot) { JournalErased(SlotSectors(SoundSlots().at(slot))); });
    connect(operation, &JournalledOperation::slotWritten, this, &TSerialForm1::JournalWritten);
}

void TSerialForm1::JournalErased(const QList<std::uint32_t>& sectors)
{
    if (BoardSerial().isEmpty())
        return;
    const QString problem = SlotJournal().forgetSectors(BoardSerial(), sectors);
    if (!problem.isEmpty())
        ShowMessage(problem);
}
