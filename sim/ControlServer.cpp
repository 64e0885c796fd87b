#include "sim/ControlServer.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {

constexpr int PROBE_TIMEOUT_MS = 200;
constexpr qint64 MAX_LINE = 4096; // a longer line is not a command

} // namespace

ControlServer::ControlServer(Handler handler, QObject* parent)
    : QObject(parent)
    , m_handler(std::move(handler))
    , m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, &ControlServer::accept);
}

ControlServer::~ControlServer()
{
    close();
}

bool ControlServer::isServing(const QString& path)
{
    QLocalSocket probe;
    probe.connectToServer(path);
    return probe.waitForConnected(PROBE_TIMEOUT_MS);
}

bool ControlServer::listen(const QString& path, QString* error)
{
    QLocalServer::removeServer(path);
    if (!m_server->listen(path)) {
        *error = QStringLiteral("cannot listen on %1: %2").arg(path, m_server->errorString());
        return false;
    }
    return true;
}

void ControlServer::close()
{
    if (!m_server->isListening())
        return;
    const QString path = m_server->fullServerName();
    m_server->close();
    QLocalServer::removeServer(path);
}

void ControlServer::accept()
{
    while (QLocalSocket* client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { serve(client); });
        serve(client);
    }
}

void ControlServer::serve(QLocalSocket* client)
{
    while (client->canReadLine()) {
        const QString command = QString::fromUtf8(client->readLine()).trimmed();
        if (command.isEmpty())
            continue;
        client->write((m_handler(command) + QLatin1Char('\n')).toUtf8());
        client->flush();
    }
    if (client->bytesAvailable() > MAX_LINE) {
        client->write("error line too long\n");
        client->disconnectFromServer();
    }
}
