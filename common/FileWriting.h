// Every file the tool writes goes through here, so that a full disk or a lost
// medium is reported and never taken for success.
//
// QFileDevice buffers writes: write() succeeds into memory and the disk says no
// only at the flush. QSaveFile::commit() flushes without noticing that failure
// and renames the short temporary file over the old one. So each write, the
// flush and the commit are checked one by one, and the temporary file is
// dropped on the first failure.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

enum class WriteStep { Write, Flush, Commit };

// Decides whether a step of writing a file fails (tests: a full disk at a
// chosen step, while the real cancel path runs).
class WriteFaults {
public:
    virtual ~WriteFaults() = default;
    // The errno that step fails with for the file at path, 0 to let it run.
    virtual int failure(WriteStep step, const QString& path) = 0;
};

// Installs the faults consulted by every writer; nullptr: none.
void setWriteFaults(WriteFaults* faults);

enum class WhenFolderIsClosed {
    Refuse, // the file is written beside and renamed, or not at all
    // A writable file in a folder where no new file may be made is rewritten
    // over its own bytes: a full disk still leaves it whole, a crash halfway
    // does not.
    WriteInPlace,
};

// Makes content the whole of the file at path. The old file is replaced only
// once the new one is complete; on any failure it stays byte for byte as it was
// (but see WhenFolderIsClosed). Returns the system's reason ("No space left on
// device"), empty when the file was written.
QString WriteWholeFile(const QString& path, const QByteArray& content,
                       WhenFolderIsClosed closedFolder = WhenFolderIsClosed::Refuse);

// A file written from its start a piece at a time and kept as it grows (a
// recording): whatever reached the disk before a failure stays there. After a
// failure the file is closed and errorString() says why.
class GrowingFile {
public:
    // Creates the file or empties it.
    bool open(const QString& path);
    bool write(const QByteArray& bytes);
    bool flush();
    // The final flush and close; false when what was written did not all reach
    // the file. Nothing happens (true) when the file is not open.
    bool close();

    bool isOpen() const { return m_file.isOpen(); }
    QString fileName() const { return m_file.fileName(); }
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& reason);

    QFile m_file;
    QString m_error;
};
