// "Write Parameters": every value of the screen is checked first, then the
// three banks go out as one operation on the link, with the window kept alive
// and the progress in view.
#include "app/Serial1.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "params/ParameterWriteOperation.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace Params;

bool TSerialForm1::WritingParameters() const
{
    return Link->busy() && qobject_cast<ParameterWriteOperation*>(Link->current());
}

void TSerialForm1::SpeedButton5Click()
{
    if (Link->refuseWhileBusy())
        return;
    int frequency = Define::FREQUENCY_EVO;
    if (lowcheck->isChecked())
        frequency = Define::FREQUENCY_STD;
    else if (Medcheck->isChecked())
        frequency = Define::FREQUENCY_MED;
    const WritePlanResult result = PlanParameterWrite(
        [this](const QString& name) { return edit(name) ? edit(name)->text() : QString(); }, frequency);
    if (!result.ok()) {
        if (QLineEdit* bad = edit(result.refusal->edit)) {
            bad->setFocus();
            bad->selectAll();
        }
        dialogs().error(result.refusal->message);
        return;
    }
    auto* write = new ParameterWriteOperation(*Link, result.plan, this);
    connect(write, &Operation::finished, this, [this](bool ok) {
        if (ok)
            ClearLoadedMarks(); // the board holds what the screen shows
    });
    RunOperation(write);
}
