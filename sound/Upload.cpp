// Writing one WAV file into one slot: the window's side. The file is read,
// checked and converted here, before anything is sent; the upload operation
// then owns the transfer, and the wait dialog shows it.
#include "app/Serial1.h"

#include "comm/BoardLink.h"
#include "common/Dialogs.h"
#include "common/Media.h"
#include "sound/UploadOperation.h"

using namespace Sound;

void TSerialForm1::WriteSector(quint32 Add)
{
    const SoundSlot* slot = SlotStartingAt(Add);
    if (!slot || Link->refuseWhileBusy())
        return; // every caller passes a slot's start address
    const QString path = SelectedSoundFile();
    if (std::optional<PreparedUpload> upload = CheckedUpload(*slot, path))
        StartUpload(*slot, path, std::move(*upload));
}

std::optional<PreparedUpload> TSerialForm1::CheckedUpload(const SoundSlot& slot, const QString& path)
{
    UploadVerdict verdict = PrepareUpload(path, ReadSoundFile(path), slot, SkipBeginText(), SkipEndText());
    if (!verdict.upload)
        ShowMessage(verdict.message);
    return std::move(verdict.upload);
}

void TSerialForm1::StartUpload(const SoundSlot& slot, const QString& path, PreparedUpload upload)
{
    // The preview lets go of the file it plays, which may be the one being sent.
    MediaPlayer1->close();
    ShowSoundFileName(path);
    RunOperation(new UploadOperation(*Link, slot, std::move(upload), this));
}
