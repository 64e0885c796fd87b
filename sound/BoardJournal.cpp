#include "sound/BoardJournal.h"

#include "comm/Operation.h"
#include "sound/JournalledOperation.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QDateTime>

namespace Sound {

BoardJournal::BoardJournal(SerialNumber serialNumber, const QString& folder, QObject* parent)
    : QObject(parent)
    , m_serialNumber(std::move(serialNumber))
    , m_folder(folder.isEmpty() ? SlotJournal::DefaultFolder() : folder)
{
}

std::shared_ptr<BoardJournal::Watch> BoardJournal::watch() const
{
    return std::make_shared<Watch>(Watch{m_serialNumber(), {}});
}

void BoardJournal::reportAtEnd(Operation* operation, const std::shared_ptr<Watch>& watch)
{
    connect(operation, &Operation::finished, this, [this, watch] {
        if (watch->serial.isEmpty())
            emit unknownBoard(SlotJournal::NoSerialText());
        else if (!watch->problems.isEmpty())
            emit notRecorded(watch->problems.join(QLatin1Char('\n')));
    });
}

void BoardJournal::note(Watch& watch, const QString& problem)
{
    if (!problem.isEmpty() && !watch.problems.contains(problem))
        watch.problems.append(problem);
}

void BoardJournal::forgetSectors(Watch& watch, const QList<std::uint32_t>& sectors)
{
    if (!watch.serial.isEmpty())
        note(watch, SlotJournal(m_folder).forgetSectors(watch.serial, sectors));
}

void BoardJournal::record(Watch& watch, int slot, const QString& fileName, const QString& checksum)
{
    if (!watch.serial.isEmpty())
        note(watch,
         SlotJournal(m_folder).record(watch.serial, slot, fileName, checksum, QDateTime::currentDateTime()));
}

void BoardJournal::upload(Operation* upload, int slot, const QString& fileName, const QString& checksum)
{
    const std::shared_ptr<Watch> w = watch();
    forgetSectors(*w, SlotSectors(SoundSlots().at(slot)));
    connect(upload, &Operation::finished, this, [this, w, slot, fileName, checksum](bool whole) {
        if (whole)
            record(*w, slot, fileName, checksum);
    });
    reportAtEnd(upload, w);
}

void BoardJournal::erase(Operation* erase, const QList<std::uint32_t>& sectors)
{
    const std::shared_ptr<Watch> w = watch();
    forgetSectors(*w, sectors);
    reportAtEnd(erase, w);
}

void BoardJournal::follow(JournalledOperation* operation)
{
    const std::shared_ptr<Watch> w = watch();
    connect(operation, &JournalledOperation::slotErasing, this,
            [this, w](int slot) { forgetSectors(*w, SlotSectors(SoundSlots().at(slot))); });
    connect(operation, &JournalledOperation::slotWritten, this,
            [this, w](int slot, const QString& fileName, const QString& checksum) {
                record(*w, slot, fileName, checksum);
            });
    reportAtEnd(operation, w);
}

} // namespace Sound
