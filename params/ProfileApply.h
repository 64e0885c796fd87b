// Applying a checked board profile to one board: the release is compared first
// (a board on another release is refused with nothing sent), then the
// parameters are written as "Write Parameters" writes them and read back, then
// the slots whose journal entry does not already name their file are uploaded
// bank by bank as a font import does, journalled slot by slot, and at the end the
// journal must know every slot of the profile to hold its file.
//
// It is one operation made of steps (SteppedOperation.h), started, shown and
// cancelled as any other: Cancel stops the step under way at its safe point and
// no later step starts. Its end is one report; the end's message sums it up.
#pragma once

#include "comm/SteppedOperation.h"
#include "params/ProfileApplyReport.h"
#include "params/ProfileCheck.h"
#include "sound/SlotJournal.h"

#include <functional>

namespace Sound {
class BoardJournal;
}

namespace Params {

class ProfileApply final : public SteppedOperation {
    Q_OBJECT
public:
    struct Board {
        QString port;
        QString serialNumber; // as read in this connection: the journal is kept under it
        QString release;
        // The byte a read just made found at an address; nothing when not
        // read. Without it the apply compares the board with the profile
        // first. A value the board holds already is not written again, unless
        // forced; every value is verified all the same.
        std::function<std::optional<quint8>(int address)> heldByte;
    };
    // The journal's slots of this board now (SlotJournal::list), asked again at the end.
    using JournalNow = std::function<QList<Sound::JournalEntry>()>;

    // `check` must be ok(); `force` writes every value and uploads every slot,
    // whatever the board and the journal are known to hold.
    ProfileApply(BoardLink& link, Sound::BoardJournal& journal, const BoardProfile& profile, ProfileCheck check,
                 Board board, JournalNow journalNow, bool force, QObject* parent = nullptr);

    // What the end's message sums up; whole once the apply has finished.
    const ProfileApplyReport& report() const { return m_report; }
    // "20 of 86 values": the wait dialog's title names the step.
    QString progressText() const override;

protected:
    void run() override;
    // The device went away between two steps, or the link is gone.
    void halt() override;
    void stepsEnded(const QString& failure) override;

private:
    void compareParameters();
    void writeParameters();
    void verifyParameters();
    void uploadNextBank();
    void verifyJournal();
    // Completes the report; `failure` is empty when all went well.
    void seal(const QString& failure);

    Sound::BoardJournal& m_journal;
    const QString m_refusal; // empty: the board runs a release the profile allows
    const ProfileCheck m_check;
    const JournalNow m_journalNow;
    // The values the board does not hold yet; until known, a comparison with
    // the board comes first.
    std::optional<QList<ParameterWrite>> m_toWrite;
    QList<Sound::FontUpload> m_toUpload; // what is left to send, bank by bank
    ProfileApplyReport m_report;
    qint64 m_startedAt = 0;
};

} // namespace Params
