#include "comm/PortDevice.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// TIOCEXCL alone leaves a window between another opener's open() and its own
// TIOCEXCL, and does not stop privileged openers at all; the advisory lock closes
// both gaps between cooperating programs, including two components in one
// process (each open() has its own file description, so their locks conflict).
bool lockExclusively(int fd, int& error)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // "Resource temporarily unavailable" would tell the user nothing.
        error = errno == EWOULDBLOCK ? EBUSY : errno;
        return false;
    }
    // Devices that do not know TIOCEXCL are still held through the lock.
    if (::ioctl(fd, TIOCEXCL) != 0 && errno != EINVAL && errno != ENOTTY) {
        error = errno;
        return false;
    }
    return true;
}

} // namespace

int openExclusive(const QString& path, int& error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (!::isatty(fd)) {
        error = ENOTTY;
        ::close(fd);
        return -1;
    }
    if (!lockExclusively(fd, error)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void closeExclusive(int fd)
{
    // The exclusive flag belongs to the terminal, not to this descriptor: left
    // set, it would outlive us on a pseudo-terminal whose master stays open.
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

QString systemErrorText(int error)
{
    // Longer than any message the C library has.
    constexpr std::size_t kMessageCapacity = 256;
    char buffer[kMessageCapacity];
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof buffer));
}
