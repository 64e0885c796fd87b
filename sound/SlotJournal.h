// What went where: for each board, known by its serial number, the file last
// written into each slot by this tool, with its path, its checksum, the checksum
// of the bytes the slot received and the date. Kept as one JSON file per board
// under the user's data folder. A slot erased since, or never written from here,
// is unknown: the board itself cannot be asked.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QIODevice>
#include <QList>
#include <QString>
#include <cstdint>

namespace Sound {

// SHA-256 of a file's bytes, in lower-case hexadecimal.
QString FileChecksum(const QByteArray& content);
// The same of what is left to read of a device, read piece by piece so that a
// huge file costs no memory; empty when it cannot be read.
QString FileChecksum(QIODevice& file);

// What went into a slot. A slot seldom holds its file's bytes as they are: the
// samples are converted, and skips or a trim leave some out, so the file's
// checksum alone cannot tell whether the slot holds what an upload would send.
struct SlotSource {
    QString fileName;
    QString checksum;     // of the file as read
    QString path;         // absolute
    QString sentChecksum; // of the bytes the board received
    // `sentBytes`: what the upload streams after its request.
    static SlotSource Of(const QString& path, const QString& checksum, const QByteArray& sentBytes);
};

struct JournalEntry {
    int slot = -1;    // index into SoundSlots()
    QString fileName; // empty: unknown
    QString checksum;
    QString path;         // empty in journals kept before it was recorded
    QString sentChecksum; // the same
    QDateTime written;
    bool known() const { return !fileName.isEmpty(); }
};

class SlotJournal {
public:
    // The folder that holds the journals, by default "Tavrin Manager/slot-journal"
    // under the user's data folder, for the window and the command line alike.
    explicit SlotJournal(const QString& folder = DefaultFolder());
    static QString DefaultFolder();

    QString fileFor(const QString& serial) const;

    // Each returns the reason the journal could not be saved, empty when it was.
    QString record(const QString& serial, int slot, const SlotSource& source, const QDateTime& when);
    // Slots with any of these sectors (their first addresses) become unknown.
    QString forgetSectors(const QString& serial, const QList<std::uint32_t>& sectors);

    // Every slot of the map, in its order; unknown ones carry no file. All are
    // unknown for a serial number the journal refuses.
    QList<JournalEntry> list(const QString& serial) const;

    // "unknown" for a slot with no record.
    static QString UnknownText();
    // Why nothing is recorded for a board whose serial number has not been read.
    static QString NoSerialText();
    // Why nothing can be kept under this serial number: none was read, or its
    // bytes were never set, so that it names no board. Empty for a board's number.
    static QString Refusal(const QString& serial);

private:
    QString folder_;
};

} // namespace Sound
