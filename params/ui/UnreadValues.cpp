// "Read Parameters", and the values the board never answered for: marked on
// the screen, named after the read, and never written back. "Verify" reads
// the board again and names each value where it differs from the screen.
#include "params/ui/ParameterPanel.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Guarded.h"
#include "common/ui/UnreadMark.h"
#include "params/ParameterLayout.h"
#include "params/Verification.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace Params;

void ParameterPanel::watchUserValues()
{
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            connect(e, &QLineEdit::textChanged, this, [this, address = field.address] { userSetValue(address); });
    for (const RadioChoice& choice : frequencyButtons().choices)
        connect(radioButton(choice.button), &QRadioButton::toggled, this, [this](bool on) {
            if (!on)
                return;
            m_unlistedFrequency.reset(); // a mode is chosen, or read
            userSetValue(Define::ADDR_FREQUENCY_MODE);
        });
}

void ParameterPanel::userSetValue(int address)
{
    // The decoder's own changes are the read; everything else (typing, a loaded
    // file, a test) is a value someone chose.
    ReadState& state = board().readState();
    if (board().decoding() || !state.isUnread(address))
        return;
    state.setByUser(address);
    showUnreadMarks();
}

void ParameterPanel::readParameters()
{
    board().startRead();
}

void ParameterPanel::showUnreadMarks()
{
    const ReadState& state = board().readState();
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            setUnreadMark(e, state.isUnread(field.address) || state.isUnread(field.lowAddress())
                                 || state.isUnread(field.highAddress()),
                          UnreadLook::Edit);
    setUnreadMark(frequencyBox, state.isUnread(Define::ADDR_FREQUENCY_MODE), UnreadLook::Frame);
}

std::optional<WritePlan> ParameterPanel::planFromScreen()
{
    const WritePlanResult result = PlanParameterWrite(
        [this](const QString& name) { return editText(name); },
        frequencyShown().value_or(Define::FREQUENCY_EVO),
        DefaultBankToWrite(selectedValue(defaultBankButtons()), board().model().defaultBank()));
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
