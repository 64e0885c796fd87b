// How the set-up window shows an operation: the wait dialog with its progress
// while it runs, and its message when it ends.
#include "app/WaitDialogView.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "common/Define.h"
#include "common/Dialogs.h"

#include <QLabel>
#include <QProgressBar>

WaitDialogView::WaitDialogView(WaitDialog& dialog, Told told)
    : m_dialog(dialog)
    , m_told(std::move(told))
{
}

void WaitDialogView::starting(const QString& name, bool stoppable)
{
    m_dialog.setWindowTitle(name);
    m_dialog.setLayoutHeight(stoppable ? Define::WAIT_HEIGHT_WITH_BUTTONS : Define::WAIT_HEIGHT_TEXT_ONLY);
}

void WaitDialogView::running()
{
    m_dialog.show();
}

void WaitDialogView::renamed(const QString& name)
{
    m_dialog.setWindowTitle(name);
}

void WaitDialogView::progressed(const OperationProgress& progress, const QString& text)
{
    m_dialog.progressBar->setRange(0, std::max(progress.total, 1));
    m_dialog.progressBar->setValue(progress.done);
    m_dialog.message->setText(text);
}

void WaitDialogView::ended(bool ok, const QString& message)
{
    m_dialog.close();
    if (m_told)
        m_told(ok, message);
    else if (!message.isEmpty())
        ShowMessageWhenSettled(message);
}

bool SetupWindow::runOperation(Operation* operation)
{
    return RunOperation(operation, std::make_shared<WaitDialogView>(*waitDialog));
}
