// The base sound set into bank 1, file after file, as one operation: it holds
// the link from its first file to its end, gaps included, so nothing else
// reaches the board in between. Each file gets its slot's request and pause,
// then the ordinary upload; the next file starts on the first one-second tick
// after the previous upload has ended. Every file is read and checked when the
// operation is made; one that cannot be sent is named in the closing message and
// the others still go. Cancel takes effect between files: the file being sent
// is completed. A file the board does not confirm with "End." ends the load
// there: it is named, and neither it nor any later file is recorded.
#pragma once

#include "comm/FramePacer.h"
#include "sound/JournalledOperation.h"
#include "sound/SampleStream.h"
#include "sound/SlotWriter.h"

#include <QList>
#include <QStringList>
#include <optional>

class WindowTimer;

class BulkLoadOperation : public JournalledOperation {
    Q_OBJECT
public:
    // The message that refuses a missing folder (one, naming it); empty when it is there.
    static QString folderProblem(const QString& folder);
    // Reads the base set from folder, with the skip fields' texts. Null, with the
    // refusal in *refusal, when the folder is not there.
    static BulkLoadOperation* prepare(BoardLink& link, const QString& folder, const QString& skipBeginText,
                                      const QString& skipEndText, QString* refusal, QObject* parent);

    QString cancelQuestion() const override;
    // The base files that can be sent: the slot of each is its place in the set.
    QList<int> slotsToWrite() const override;
    // The file being written (0 to 18), -1 before the first; and its name.
    int currentFile() const { return m_current; }
    QString currentFileName() const;
    // "Loading the base sound set... 3 of 19 files" and the file being sent.
    QString progressText() const override;

protected:
    void run() override;
    void halt() override;
    void stopSafely() override;

private:
    struct BaseFile {
        Sound::SoundSlot slot;
        QString path;
        std::optional<Sound::PreparedUpload> upload;
        QString problem; // why it cannot be sent, naming it
        QString checksum;
    };
    BulkLoadOperation(BoardLink& link, QList<BaseFile> files, QObject* parent);
    void startFile();
    void gapTick();
    void finishLoad();
    void fileDone();

    const QList<BaseFile> m_files;
    FramePacer m_pacer;
    SlotWriter m_writer;
    WindowTimer* m_gap;
    int m_current = -1;
    QStringList m_problems;
    bool m_confirmed = false; // the board answered the last file written
    QString m_unconfirmed;    // why the load ended at a file the board did not confirm
};
