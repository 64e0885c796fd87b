#include "comm/SteppedOperation.h"

SteppedOperation::SteppedOperation(BoardLink& link, const QString& name, QObject* parent)
    : Operation(link, parent)
    , m_name(name)
{
    // Between two steps the board's messages are routed as they come, as they
    // would be with no operation running.
    BoardLink::Request request;
    request.name = name;
    request.blocks = BoardLink::Blocks::Routed;
    describe(std::move(request));
}

QString SteppedOperation::cancelQuestion() const
{
    return QStringLiteral("Stop %1?").arg(m_name);
}

void SteppedOperation::stopSafely()
{
    // A step that cannot be stopped safely goes on to its end; none follows it.
    if (m_step)
        m_step->cancel();
}

void SteppedOperation::runStep(Operation* step, const std::function<void()>& next)
{
    step->setParent(this);
    m_step = step;
    m_stepName = step->request().name;
    connect(step, &Operation::progressed, this, [this, step](int done, int total) {
        BoardLink::Request shown = request();
        shown.name = step->request().name;
        shown.unit = step->request().unit;
        shown.total = total;
        describe(std::move(shown));
        progress(done);
    });
    // Queued: a lost device ends the step from inside the link's loss handling.
    connect(
        step, &Operation::finished, this,
        [this, step, next](bool ok, const QString& message) {
            step->dispose();
            if (!running()) // the device went away between the step's end and now
                return;
            if (!ok)
                stepsEnded(message.isEmpty()
                               ? QStringLiteral("the connection to the board was lost during %1.").arg(m_stepName)
                               : message);
            else if (stopping())
                stepsEnded(QStringLiteral("stopped after %1; nothing after it was sent.").arg(m_stepName));
            else
                next();
        },
        Qt::QueuedConnection);
    if (!startStep(*step, *this)) {
        step->dispose();
        stepsEnded(QStringLiteral("%1 could not start.").arg(m_stepName));
    }
}
