// Everything the board sends arrives through the link, whose routes reach the
// window's decoders; the traffic monitor listens to the link itself.
#include "app/SetupWindow.h"

#include "app/Forms.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Dialogs.h"
#include "common/Globals.h"

void SetupWindow::connectLink()
{
    connect(m_link, &BoardLink::busyChanged, this, [this] { updateLock(); });
    connect(m_link, &BoardLink::writeFileDone, this, [] { ShowMessage(QStringLiteral(" Scrittura completata ")); });
    connect(m_link, &BoardLink::parameterReply, this, [this](const QByteArray& block) { showParameterReply(block); });
    connect(m_link, &BoardLink::telemetry, this, [this](const QByteArray& block) {
        showTelemetry(block);
        plotTelemetry();
    });
    connect(m_link, &BoardLink::uploadEnded, this, [] {
        if (RICHIESTA)
            ShowMessage(QStringLiteral("Uploading file completed."));
        waitDialog->close();
    });
    connect(m_link, &BoardLink::shot, this, [this](const QByteArray& block) { showShot(block); });
    connect(m_link, &BoardLink::portLost, this, [this] { deviceLost(); });
}
