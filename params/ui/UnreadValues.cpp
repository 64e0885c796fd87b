// Values the board never answered for: marked on the screen, named after the
// read, and never written back. "Verify" reads the board again and names each
// value where it differs from the screen.
#include "app/SetupWindow.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Guarded.h"
#include "params/ParameterLayout.h"
#include "params/ReadSweep.h"
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
    if (m_decoding || !m_readState.isUnread(address))
        return;
    m_readState.setByUser(address);
    showUnreadMarks();
}

void SetupWindow::readSweepEnded(const ReadSweep& sweep, bool whole)
{
    m_readState.readEnded(sweep.unanswered());
    m_image.readEnded(m_readState);
    if (!readSerialNumber().isEmpty())
        showJournalNote({});
    showUnreadMarks();
    const QStringList names = m_readState.unreadNames(m_readState.unreadShown());
    // A read stopped halfway has been reported by its stop, and a board that
    // answered nothing at all by the connection check: naming every value
    // would say nothing more.
    if (names.isEmpty() || !whole || sweep.answeredCount() == 0)
        return;
    ShowMessageWhenSettled(UnansweredMessage(names));
}

void SetupWindow::showUnreadMarks()
{
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            setUnreadMark(e, m_readState.isUnread(field.address) || m_readState.isUnread(field.lowAddress())
                                 || m_readState.isUnread(field.highAddress()),
                          UNREAD_EDIT_STYLE);
    setUnreadMark(frequencyBox, m_readState.isUnread(Define::ADDR_FREQUENCY_MODE), UNREAD_FRAME_STYLE);
    setUnreadMark(releaseNumber, m_readState.isUnread(Define::ADDR_VERSIONE), UNREAD_FRAME_STYLE);
    bool serialUnread = false;
    for (const SerialPartLabel& part : serialPartLabels())
        serialUnread = serialUnread || m_readState.isUnread(part.firstAddress);
    setUnreadMark(serialNumber, serialUnread, UNREAD_FRAME_STYLE);
}

std::optional<WritePlan> SetupWindow::planFromScreen()
{
    const WritePlanResult result = PlanParameterWrite(
        [this](const QString& name) { return editText(name); },
        selectedValue(frequencyButtons()).value_or(Define::FREQUENCY_EVO),
        DefaultBankToWrite(selectedValue(defaultBankButtons()), m_image.defaultBank()));
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
    if (m_link->refuseWhileBusy())
        return;
    const std::optional<WritePlan> plan = planFromScreen();
    if (!plan)
        return;
    RunOperation(new Verification(*m_link, plan->all(), QStringLiteral("screen"), this));
}
