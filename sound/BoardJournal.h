// The slot journal of the board at the other end of one connection, kept as the
// operations that write or erase its slots run: a slot is unknown from the
// moment it may be erased, and holds a file once the file is in it whole. The
// window and the command line keep their journals through this one object, so
// a slot written by either is listed the same way.
//
// The board is known by its serial number as read in this connection, taken
// when an operation starts. Without it, or with one whose bytes were never set,
// nothing is recorded; that, or a journal that could not be written after the
// operation began, is told once per operation, when it ends.
//
// Before an operation erases anything its slots are forgotten, which is also
// the proof that the journal can be written: when it cannot, the operation is
// refused, since a slot erased while the journal still names its old file
// would be taken for holding that file.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class JournalledOperation;
class Operation;

namespace Sound {

struct SlotSource;

class BoardJournal : public QObject {
    Q_OBJECT
public:
    // The serial number of this connection's board; empty while unread.
    using SerialNumber = std::function<QString()>;

    // `folder` holds the journals (SlotJournal::DefaultFolder() when empty).
    explicit BoardJournal(SerialNumber serialNumber, const QString& folder = {}, QObject* parent = nullptr);

    // Each is called before the operation starts and returns why the journal
    // refuses it; then the operation must not run (the caller disposes of it).
    // Empty: it may run, and is journalled as it goes.
    //
    // `upload` sends `source` into `slot`, an index of SoundSlots().
    [[nodiscard]] QString upload(Operation* upload, int slot, const SlotSource& source);
    // `erase` erases these sectors (their first addresses).
    [[nodiscard]] QString erase(Operation* erase, const QList<std::uint32_t>& sectors);
    // A bulk load or an import, slot by slot as it goes.
    [[nodiscard]] QString follow(JournalledOperation* operation);

signals:
    // An operation has ended with nothing recorded: the board's serial number
    // had not been read when it started, or names no board.
    void unknownBoard(const QString& why);
    // Why the journal of an operation that has just ended could not be written.
    void notRecorded(const QString& why);

private:
    struct Watch {
        QString serial; // empty: nothing is recorded
        QString unknown; // why, when nothing is recorded
        QStringList problems;
    };
    // The board's number for an operation that starts now.
    std::shared_ptr<Watch> watch() const;
    // Connected after everything the operation's end records.
    void reportAtEnd(Operation* operation, const std::shared_ptr<Watch>& watch);
    // The sectors' slots forgotten before anything is erased; the refusal when
    // the journal cannot be written.
    QString forgetFirst(const Watch& watch, const QList<std::uint32_t>& sectors);
    void record(Watch& watch, int slot, const SlotSource& source);
    void note(Watch& watch, const QString& problem);

    SerialNumber m_serialNumber;
    QString m_folder;
};

} // namespace Sound
