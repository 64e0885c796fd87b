#include "comm/Operation.h"

#include "common/Dialogs.h"

#include <QPointer>

Operation::Operation(BoardLink& link, QObject* parent)
    : QObject(parent)
    , m_link(link)
    , m_linkAlive(&link)
{
    // The window deletes its link before its children: an operation still
    // running then has nothing left to release.
    connect(&link, &QObject::destroyed, this, [this] {
        if (!m_running)
            return;
        m_running = false;
        halt();
    });
}

Operation::~Operation()
{
    if (m_running && m_linkAlive && m_link.current() == this)
        m_link.end();
}

void Operation::describe(BoardLink::Request request)
{
    m_request = std::move(request);
}

bool Operation::start()
{
    BoardLink::Request request = m_request;
    request.stop = [this] {
        // The device went away: the link ends the operation and reports the loss.
        halt();
        m_running = false;
        emit finished(false, QString());
    };
    if (!m_link.begin(*this, std::move(request)))
        return false;
    m_running = true;
    m_stopping = false;
    m_done = 0;
    emit progressed(0, m_request.total);
    run();
    return true;
}

void Operation::cancel()
{
    if (!m_running || m_stopping || cancelQuestion().isEmpty())
        return;
    m_stopping = true;
    stopSafely();
}

void Operation::stopSafely()
{
    halt();
    finish(false, stoppedMessage());
}

QString Operation::stoppedMessage() const
{
    return QStringLiteral("%1 was stopped after %2 of %3 %4.")
        .arg(m_request.name)
        .arg(m_done)
        .arg(m_request.total)
        .arg(m_request.unit);
}

void Operation::progress(int done)
{
    m_done = done;
    emit progressed(done, m_request.total);
}

void Operation::setTotal(int total)
{
    m_request.total = total;
}

void Operation::restate(const QString& unit, int total)
{
    m_request.unit = unit;
    m_request.total = total;
    m_done = 0;
    emit progressed(0, total);
}

OperationProgress Operation::progressNow() const
{
    return {m_request.name, m_request.unit, m_done, m_request.total};
}

Operation& Operation::whole()
{
    return m_host ? m_host->whole() : *this;
}

bool Operation::startStep(Operation& step, Operation& host)
{
    step.m_host = &host;
    return step.start();
}

void Operation::finish(bool ok, const QString& message)
{
    if (!m_running)
        return;
    m_running = false;
    if (m_link.current() == this)
        m_link.end();
    emit finished(ok, message);
}

void Operation::dispose()
{
    whenSettled([self = QPointer<Operation>(this)] {
        if (self)
            self->deleteLater();
    });
}

QString Operation::progressText() const
{
    return QStringLiteral("%1... %2").arg(m_request.name, progressFigure());
}

QString Operation::progressFigure() const
{
    return QStringLiteral("%1 of %2 %3").arg(m_done).arg(m_request.total).arg(m_request.unit);
}
