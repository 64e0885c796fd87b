// "Read Parameters", and the values the board never answered for: marked on
// the screen, named after the read, and never written back. "Verify" reads
// the board again and names each value where it differs from the screen.
#include "params/ui/ParameterPanel.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Guarded.h"
#include "params/ParameterLayout.h"
#include "params/Verification.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace Params;

void ParameterPanel::watchUserValues()
{
    // The decoder's own changes are the read; everything else (typing, a loaded
    // file, a measurement) is a value someone chose.
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            connect(e, &QLineEdit::textChanged, this, [this, e, &field] {
                if (board().decoding())
                    return;
                board().screen().type(field, e->text()); // as it stands after the edit's own rules
                userSetValue(field.address);
            });
    for (const RadioChoice& choice : frequencyButtons().choices)
        connect(radioButton(choice.button), &QRadioButton::toggled, this, [this, mode = choice.value](bool on) {
            if (!on || board().decoding())
                return;
            board().screen().chooseFrequency(mode);
            userSetValue(Define::ADDR_FREQUENCY_MODE);
        });
}

void ParameterPanel::userSetValue(int address)
{
    ReadState& state = board().readState();
    if (!state.isUnread(address))
        return;
    state.setByUser(address);
    showScreenMarks();
}

void ParameterPanel::readParameters()
{
    board().startRead();
}

std::optional<WritePlan> ParameterPanel::planFromScreen()
{
    const BoardModel& shown = board().screen();
    const WritePlanResult result = PlanParameterWrite(
        [&shown](const QString& name) { return shown.shownText(name); },
        shown.shownFrequency().value_or(Define::FREQUENCY_EVO),
        DefaultBankToWrite(shown.shownDefaultBank(), board().model().defaultBank()));
    if (result.ok())
        return result.plan;
    if (QLineEdit* bad = edit(result.refusal->edit)) {
        bad->setFocus();
        bad->selectAll();
    }
    dialogs().error(result.refusal->message);
    return std::nullopt;
}

void ParameterPanel::verifyParameters()
{
    if (board().link()->refuseWhileBusy())
        return;
    const std::optional<WritePlan> plan = planFromScreen();
    if (!plan)
        return;
    m_runOperation(new Verification(*board().link(), plan->all(), QStringLiteral("screen"), this));
}
