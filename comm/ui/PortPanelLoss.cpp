// The device went away under an open port (unplugged, or its driver gone).
#include "comm/ui/PortPanel.h"

#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "comm/SerialPort.h"
#include "common/Dialogs.h"

#include <QStringList>

void PortPanel::deviceLost()
{
    // The component has closed itself already. Stop whatever was talking to the
    // board, put the panel in the closed state with the editing controls off, then
    // say what happened and, for an operation, how far it got.
    const bool checking = m_connectionCheck->running();
    const QString port = board().serialPort()->Port();
    QStringList cutShort = {board().link()->deviceLost(port), m_hooks.cutShortElsewhere(port)};
    cutShort.removeAll(QString());
    m_connectionCheck->stop();
    if (checking)
        m_progressView().close();
    closePort();
    board().setSetUpMode(false);
    emit connectionLost();
    const QString replug = QStringLiteral("Plug it in again, choose the port and press \"Open \".");
    if (!cutShort.isEmpty())
        ShowMessage(cutShort.join(QLatin1Char('\n')) + QLatin1Char('\n') + replug);
    else
        ShowMessage(
            QStringLiteral("The connection to the board on %1 was lost (the device was disconnected).\n").arg(port) +
            replug);
}
