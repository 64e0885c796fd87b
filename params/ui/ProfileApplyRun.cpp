// "Apply profile...": the profile is read and checked whole first, and nothing
// is sent while anything in it is wrong. The apply then runs its steps (write,
// verify, sounds bank by bank, journal check) under the wait dialog, which names
// the step and how far it has got and offers Cancel; its report ends it.
#include "params/ui/ProfilePanel.h"

#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "params/ProfileApply.h"
#include "params/ProfileCheck.h"
#include "sound/SlotJournal.h"

#include <QLabel>
#include <QProgressBar>

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
    const ProfileApply::Board which{board().serialPort()->Port(), serial, board().image().release()};
    m_apply = new ProfileApply(
        *board().link(), m_journal, chosen->profile, std::move(check), which,
        [serial] { return Sound::SlotJournal().list(serial); }, false, this);
    WaitDialog* view = &m_progressView();
    connect(m_apply, &ProfileApply::progressed, view,
            [view](const QString& step, int done, int total, const QString& unit) {
                view->setWindowTitle(step);
                view->progressBar->setRange(0, std::max(total, 1));
                view->progressBar->setValue(done);
                view->message->setText(QStringLiteral("%1 of %2 %3").arg(done).arg(total).arg(unit));
            });
    connect(m_apply, &ProfileApply::finished, this, &ProfilePanel::applyEnded);
    // Until the first step reports: which profile, and nothing done yet.
    view->setWindowTitle(action);
    view->message->setText(chosen->path);
    view->progressBar->setRange(0, 1);
    view->progressBar->setValue(0);
    view->setLayoutHeight(Define::WAIT_HEIGHT_WITH_BUTTONS);
    m_apply->start();
    // A board on a release the profile does not allow is refused at the start.
    if (m_apply && m_apply->running())
        view->show();
}

void ProfilePanel::applyEnded(const ProfileApplyReport& report)
{
    m_progressView().close();
    m_apply->deleteLater();
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
