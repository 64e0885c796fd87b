// "Write Parameters": every value of the screen is checked first, then the
// three banks go out as one operation on the link, with the window kept alive
// and the progress in view.
#include "params/ui/ParameterPanel.h"

#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "params/ParameterWriteOperation.h"

using namespace Params;

void ParameterPanel::writeParameters()
{
    if (board().link()->refuseWhileBusy())
        return;
    const std::optional<WritePlan> plan = planFromScreen();
    if (!plan)
        return;
    QList<int> addresses;
    for (const ParameterWrite& write : plan->all())
        addresses.append(write.address);
    if (const QStringList unread = board().readState().unreadNames(addresses); !unread.isEmpty()) {
        dialogs().error(NeverReadMessage(QStringLiteral("Write Parameters"), unread));
        return;
    }
    auto* write = new ParameterWriteOperation(*board().link(), *plan, this);
    connect(write, &Operation::finished, this, [this](bool ok) {
        if (ok)
            clearLoadedMarks(); // the board holds what the screen shows
    });
    m_runOperation(write);
}
