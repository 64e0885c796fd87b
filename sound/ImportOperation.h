// A whole sound font into one bank, as one operation: for each chosen slot in
// the table's order, the slot's request and its pause, then the erase and the
// upload through the shared slot writer. Every stream is in hand when it is made
// (the whole table was read and checked first), so nothing is erased for a
// file that would then be refused. Cancel takes effect between files: the slot
// being written is finished. A file the board does not confirm ends the import
// there, failed; the files before it stay written and recorded.
#pragma once

#include "comm/FramePacer.h"
#include "sound/FontPlan.h"
#include "sound/JournalledOperation.h"
#include "sound/SlotWriter.h"

#include <QList>

class ImportOperation : public JournalledOperation {
    Q_OBJECT
public:
    ImportOperation(BoardLink& link, int bank, QList<Sound::FontUpload> uploads, QObject* parent = nullptr);

    QString cancelQuestion() const override;
    QList<int> slotsToWrite() const override;
    // "Swing 3: 7 of 19, about 1 min 20 s left" while a file is being written.
    QString statusText() const;
    // Time the rest of the import takes at the line's pace, the file being
    // written included.
    qint64 remainingMs() const;

protected:
    void run() override;
    void halt() override;
    void stopSafely() override;

private:
    void startFile();
    void fileWritten(bool confirmed);
    // "The import into bank 1 was stopped after 2 of 5 files; ..."
    QString stoppedText() const;
    qint64 fileMs(int index, qsizetype streamBytesLeft) const;

    const int m_bank;
    const QList<Sound::FontUpload> m_uploads;
    FramePacer m_pacer;
    SlotWriter m_writer;
    int m_current = -1;
    qsizetype m_sent = 0; // stream bytes of the current file on their way
};
