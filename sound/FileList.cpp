// The sound-file list of the set-up window and its keys.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "comm/BoardLink.h"
#include "comm/Hidden.h"
#include "common/Dialogs.h"
#include "sound/BulkLoadOperation.h"
#include "sound/ImportOperation.h"

namespace {
constexpr int MONITOR_WIDENING = 300;
}

QString TSerialForm1::StopLoading()
{
    Operation* running = Link->current();
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

void TSerialForm1::FileListBox1KeyDown(int key)
{
    if (key == Qt::Key_F11) {
        ShowMessage(StopLoading());
    } else if (key == Qt::Key_F12) {
        Button2Click();
    }
    // Scroll Lock and then Delete, as the very next key, opens the traffic monitor.
    if (key == Qt::Key_Delete && KEYPREC == Qt::Key_ScrollLock) {
        HiddenForm->show();
        HiddenForm->raise();
        resize(width() + MONITOR_WIDENING, height());
    }
    KEYPREC = key;
}
