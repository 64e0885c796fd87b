// Erasing sound memory: a row of a bank sector by sector, or the whole memory
// with one command. Each is one operation on the link; the frames are paced by
// a timer re-armed as each frame leaves, so the window keeps painting and a lost
// device stops the sequence at once.
#include "app/Serial1.h"

#include "comm/LinkOperation.h"
#include "common/Clock.h"
#include "common/Dialogs.h"

using namespace Sound;

namespace {
const QString FRAMES = QStringLiteral("erase frames");
} // namespace

void TSerialForm1::EraseRow(SoundRow row, int sect)
{
    const QList<PacedFrame> plan = RowErasePlan(sect, row);
    const QString name = QStringLiteral("Erase bank %1 %2 sounds")
                             .arg(sect + 1)
                             .arg(QString::fromLatin1(EraseRows()[static_cast<int>(row)].caption));
    if (!Link->begin({name, FRAMES, static_cast<int>(plan.size()), LinkOperation::Blocks::Deferred,
                      [this] { stopPacing(); }}))
        return;
    paceFrames(plan, [this] { Link->end(); });
}

void TSerialForm1::ERASE_ALL_SOUND()
{
    if (!AskYesNo(QStringLiteral("Do you want to erase all sound memory ? ")))
        return;
    const QList<PacedFrame> plan = EraseAllPlan();
    if (!Link->begin({QStringLiteral("Erase All Sounds"), FRAMES, static_cast<int>(plan.size()),
                      LinkOperation::Blocks::Deferred, [this] { stopPacing(); }}))
        return;
    paceFrames(plan, [this] { Link->end(); });
}

void TSerialForm1::paceFrames(QList<PacedFrame> steps, std::function<void()> done, bool countsProgress)
{
    m_paceSteps = std::move(steps);
    m_paceDone = std::move(done);
    m_paceSent = 0;
    m_paceCountsProgress = countsProgress;
    paceTick();
}

void TSerialForm1::paceTick()
{
    // Each step's pause runs from the moment its frame left.
    if (m_paceSteps.isEmpty()) {
        PaceTimer->setEnabled(false);
        const std::function<void()> done = std::exchange(m_paceDone, nullptr);
        if (done)
            done();
        return;
    }
    const PacedFrame step = m_paceSteps.takeFirst();
    if (!step.frame.isEmpty()) {
        const LinkOperation::Sending sending(*Link);
        SendCommand(step.frame);
        ++m_paceSent;
        if (m_paceCountsProgress)
            Link->progress(m_paceSent);
    }
    if (step.pauseAfterMs > 0 || !m_paceSteps.isEmpty()) {
        PaceTimer->setInterval(step.pauseAfterMs);
        PaceTimer->setEnabled(true);
        return;
    }
    paceTick();
}
