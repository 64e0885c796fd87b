// "Apply profile...": the profile is read and checked whole first, and nothing
// is sent while anything in it is wrong. The apply then runs its steps (write,
// verify, sounds bank by bank, journal check) under the wait dialog, which names
// the step and how far it has got and offers Cancel; its report ends it.
#include "params/ui/ProfilePanel.h"

#include "app/WaitDialogView.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Dialogs.h"
#include "params/ProfileApply.h"
#include "params/ProfileCheck.h"
#include "sound/SlotJournal.h"

using namespace Params;

void ProfilePanel::applyProfile()
{
    const QString action = QStringLiteral("Apply profile");
    if (board().refuseWhileBusy() || !boardRead(action))
        return;
    const std::optional<ChosenProfile> chosen = openProfile(action);
    if (!chosen)
        return;
    ProfileCheck check = CheckProfile(chosen->profile);
    if (!check.ok()) {
        dialogs().error(QStringLiteral("%1 was not applied: nothing was sent.\n%2")
                            .arg(chosen->path, check.problems.join(QLatin1Char('\n'))));
        return;
    }

    const QString serial = board().readSerialNumber();
    // The board may have changed since it was read: the apply compares first.
    const ProfileApply::Board which{board().serialPort()->Port(), serial, board().model().release(), {}};
    auto* apply = new ProfileApply(
        *board().link(), m_journal, chosen->profile, std::move(check), which,
        [serial] { return Sound::SlotJournal().list(serial); }, false, this);
    // A board on a release the profile does not allow is refused at the start,
    // and its report comes before the wait dialog would show.
    RunOperation(apply, std::make_shared<WaitDialogView>(m_progressView(), [this, apply](bool, const QString&) {
                     applyEnded(apply->report()); // disposed of after this, from the top of the event loop
                 }));
}

void ProfilePanel::applyEnded(const ProfileApplyReport& report)
{
    const QString summary = ReportSummary(report);
    whenSettled([summary, ok = report.ok()] {
        if (ok)
            ShowMessage(summary);
        else
            dialogs().error(summary);
    });
    // The apply has changed the board behind the screen, the board's image (what
    // "Save profile..." and the default bank go by) and the marks of values never
    // read. Reading the board again, as "Read Parameters" does, puts what it now
    // holds on all three through the one path that fills them; showing the
    // profile's values instead would claim values a failed or stopped apply never
    // wrote. A board refused before anything was sent, or gone, is not read.
    if (report.valuesWritten > 0 && board().link()->isOpen())
        board().startRead();
}
