#include "PtyPair.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        closeMaster();
        return;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    // Raw mode on the slave so that bytes pass unchanged in both directions.
    m_slaveKeepAlive = ::open(ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slaveKeepAlive >= 0) {
        termios tio{};
        tcgetattr(m_slaveKeepAlive, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slaveKeepAlive, TCSANOW, &tio);
        ::close(m_slaveKeepAlive);
        m_slaveKeepAlive = -1;
    }
    const int flags = fcntl(m_master, F_GETFL);
    fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
}

PtyPair::~PtyPair()
{
    closeMaster();
}

void PtyPair::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
}

QByteArray PtyPair::read(int count, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer elapsed;
    elapsed.start();
    char buffer[4096];
    while (got.size() < count && elapsed.elapsed() < timeoutMs) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(timeoutMs - elapsed.elapsed())) <= 0)
            continue;
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
    }
    return got;
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
