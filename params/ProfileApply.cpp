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

int bankOf(const Sound::FontUpload& upload)
{
    return Sound::SoundSlots()[upload.slot].bank;
}
} // namespace

ProfileApply::ProfileApply(BoardLink& link, Sound::BoardJournal& journal, const BoardProfile& profile,
                           ProfileCheck check, Board board, JournalNow journalNow, bool force, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_linkAlive(&link)
    , m_journal(journal)
    , m_refusal(ReleaseRefusal(profile, board.release))
    , m_check(std::move(check))
    , m_journalNow(std::move(journalNow))
{
    m_report.port = board.port;
    m_report.serialNumber = board.serialNumber;
    m_report.release = board.release;
    m_toUpload = force ? m_check.uploads : UploadsNotOnBoard(m_check.uploads, m_journalNow());
    m_report.slotsSkipped = static_cast<int>(m_check.uploads.size() - m_toUpload.size());
}

ProfileApply::~ProfileApply()
{
    // The sequence's cancel would call back into this object.
    releaseLink();
}

void ProfileApply::start()
{
    m_running = true;
    m_startedAt = appClock().now();
    if (!m_refusal.isEmpty()) {
        end(m_refusal);
        return;
    }
    m_holdsLink = m_link.beginSequence({NAME, [this] { cancel(); }});
    if (!m_holdsLink) {
        end(QStringLiteral("%1 could not start: another operation holds the link, or the port is closed.")
                .arg(NAME));
        return;
    }
    writeParameters();
}

void ProfileApply::releaseLink()
{
    if (m_holdsLink && m_linkAlive)
        m_link.endSequence();
    m_holdsLink = false;
}

void ProfileApply::cancel()
{
    m_cancelled = true;
    if (m_step)
        m_step->cancel();
}

void ProfileApply::runStep(Operation* operation, const std::function<void()>& next)
{
    operation->setParent(this);
    m_step = operation;
    connect(operation, &Operation::progressed, this, [this, operation](int done, int total) {
        emit progressed(operation->request().name, done, total, operation->request().unit);
    });
    // Queued: a lost device ends the step from inside the link's loss handling.
    connect(
        operation, &Operation::finished, this,
        [this, operation, next](bool ok, const QString& message) {
            operation->dispose();
            if (!ok)
                end(message.isEmpty() ? QStringLiteral("the connection to the board was lost during %1.")
                                            .arg(operation->request().name)
                                      : message);
            else if (m_cancelled)
                end(QStringLiteral("stopped after %1; nothing after it was sent.").arg(operation->request().name));
            else
                next();
        },
        Qt::QueuedConnection);
    bool started = false;
    {
        const BoardLink::Sending step(m_link); // the sequence's own step may begin
        started = operation->start();
    }
    if (!started) {
        operation->dispose();
        end(QStringLiteral("%1 could not start.").arg(operation->request().name));
    }
}

void ProfileApply::writeParameters()
{
    auto* write = new ParameterWriteOperation(m_link, m_check.parameters);
    // What left for the board, also when the write is stopped or cut short.
    connect(write, &Operation::progressed, this, [this](int done) { m_report.valuesWritten = done; });
    runStep(write, [this] { verifyParameters(); });
}

void ProfileApply::verifyParameters()
{
    auto* verification = new Verification(m_link, m_check.parameters.all(), QStringLiteral("written"));
    runStep(verification, [this, verification] {
        const VerifyResult result = verification->result();
        m_report.valuesVerified = result.verified;
        if (!result.ok()) {
            end(QStringLiteral("%1: %2").arg(result.summary(), result.lines(QStringLiteral("written"))
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
    auto* import = new ImportOperation(m_link, bank, std::move(ofBank));
    if (const QString refused = m_journal.follow(import); !refused.isEmpty()) {
        delete import;
        end(refused);
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
        end();
        return;
    }
    QStringList names;
    for (const Sound::FontUpload& upload : missing)
        names << Sound::SoundSlots()[upload.slot].accessibleName;
    end(QStringLiteral("the slot journal does not record these slots as holding their file: %1.")
            .arg(names.join(QStringLiteral(", "))));
}

void ProfileApply::end(const QString& failure)
{
    if (!m_running)
        return;
    m_running = false;
    releaseLink();
    m_report.failure = failure;
    m_report.durationMs = appClock().now() - m_startedAt;
    emit finished(m_report);
}

} // namespace Params
