// The slot journal of the board at the other end of one connection, kept as the
// operations that write or erase its slots run: a slot is unknown from the
// moment it may be erased, and holds a file once the file is in it whole. The
// window and the command line keep their journals through this one object, so
// a slot written by either is listed the same way.
//
// The board is known by its serial number as read in this connection, taken
// when an operation starts. Without it nothing is recorded; that, or a journal
// that could not be written, is told once per operation, when it ends.
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

class BoardJournal : public QObject {
    Q_OBJECT
public:
    // The serial number of this connection's board; empty while unread.
    using SerialNumber = std::function<QString()>;

    // `folder` holds the journals (SlotJournal::DefaultFolder() when empty).
    explicit BoardJournal(SerialNumber serialNumber, const QString& folder = {}, QObject* parent = nullptr);

    // `upload` sends `fileName` (its bytes' checksum) into `slot`, an index of SoundSlots().
    void upload(Operation* upload, int slot, const QString& fileName, const QString& checksum);
    // `erase` erases these sectors (their first addresses).
    void erase(Operation* erase, const QList<std::uint32_t>& sectors);
    // A bulk load or an import, slot by slot as it goes.
    void follow(JournalledOperation* operation);

signals:
    // An operation has ended with nothing recorded: the board's serial number
    // had not been read when it started.
    void unknownBoard(const QString& why);
    // Why the journal of an operation that has just ended could not be written.
    void notRecorded(const QString& why);

private:
    struct Watch {
        QString serial; // empty: nothing is recorded
        QStringList problems;
    };
    // The board's number for an operation that starts now.
    std::shared_ptr<Watch> watch() const;
    // Connected after everything the operation's end records.
    void reportAtEnd(Operation* operation, const std::shared_ptr<Watch>& watch);
    void forgetSectors(Watch& watch, const QList<std::uint32_t>& sectors);
    void record(Watch& watch, int slot, const QString& fileName, const QString& checksum);
    void note(Watch& watch, const QString& problem);

    SerialNumber m_serialNumber;
    QString m_folder;
};

} // namespace Sound
