#include "sound/EraseOperation.h"

#include "sound/ErasePlans.h"

using namespace Sound;

namespace {
const QString FRAMES = QStringLiteral("erase frames");

int frameCount(const QList<QList<PacedFrame>>& sectors)
{
    int count = 0;
    for (const QList<PacedFrame>& sector : sectors)
        for (const PacedFrame& step : sector)
            count += step.frame.isEmpty() ? 0 : 1;
    return count;
}
} // namespace

EraseOperation* EraseOperation::row(BoardLink& link, int bankFromZero, SoundRow row, QObject* parent)
{
    const EraseRowEntry& entry = EraseRows()[static_cast<int>(row)];
    QList<QList<PacedFrame>> sectors;
    for (std::uint32_t address : EraseGroup(bankFromZero, row))
        sectors.append(EraseSectorTwo(address));
    const QString name =
        QStringLiteral("Erase bank %1 %2 sounds").arg(bankFromZero + 1).arg(QString::fromLatin1(entry.caption));
    return new EraseOperation(link, name, std::move(sectors), true, parent);
}

EraseOperation* EraseOperation::all(BoardLink& link, QObject* parent)
{
    return new EraseOperation(link, QStringLiteral("Erase All Sounds"), {EraseAllPlan()}, false, parent);
}

EraseOperation::EraseOperation(BoardLink& link, const QString& name, QList<QList<PacedFrame>> sectors,
                               bool cancellable, QObject* parent)
    : Operation(link, parent)
    , m_sectors(std::move(sectors))
    , m_cancellable(cancellable)
    , m_pacer(link)
{
    describe({name, FRAMES, frameCount(m_sectors)});
    connect(&m_pacer, &FramePacer::frameSent, this, [this](int sent) { progress(m_framesBefore + sent); });
}

QString EraseOperation::cancelQuestion() const
{
    if (!m_cancellable)
        return {};
    return QStringLiteral("Stop \"%1\" after the sector being erased?").arg(request().name);
}

QString EraseOperation::progressText() const
{
    if (sectorCount() == 1)
        return Operation::progressText();
    const int current = std::min(m_sectorsDone + 1, sectorCount());
    return QStringLiteral("%1: sector %2 of %3").arg(request().name).arg(current).arg(sectorCount());
}

void EraseOperation::run()
{
    eraseNextSector();
}

void EraseOperation::eraseNextSector()
{
    if (m_sectorsDone == sectorCount()) {
        // The whole-memory erase is one command the board carries out on its own
        // and never reports: only its sending is known to be over.
        finish(true,
               m_sectors.size() == 1
                   ? QStringLiteral("%1: the erase command was sent; the board erases its sound memory on "
                                    "its own.")
                         .arg(request().name)
                   : QStringLiteral("%1: done, %2 sectors erased.").arg(request().name).arg(sectorCount()));
        return;
    }
    if (stopping()) {
        finish(false, QStringLiteral("%1 was stopped after %2 of %3 sectors; the other sectors of the row "
                                     "keep what they held.")
                          .arg(request().name)
                          .arg(m_sectorsDone)
                          .arg(sectorCount()));
        return;
    }
    m_pacer.run(m_sectors[m_sectorsDone], [this] {
        m_framesBefore = done();
        ++m_sectorsDone;
        eraseNextSector();
    });
}

void EraseOperation::halt()
{
    m_pacer.stop();
}

void EraseOperation::stopSafely()
{
    // The sector being erased gets its second frame and its pause; eraseNextSector
    // then finishes.
    if (!m_pacer.running())
        eraseNextSector();
}
