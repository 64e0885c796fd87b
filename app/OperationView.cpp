// How the set-up window shows an operation: the wait dialog with its progress
// while it runs, and its message when it ends.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Wait.h"
#include "comm/Operation.h"
#include "common/Define.h"
#include "common/Dialogs.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>

bool TSerialForm1::RunOperation(Operation* operation)
{
    connect(operation, &Operation::progressed, waitform, [operation](int done, int total) {
        waitform->ProgressBar1->setRange(0, std::max(total, 1));
        waitform->ProgressBar1->setValue(done);
        waitform->Label1->setText(operation->progressText());
    });
    connect(operation, &Operation::finished, this, [operation](bool, const QString& message) {
        waitform->close();
        operation->dispose();
        if (!message.isEmpty())
            ShowMessageWhenSettled(message);
    });
    waitform->setWindowTitle(operation->request().name);
    waitform->setHeight(operation->cancelQuestion().isEmpty() ? Define::WAIT_HEIGHT_TEXT_ONLY
                                                              : Define::WAIT_HEIGHT_WITH_BUTTONS);
    if (!operation->start()) {
        delete operation;
        return false;
    }
    if (operation->running())
        waitform->show();
    return true;
}
