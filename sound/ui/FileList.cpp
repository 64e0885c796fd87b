// The sound-file list of the set-up window and its keys.
#include "app/SetupWindow.h"

#include "app/Forms.h"
#include "comm/BoardLink.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Dialogs.h"
#include "sound/BulkLoadOperation.h"
#include "sound/ImportOperation.h"

namespace {
constexpr int MONITOR_WIDENING = 300;
}

QString SetupWindow::stopLoading()
{
    Operation* running = m_board->link()->current();
    if (qobject_cast<BulkLoadOperation*>(running)) {
        running->cancel();
        return QStringLiteral("Loading stopped.");
    }
    if (qobject_cast<ImportOperation*>(running)) {
        running->cancel();
        return QStringLiteral("%1 stops after the file being sent.").arg(running->request().name);
    }
    return QStringLiteral("No sounds are being loaded: nothing was stopped.");
}

void SetupWindow::fileListKeyPressed(int key)
{
    if (key == Qt::Key_F11) {
        ShowMessage(stopLoading());
    } else if (key == Qt::Key_F12) {
        askToLoadBaseSounds();
    }
    // Scroll Lock and then Delete, as the very next key, opens the traffic monitor.
    if (key == Qt::Key_Delete && m_previousKey == Qt::Key_ScrollLock) {
        trafficMonitor->show();
        trafficMonitor->raise();
        resize(width() + MONITOR_WIDENING, height());
    }
    m_previousKey = key;
}
