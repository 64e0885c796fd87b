#include "comm/LinkOperation.h"

#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Dialogs.h"

#include <QPointer>

LinkOperation::LinkOperation(std::function<SerialPort*()> port, QObject* parent)
    : QObject(parent)
    , m_port(std::move(port))
{
}

bool LinkOperation::begin(Request request)
{
    if (m_running) {
        ShowMessage(QStringLiteral("%1 is running. Wait until it has finished.").arg(m_request.name));
        return false;
    }
    const SerialPort* port = m_port();
    if (!port || !port->IsOpen()) {
        ShowMessage(QStringLiteral("%1 needs an open port: open the board's port first.").arg(request.name));
        return false;
    }
    m_request = std::move(request);
    m_done = 0;
    m_running = true;
    emit busyChanged(true);
    return true;
}

void LinkOperation::progress(int done)
{
    m_done = done;
}

void LinkOperation::setTotal(int total)
{
    m_request.total = total;
}

void LinkOperation::end()
{
    if (!m_running)
        return;
    m_running = false;
    m_request.stop = nullptr;
    emit busyChanged(false);
    if (m_held.isEmpty())
        return;
    // After the handler that ended the operation has returned, as the board's
    // answers would have been read after a blocking operation.
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<LinkOperation>(this)] {
            if (self)
                appClock().whenNotPaused([self] {
                    if (self)
                        self->releaseHeld();
                });
        },
        Qt::QueuedConnection);
}

bool LinkOperation::holdBlock(const QByteArray& block)
{
    // Blocks kept earlier go first, so a block never overtakes an older one.
    const bool keep = (m_running && m_request.blocks == Blocks::Deferred) || !m_held.isEmpty();
    if (keep)
        m_held.append(block);
    return keep;
}

void LinkOperation::releaseHeld()
{
    // Routing may start another operation; what is still kept then waits for its end.
    while (!m_held.isEmpty() && !(m_running && m_request.blocks == Blocks::Deferred)) {
        const QByteArray block = m_held.takeFirst();
        if (routeHeld)
            routeHeld(block);
    }
}

QString LinkOperation::deviceLost(const QString& port)
{
    if (!m_running)
        return {};
    const QString what = cutShort(m_request.name, m_done, m_request.total, m_request.unit, port);
    const std::function<void()> stop = m_request.stop;
    if (stop)
        stop();
    m_held.clear(); // answers to a link that is gone mean nothing now
    end();
    return what;
}

QString LinkOperation::cutShort(const QString& name, int done, int total, const QString& unit,
                                const QString& port)
{
    return QStringLiteral("%1 stopped after %2 of %3 %4: the connection to %5 was lost.")
        .arg(name)
        .arg(done)
        .arg(total)
        .arg(unit, port);
}
