#include "params/ProfileApply.h"

#include "common/Clock.h"
#include "params/ParameterWriteOperation.h"
#include "params/Verification.h"
#include "sound/BoardJournal.h"
#include "sound/ImportOperation.h"
#include "sound/SlotMap.h"

namespace Params {

namespace {
const QString NAME = QStringLiteral("Apply profile");

QList<ParameterWrite> WritesNotOnBoard(const QList<ParameterWrite>& writes,
                                       const std::function<std::optional<quint8>(int)>& heldByte)
{
    QList<ParameterWrite> needed;
    for (const ParameterWrite& write : writes)
        if (heldByte(write.address) != write.value)
            needed.append(write);
    return needed;
}

int bankOf(const Sound::FontUpload& upload)
{
    return Sound::SoundSlots()[upload.slot].bank;
}
} // namespace

ProfileApply::ProfileApply(BoardLink& link, Sound::BoardJournal& journal, const BoardProfile& profile,
                           ProfileCheck check, Board board, JournalNow journalNow, bool force, QObject* parent)
    : SteppedOperation(link, NAME, parent)
    , m_journal(journal)
    , m_refusal(ReleaseRefusal(profile, board.release))
    , m_check(std::move(check))
    , m_journalNow(std::move(journalNow))
{
    m_report.port = board.port;
    m_report.serialNumber = board.serialNumber;
    m_report.release = board.release;
    if (force)
        m_toWrite = m_check.parameters.all();
    else if (board.heldByte)
        m_toWrite = WritesNotOnBoard(m_check.parameters.all(), board.heldByte);
    m_toUpload = force ? m_check.uploads : UploadsNotOnBoard(m_check.uploads, m_journalNow());
    m_report.slotsSkipped = static_cast<int>(m_check.uploads.size() - m_toUpload.size());
}

QString ProfileApply::progressText() const
{
    return progressFigure();
}

void ProfileApply::run()
{
    m_startedAt = appClock().now();
    if (!m_refusal.isEmpty()) {
        stepsEnded(m_refusal);
        return;
    }
    if (m_toWrite)
        writeParameters();
    else
        compareParameters();
}

void ProfileApply::halt()
{
    seal(QStringLiteral("the connection to the board was lost during %1.").arg(stepName()));
}

void ProfileApply::compareParameters()
{
    auto* comparison = new Verification(link(), m_check.parameters.all(), QStringLiteral("profile"));
    runStep(comparison, [this, comparison] {
        // A value whose answer did not come is among the differences too.
        QSet<int> differing;
        for (const VerifyDifference& difference : comparison->result().differences)
            for (const int address : difference.addresses)
                differing.insert(address);
        QList<ParameterWrite> needed;
        for (const ParameterWrite& write : m_check.parameters.all())
            if (differing.contains(write.address))
                needed.append(write);
        m_toWrite = std::move(needed);
        writeParameters();
    });
}

void ProfileApply::writeParameters()
{
    if (m_toWrite->isEmpty()) { // the board holds every value: the verify shows it
        verifyParameters();
        return;
    }
    auto* write = new ParameterWriteOperation(link(), *m_toWrite);
    // What left for the board, also when the write is stopped or cut short.
    connect(write, &Operation::progressed, this, [this](int done) { m_report.valuesWritten = done; });
    runStep(write, [this] { verifyParameters(); });
}

void ProfileApply::verifyParameters()
{
    auto* verification = new Verification(link(), m_check.parameters.all(), QStringLiteral("written"));
    runStep(verification, [this, verification] {
        const VerifyResult result = verification->result();
        m_report.valuesVerified = result.verified;
        if (!result.ok()) {
            stepsEnded(QStringLiteral("%1: %2").arg(result.summary(), result.lines(QStringLiteral("written"))
                                                                   .join(QStringLiteral("; "))));
            return;
        }
        uploadNextBank();
    });
}

void ProfileApply::uploadNextBank()
{
    if (m_toUpload.isEmpty()) {
        verifyJournal();
        return;
    }
    const int bank = bankOf(m_toUpload.first());
    QList<Sound::FontUpload> ofBank;
    while (!m_toUpload.isEmpty() && bankOf(m_toUpload.first()) == bank)
        ofBank.append(m_toUpload.takeFirst());
    auto* import = new ImportOperation(link(), bank, std::move(ofBank));
    if (const QString refused = m_journal.follow(import); !refused.isEmpty()) {
        delete import;
        stepsEnded(refused);
        return;
    }
    // Counted as each slot is written and recorded, so a stop part-way through a
    // bank still reports the slots that were.
    connect(import, &JournalledOperation::slotWritten, this, [this] { ++m_report.slotsUploaded; });
    runStep(import, [this] { uploadNextBank(); });
}

void ProfileApply::verifyJournal()
{
    const QList<Sound::FontUpload> missing = UploadsNotOnBoard(m_check.uploads, m_journalNow());
    if (missing.isEmpty()) {
        stepsEnded({});
        return;
    }
    QStringList names;
    for (const Sound::FontUpload& upload : missing)
        names << Sound::SoundSlots()[upload.slot].accessibleName;
    stepsEnded(QStringLiteral("the slot journal does not record these slots as holding their file: %1.")
            .arg(names.join(QStringLiteral(", "))));
}

void ProfileApply::stepsEnded(const QString& failure)
{
    seal(failure);
    finish(m_report.ok(), ReportSummary(m_report));
}

void ProfileApply::seal(const QString& failure)
{
    m_report.failure = failure;
    m_report.durationMs = appClock().now() - m_startedAt;
}

} // namespace Params
