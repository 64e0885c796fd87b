// Everything the board sends arrives through the link, whose routes reach the
// window's decoders; the traffic monitor listens to the link itself. What the
// board model makes of it (decoded replies, the read's end, the port, set-up
// mode) reaches the controls that show it from here too.
#include "app/SetupWindow.h"

#include "app/Forms.h"
#include "comm/BoardLink.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Dialogs.h"

void SetupWindow::connectLink()
{
    BoardLink* link = m_board->link();
    connect(link, &BoardLink::busyChanged, this, [this] { updateLock(); });
    connect(link, &BoardLink::writeFileDone, this, [] { ShowMessage(QStringLiteral(" Scrittura completata ")); });
    connect(link, &BoardLink::portLost, this, [this] { deviceLost(); });

    connect(m_board, &Params::Board::decoded, this, &SetupWindow::showDecoded);
    connect(m_board, &Params::Board::readStarting, this, [this] { clearLoadedMarks(); });
    connect(m_board, &Params::Board::readEnded, this, [this] { readSweepEnded(); });
    connect(m_board, &Params::Board::setUpModeChanged, this, [this](bool on) { enableSetUpControls(on); });
    connect(m_board, &Params::Board::portOpened, this, [this] { showPortOpen(); });
    connect(m_board, &Params::Board::portClosed, this, [this] { showPortClosed(); });
}
