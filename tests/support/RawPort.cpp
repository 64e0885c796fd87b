#include "RawPort.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int READ_CHUNK = 4096;
constexpr int WRITE_TIMEOUT_MS = 5000;

} // namespace

RawPort::~RawPort()
{
    close();
}

bool RawPort::open(const QString& path)
{
    close();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    termios tio{};
    if (tcgetattr(m_fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    m_hungUp = false;
    return true;
}

void RawPort::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool RawPort::write(const QByteArray& bytes)
{
    QElapsedTimer elapsed;
    elapsed.start();
    qsizetype done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        const qint64 left = WRITE_TIMEOUT_MS - elapsed.elapsed();
        if (left <= 0)
            return false;
        pollfd p{m_fd, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left)); // the far end has not taken the last bytes yet
    }
    return done == bytes.size();
}

bool RawPort::readOnce(QByteArray& into, int timeoutMs)
{
    if (m_fd < 0 || m_hungUp)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, std::max(timeoutMs, 0));
    if (ready <= 0)
        return ready == 0 || errno == EINTR;
    char buffer[READ_CHUNK];
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n > 0) {
        into.append(buffer, n);
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return true;
    m_hungUp = true; // end of file or EIO: the other side has gone
    return false;
}

QByteArray RawPort::readBlock(int timeoutMs)
{
    QByteArray got;
    QElapsedTimer elapsed;
    elapsed.start();
    while (got.isEmpty() && elapsed.elapsed() < timeoutMs)
        if (!readOnce(got, static_cast<int>(timeoutMs - elapsed.elapsed())))
            break;
    return got;
}

QByteArray RawPort::read(int count, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer elapsed;
    elapsed.start();
    while (got.size() < count && elapsed.elapsed() < timeoutMs)
        if (!readOnce(got, static_cast<int>(timeoutMs - elapsed.elapsed())))
            break;
    return got;
}

QByteArray RawPort::readUntil(const QByteArray& needle, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer elapsed;
    elapsed.start();
    while (!got.contains(needle) && elapsed.elapsed() < timeoutMs)
        if (!readOnce(got, static_cast<int>(timeoutMs - elapsed.elapsed())))
            break;
    return got;
}

QByteArray RawPort::readFor(int ms)
{
    QByteArray got;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms)
        if (!readOnce(got, static_cast<int>(ms - elapsed.elapsed())))
            break;
    return got;
}

QByteArray RawPort::readPending()
{
    QByteArray got;
    qsizetype before = -1;
    while (got.size() != before) {
        before = got.size();
        if (!readOnce(got, 0))
            break;
    }
    return got;
}

bool RawPort::waitForHangup(int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QByteArray ignored;
    while (!m_hungUp && elapsed.elapsed() < timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(timeoutMs - elapsed.elapsed())) > 0 &&
            (p.revents & (POLLHUP | POLLERR)))
            m_hungUp = true;
        else
            readOnce(ignored, 0);
    }
    return m_hungUp;
}
