// "Write Parameters": every value of the screen is checked first, then the
// three banks go out as one operation on the link, with the window kept alive
// and the progress in view.
#include "params/ui/ParameterPanel.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "params/ParameterLayout.h"
#include "params/ParameterWriteOperation.h"

using namespace Params;

void ParameterPanel::writeParameters()
{
    if (board().link()->refuseWhileBusy())
        return;
    // A value never read shows no number: that is what to say of it first.
    QList<int> addresses;
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank)
        addresses.append(writeAddresses(bank));
    if (const QStringList unread = board().readState().unreadNames(addresses); !unread.isEmpty()) {
        dialogs().error(NeverReadMessage(QStringLiteral("Write Parameters"), unread));
        return;
    }
    const std::optional<WritePlan> plan = planFromScreen();
    if (!plan)
        return;
    auto* write = new ParameterWriteOperation(*board().link(), *plan, this);
    connect(write, &Operation::finished, this, [this](bool ok) {
        if (ok)
            clearLoadedMarks(); // the board holds what the screen shows
    });
    m_runOperation(write);
}
