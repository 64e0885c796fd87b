// One WAV file into one slot, as one operation on the link: the erase, the
// upload request, the sample stream, the closing pause and the board's "End.";
// without that answer the upload has failed. The slot and the
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
    UploadOperation(BoardLink& link, const Sound::SoundSlot& slot, Sound::PreparedUpload upload,
                    QObject* parent = nullptr);

    QString cancelQuestion() const override;
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
    const Sound::PreparedUpload m_upload;
    SlotWriter m_writer;
};
