// The sound-file list of the set-up window and its keys.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "comm/Hidden.h"
#include "common/Dialogs.h"

namespace {
constexpr int MONITOR_WIDENING = 300;
}

void TSerialForm1::FileListBox1KeyDown(int key)
{
    if (key == Qt::Key_F11) {
        StopBulkLoad();
        ShowMessage(QStringLiteral("Loading stopped."));
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
