#include "sim/SignalWatcher.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int READ_END = 0;
constexpr int WRITE_END = 1;
constexpr int DRAIN_CHUNK = 16;

void onSignal(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[WRITE_END], &byte, 1);
    errno = saved;
}

} // namespace

SignalWatcher::SignalWatcher(QObject* parent)
    : QObject(parent)
{
}

bool SignalWatcher::install(QString* error)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeEnds) != 0) {
        *error = QStringLiteral("socketpair: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    m_notifier = new QSocketNotifier(pipeEnds[READ_END], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::drain);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a control client that went away must not end the simulator
    return true;
}

void SignalWatcher::drain()
{
    char buffer[DRAIN_CHUNK];
    while (::read(pipeEnds[READ_END], buffer, sizeof buffer) > 0) {
    }
    emit stopRequested();
}
