// The control channel: a Unix socket beside the published port on which test
// programs and users send one text command per line and get one reply line.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

class ControlServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<QString(const QString& command)>;

    explicit ControlServer(Handler handler, QObject* parent = nullptr);
    ~ControlServer() override;

    // True when a running simulator answers on path.
    static bool isServing(const QString& path);

    // Listens on path, replacing a stale socket file.
    bool listen(const QString& path, QString* error);
    // Stops listening and removes the socket file.
    void close();

private:
    void accept();
    void serve(QLocalSocket* client);

    Handler m_handler;
    QLocalServer* m_server;
};
