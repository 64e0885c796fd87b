// Applying a checked board profile to one board: the release is compared first
// (a board on another release is refused with nothing sent), then the
// parameters are written as "Write Parameters" writes them and read back, then
// the slots whose journal entry does not already name their file are uploaded
// bank by bank as a font import does, journalled slot by slot, and at the end the
// journal must know every slot of the profile to hold its file.
//
// Each step is the operation the window and the other commands run, started in
// turn on the link, so the pacing and cancel rules are theirs: Cancel stops the
// step under way at its safe point and no later step starts. The link is held as
// one sequence from the first step to the last, so nothing else slips in between
// two steps. The end comes as one report.
#pragma once

#include "params/ProfileApplyReport.h"
#include "params/ProfileCheck.h"
#include "sound/SlotJournal.h"

#include <QObject>
#include <QPointer>
#include <functional>

class BoardLink;
class Operation;
namespace Sound {
class BoardJournal;
}

namespace Params {

class ProfileApply : public QObject {
    Q_OBJECT
public:
    struct Board {
        QString port;
        QString serialNumber; // as read in this connection: the journal is kept under it
        QString release;
    };
    // The journal's slots of this board now (SlotJournal::list), asked again at the end.
    using JournalNow = std::function<QList<Sound::JournalEntry>()>;

    // `check` must be ok(); `force` uploads every slot, whatever the journal says.
    ProfileApply(BoardLink& link, Sound::BoardJournal& journal, const BoardProfile& profile, ProfileCheck check,
                 Board board, JournalNow journalNow, bool force, QObject* parent = nullptr);
    ~ProfileApply() override;

    void start();
    // Stops the step under way at its safe point; nothing after it runs.
    void cancel();
    bool running() const { return m_running; }
    const ProfileApplyReport& report() const { return m_report; }

signals:
    // The step under way ("Write Parameters", "values") and how far it has got.
    void progressed(const QString& step, int done, int total, const QString& unit);
    void finished(const Params::ProfileApplyReport& report);

private:
    void writeParameters();
    void verifyParameters();
    void uploadNextBank();
    void verifyJournal();
    // Starts `operation` and goes on with `next` when it has ended well.
    void runStep(Operation* operation, const std::function<void()>& next);
    void end(const QString& failure = {});
    void releaseLink();

    BoardLink& m_link;
    QPointer<BoardLink> m_linkAlive; // null once the link is gone (a window closing mid-apply)
    Sound::BoardJournal& m_journal;
    const QString m_refusal; // empty: the board runs a release the profile allows
    const ProfileCheck m_check;
    const JournalNow m_journalNow;
    QList<Sound::FontUpload> m_toUpload; // what is left to send, bank by bank
    ProfileApplyReport m_report;
    QPointer<Operation> m_step;
    qint64 m_startedAt = 0;
    bool m_running = false;
    bool m_holdsLink = false; // the link is held as this apply's sequence
    bool m_cancelled = false;
};

} // namespace Params
