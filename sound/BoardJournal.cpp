#include "sound/BoardJournal.h"

#include "comm/Operation.h"
#include "sound/JournalledOperation.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QDateTime>

namespace Sound {
namespace {

// The journal's reasons end with the system's words, without a full stop.
QString asSentence(const QString& text)
{
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}

} // namespace

BoardJournal::BoardJournal(SerialNumber serialNumber, const QString& folder, QObject* parent)
    : QObject(parent)
    , m_serialNumber(std::move(serialNumber))
    , m_folder(folder.isEmpty() ? SlotJournal::DefaultFolder() : folder)
{
}

std::shared_ptr<BoardJournal::Watch> BoardJournal::watch() const
{
    const QString serial = m_serialNumber();
    const QString refused = SlotJournal::Refusal(serial);
    return std::make_shared<Watch>(Watch{refused.isEmpty() ? serial : QString(), refused, {}});
}

void BoardJournal::reportAtEnd(Operation* operation, const std::shared_ptr<Watch>& watch)
{
    connect(operation, &Operation::finished, this, [this, watch] {
        if (watch->serial.isEmpty())
            emit unknownBoard(watch->unknown);
        else if (!watch->problems.isEmpty())
            emit notRecorded(watch->problems.join(QLatin1Char('\n')));
    });
}

void BoardJournal::note(Watch& watch, const QString& problem)
{
    if (!problem.isEmpty() && !watch.problems.contains(problem))
        watch.problems.append(problem);
}

QString BoardJournal::forgetFirst(const Watch& watch, const QList<std::uint32_t>& sectors)
{
    if (watch.serial.isEmpty())
        return {};
    const QString failure = SlotJournal(m_folder).forgetSectors(watch.serial, sectors);
    if (failure.isEmpty())
        return {};
    return asSentence(failure) + QStringLiteral(" Nothing was erased or sent: the journal would go on naming what the "
                                    "slots held before.");
}

void BoardJournal::record(Watch& watch, int slot, const SlotSource& source)
{
    if (watch.serial.isEmpty())
        return;
    const QString failure =
        SlotJournal(m_folder).record(watch.serial, slot, source, QDateTime::currentDateTime());
    // The slot was forgotten before it was erased, so the journal tells no lie.
    if (!failure.isEmpty())
        note(watch, asSentence(failure) +
                        QStringLiteral(" %1 holds %2 but counts as unknown until it is written again.")
                            .arg(SoundSlots().at(slot).accessibleName, source.fileName));
}

QString BoardJournal::upload(Operation* upload, int slot, const SlotSource& source)
{
    const std::shared_ptr<Watch> w = watch();
    if (QString refused = forgetFirst(*w, SlotSectors(SoundSlots().at(slot))); !refused.isEmpty())
        return refused;
    connect(upload, &Operation::finished, this, [this, w, slot, source](bool whole) {
        if (whole)
            record(*w, slot, source);
    });
    reportAtEnd(upload, w);
    return {};
}

QString BoardJournal::erase(Operation* erase, const QList<std::uint32_t>& sectors)
{
    const std::shared_ptr<Watch> w = watch();
    if (QString refused = forgetFirst(*w, sectors); !refused.isEmpty())
        return refused;
    reportAtEnd(erase, w);
    return {};
}

QString BoardJournal::follow(JournalledOperation* operation)
{
    const std::shared_ptr<Watch> w = watch();
    QList<std::uint32_t> sectors;
    for (const int slot : operation->slotsToWrite())
        sectors += SlotSectors(SoundSlots().at(slot));
    if (QString refused = forgetFirst(*w, sectors); !refused.isEmpty())
        return refused;
    connect(operation, &JournalledOperation::slotWritten, this,
            [this, w](int slot, const SlotSource& source) { record(*w, slot, source); });
    reportAtEnd(operation, w);
    return {};
}

} // namespace Sound
