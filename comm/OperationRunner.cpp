#include "comm/OperationRunner.h"

#include "comm/Operation.h"

bool RunOperation(Operation* operation, std::shared_ptr<OperationView> view)
{
    view->starting(operation->title(), !operation->cancelQuestion().isEmpty());
    QObject::connect(operation, &Operation::progressed, operation,
                     [operation, view, shownTitle = operation->title()](int done, int total) mutable {
                         const BoardLink::Request& now = operation->request();
                         if (operation->title() != shownTitle) {
                             shownTitle = operation->title();
                             view->renamed(shownTitle);
                         }
                         view->progressed({now.name, now.unit, done, total}, operation->progressText());
                     });
    QObject::connect(operation, &Operation::finished, operation, [operation, view](bool ok, const QString& message) {
        operation->dispose();
        view->ended(ok, message);
    });
    if (!operation->start()) {
        view->refused(operation->request().name);
        delete operation;
        return false;
    }
    if (operation->running())
        view->running();
    return true;
}

bool CancelOperation(Operation& running, const std::function<bool(const QString& question)>& confirm)
{
    Operation& whole = running.whole();
    const QString question = whole.cancelQuestion();
    if (question.isEmpty())
        return false;
    if (!confirm || confirm(question))
        whole.cancel();
    return true;
}
