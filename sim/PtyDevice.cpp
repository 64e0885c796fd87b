#include "sim/PtyDevice.h"

#include "sim/SimDefaults.h"
#include "sim/SimLog.h"
#include "sim/Uptime.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int OPEN_WATCH_MS = 5;       // poll period while the slave is closed
constexpr qsizetype READ_CHUNK = 4096; // bytes taken by one read()

QString systemError(const char* what)
{
    return QStringLiteral("%1: %2").arg(what, strerror(errno));
}

} // namespace

PtyDevice::PtyDevice(QObject* parent)
    : QObject(parent)
{
    m_openWatch.setInterval(OPEN_WATCH_MS);
    connect(&m_openWatch, &QTimer::timeout, this, &PtyDevice::watchForOpen);
    m_inputWatch.setInterval(SimDefaults::INPUT_WATCH_MS);
    m_inputWatch.setTimerType(Qt::PreciseTimer);
    connect(&m_inputWatch, &QTimer::timeout, this, &PtyDevice::watchInput);
}

PtyDevice::~PtyDevice()
{
    destroy();
}

bool PtyDevice::create(QString* error)
{
    destroy();
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = systemError("unlockpt");
        destroy();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(ptsname(m_master));
    configureSlave();

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyDevice::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyDevice::writePending);
    m_openWatch.start();
    return true;
}

void PtyDevice::configureSlave()
{
    // Raw mode, so that bytes pass unchanged both ways. The settings stay with the
    // terminal after this close; the close also puts the master into the hung-up
    // state from which the first open by the tool is recognised.
    const int slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        SimLog::warning(systemError("cannot open the slave to configure it"));
        return;
    }
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
    }
    ::close(slave);
}

void PtyDevice::destroy()
{
    const bool wasOpen = m_open;
    m_openWatch.stop();
    m_inputWatch.stop();
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    m_open = false;
    m_pending.clear();
    if (wasOpen)
        emit closed();
}

void PtyDevice::watchForOpen()
{
    if (m_master < 0)
        return;
    const qint64 lookedAt = uptimeMs();
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return;
    if (!(p.revents & POLLIN))
        m_seenEmptyMs = lookedAt;
    if (!(p.revents & POLLHUP)) {
        enterOpen();
        return;
    }
    if (p.revents & POLLIN) {
        // Written by a holder that has gone again before it was noticed: nobody
        // is there to answer, so it is read and dropped.
        char buffer[READ_CHUNK];
        while (::read(m_master, buffer, sizeof buffer) > 0) {
        }
        SimLog::note(QStringLiteral("dropped bytes sent by a holder that has already closed the port"));
    }
}

void PtyDevice::enterOpen()
{
    m_openWatch.stop();
    m_open = true;
    SimLog::note(QStringLiteral("port opened"));
    emit opened();
    if (!m_readNotifier)
        return;
    m_readNotifier->setEnabled(true);
    m_inputWatch.start();
    readAvailable();
}

void PtyDevice::enterClosed()
{
    if (!m_open)
        return;
    m_open = false;
    m_inputWatch.stop();
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    m_pending.clear();
    discardUnreadOutput();
    m_openWatch.start();
    SimLog::note(QStringLiteral("port closed"));
    emit closed();
}

void PtyDevice::discardUnreadOutput()
{
    // What the board sent and nobody read would otherwise greet the next holder.
    // Opening the slave here is brief and ends with the master hung up again.
    const int slave =
        ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    tcflush(slave, TCIFLUSH);
    ::close(slave);
}

void PtyDevice::watchInput()
{
    const qint64 lookedAt = uptimeMs();
    int waiting = 0;
    if (::ioctl(m_master, FIONREAD, &waiting) != 0)
        return;
    if (waiting == 0)
        m_seenEmptyMs = lookedAt;
    else
        readAvailable();
}

void PtyDevice::readAvailable()
{
    char buffer[READ_CHUNK];
    while (m_open && m_master >= 0) {
        // The clock is read before the read: if it finds nothing, the input was
        // empty at some moment after this one.
        const qint64 readingAt = uptimeMs();
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, n), Arrival{m_seenEmptyMs, uptimeMs()});
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            m_seenEmptyMs = readingAt;
            return;
        }
        if (n < 0 && errno == EINTR)
            return;
        enterClosed(); // EIO or end of file: the last holder closed the slave
        return;
    }
}

qsizetype PtyDevice::writeSome(const char* data, qsizetype size)
{
    for (;;) {
        const ssize_t n = ::write(m_master, data, static_cast<size_t>(size));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return 0;
        return -1;
    }
}

void PtyDevice::write(const QByteArray& bytes)
{
    if (!m_open || m_master < 0 || bytes.isEmpty())
        return;
    if (!m_pending.isEmpty()) {
        m_pending.append(bytes);
        return;
    }
    const qsizetype written = writeSome(bytes.constData(), bytes.size());
    if (written < 0) {
        enterClosed();
        return;
    }
    if (written < bytes.size()) {
        m_pending = bytes.mid(written);
        m_writeNotifier->setEnabled(true);
    }
}

void PtyDevice::writePending()
{
    const qsizetype written = writeSome(m_pending.constData(), m_pending.size());
    if (written < 0) {
        enterClosed();
        return;
    }
    m_pending.remove(0, written);
    if (m_pending.isEmpty()) {
        m_writeNotifier->setEnabled(false);
        emit drained();
    }
}
