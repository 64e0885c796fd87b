// How the set-up window shows an operation: the wait dialog with its progress
// while it runs, and its message when it ends.
#include "app/SetupWindow.h"

#include "app/Forms.h"
#include "app/WaitDialog.h"
#include "comm/Operation.h"
#include "common/Define.h"
#include "common/Dialogs.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>

bool SetupWindow::runOperation(Operation* operation)
{
    connect(operation, &Operation::progressed, waitDialog, [operation](int done, int total) {
        waitDialog->progressBar->setRange(0, std::max(total, 1));
        waitDialog->progressBar->setValue(done);
        waitDialog->message->setText(operation->progressText());
    });
    connect(operation, &Operation::finished, this, [operation](bool, const QString& message) {
        waitDialog->close();
        operation->dispose();
        if (!message.isEmpty())
            ShowMessageWhenSettled(message);
    });
    waitDialog->setWindowTitle(operation->request().name);
    waitDialog->setLayoutHeight(operation->cancelQuestion().isEmpty() ? Define::WAIT_HEIGHT_TEXT_ONLY
                                                              : Define::WAIT_HEIGHT_WITH_BUTTONS);
    if (!operation->start()) {
        delete operation;
        return false;
    }
    if (operation->running())
        waitDialog->show();
    return true;
}
