// "Read Parameters", and the values the board never answered for: marked on
// the screen, named after the read, and never written back. "Verify" reads
// the board again and names each value where it differs from the screen.
#include "app/SetupWindow.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Guarded.h"
#include "params/ParameterLayout.h"
#include "params/Verification.h"

#include <QLineEdit>
#include <QRadioButton>

using namespace Params;

namespace {
const char* const UNREAD_MARK = "neverRead";
const QString UNREAD_EDIT_STYLE = QStringLiteral("QLineEdit { background-color: #f6c6c6; }");
const QString UNREAD_FRAME_STYLE = QStringLiteral("background-color: #f6c6c6;");
const QString UNREAD_DESCRIPTION = QStringLiteral("not read from the board");

void setUnreadMark(QWidget* widget, bool unread, const QString& style)
{
    if (widget->property(UNREAD_MARK).toBool() == unread)
        return;
    widget->setProperty(UNREAD_MARK, unread);
    widget->setStyleSheet(unread ? style : QString());
    widget->setAccessibleDescription(unread ? UNREAD_DESCRIPTION : QString());
}
} // namespace

void SetupWindow::watchUserValues()
{
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            connect(e, &QLineEdit::textChanged, this, [this, address = field.address] { userSetValue(address); });
    for (const RadioChoice& choice : frequencyButtons().choices)
        connect(radioButton(choice.button), &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                userSetValue(Define::ADDR_FREQUENCY_MODE);
        });
}

void SetupWindow::userSetValue(int address)
{
    // The decoder's own changes are the read; everything else (typing, a loaded
    // file, a test) is a value someone chose.
    ReadState& state = m_board->readState();
    if (m_board->decoding() || !state.isUnread(address))
        return;
    state.setByUser(address);
    showUnreadMarks();
}

void SetupWindow::readParameters()
{
    m_board->startRead();
}

void SetupWindow::readSweepEnded()
{
    showUnreadMarks();
}

void SetupWindow::showUnreadMarks()
{
    const ReadState& state = m_board->readState();
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            setUnreadMark(e, state.isUnread(field.address) || state.isUnread(field.lowAddress())
                                 || state.isUnread(field.highAddress()),
                          UNREAD_EDIT_STYLE);
    setUnreadMark(frequencyBox, state.isUnread(Define::ADDR_FREQUENCY_MODE), UNREAD_FRAME_STYLE);
    setUnreadMark(releaseNumber, state.isUnread(Define::ADDR_VERSIONE), UNREAD_FRAME_STYLE);
    bool serialUnread = false;
    for (const SerialPartLabel& part : serialPartLabels())
        serialUnread = serialUnread || state.isUnread(part.firstAddress);
    setUnreadMark(serialNumber, serialUnread, UNREAD_FRAME_STYLE);
}

std::optional<WritePlan> SetupWindow::planFromScreen()
{
    const WritePlanResult result = PlanParameterWrite(
        [this](const QString& name) { return editText(name); },
        selectedValue(frequencyButtons()).value_or(Define::FREQUENCY_EVO),
        DefaultBankToWrite(selectedValue(defaultBankButtons()), m_board->image().defaultBank()));
    if (result.ok())
        return result.plan;
    if (QLineEdit* bad = edit(result.refusal->edit)) {
        bad->setFocus();
        bad->selectAll();
    }
    dialogs().error(result.refusal->message);
    return std::nullopt;
}

void SetupWindow::verifyParameters()
{
    if (m_board->link()->refuseWhileBusy())
        return;
    const std::optional<WritePlan> plan = planFromScreen();
    if (!plan)
        return;
    RunOperation(new Verification(*m_board->link(), plan->all(), QStringLiteral("screen"), this));
}
