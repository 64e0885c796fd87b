// One WAV file into one slot, as one operation on the link: the erase, the
// upload request, the sample stream, the closing pause and the board's "End.";
// without that answer the upload has failed. The slot, the file and its
// prepared samples are fixed when it is made; progress counts sample bytes.
// Cancel stops the stream at once and still waits the closing pause.
#pragma once

#include "comm/Operation.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"
#include "sound/SlotWriter.h"

class UploadOperation : public Operation {
    Q_OBJECT
public:
    // path: the full path of the file the samples were read from.
    UploadOperation(BoardLink& link, const Sound::SoundSlot& slot, const QString& path,
                    Sound::PreparedUpload upload, QObject* parent = nullptr);

    QString cancelQuestion() const override;
    // The wait dialog tells of the file being sent, which the user chose, rather
    // than of the slot: "Uploading file <path> (3 of 85 sample bytes)".
    QString title() const override;
    QString progressText() const override;
    const Sound::SoundSlot& slot() const { return m_slot; }
    // The transfer's steps, for whoever times them.
    SlotWriter& writer() { return m_writer; }

protected:
    void run() override;
    void halt() override;
    void stopSafely() override;

private:
    void written(bool confirmed);

    const Sound::SoundSlot m_slot;
    const QString m_path;
    const Sound::PreparedUpload m_upload;
    SlotWriter m_writer;
};
