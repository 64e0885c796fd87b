// The transmit side of the port's thread: the queue any thread fills, the
// writes the thread makes from it, and the flush when the port closes.
#include "comm/CommThread.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

// How often Close looks whether the driver has sent its last bytes.
constexpr int kDrainCheckMs = 5;

int millisecondsUntil(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

void CommThread::WriteComm(const char* buffer, qsizetype byteCount)
{
    {
        std::lock_guard lock(m_queueMutex);
        m_queue.append(buffer, byteCount);
        // Counted with the queue, so the thread never writes more than is counted.
        m_queued.fetch_add(static_cast<quint64>(byteCount), std::memory_order_relaxed);
    }
    // One wake-up per batch: a tight loop of one-byte sends costs one eventfd
    // write until the thread has picked the queue up.
    if (!m_wakeArmed.exchange(true, std::memory_order_acq_rel))
        wake();
}

bool CommThread::serviceOutput()
{
    takeQueued();
    // Once the driver has said it is full, only POLLOUT says it has room again.
    while (!m_driverFull && m_outPos < m_out.size()) {
        const ssize_t n =
            ::write(m_fd, m_out.constData() + m_outPos, static_cast<size_t>(m_out.size() - m_outPos));
        m_writeCalls.fetch_add(1, std::memory_order_relaxed);
        if (n > 0) {
            m_outPos += n;
            noteWritten(n);
        } else if (n == 0 || errno == EAGAIN)
            m_driverFull = true;
        else if (errno != EINTR)
            return false;
    }
    if (m_outPos == m_out.size()) {
        m_out.clear();
        m_outPos = 0;
    }
    return true;
}

void CommThread::noteWritten(qsizetype count)
{
    m_lastWriteTicks.store(SteadyClock::now().time_since_epoch().count(), std::memory_order_relaxed);
    m_written.fetch_add(static_cast<quint64>(count), std::memory_order_release);
}

qint64 CommThread::OutputPending() const
{
    const quint64 written = m_written.load(std::memory_order_acquire);
    const quint64 queued = m_queued.load(std::memory_order_acquire);
    int inDriver = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCOUTQ, &inDriver) != 0 || inDriver < 0)
        inDriver = 0; // a device that cannot say holds nothing we could wait for
    return static_cast<qint64>(queued - written) + inDriver;
}

std::optional<SteadyClock::time_point> CommThread::WrittenAt() const
{
    const quint64 queued = m_queued.load(std::memory_order_acquire);
    const quint64 written = m_written.load(std::memory_order_acquire);
    if (written == 0 || written != queued)
        return std::nullopt;
    return SteadyClock::time_point(SteadyClock::duration(m_lastWriteTicks.load(std::memory_order_relaxed)));
}

void CommThread::takeQueued()
{
    std::lock_guard lock(m_queueMutex);
    if (m_queue.isEmpty())
        return;
    if (m_out.isEmpty())
        m_out.swap(m_queue);
    else
        m_out.append(m_queue);
    m_queue.clear();
}

bool CommThread::outputIdle()
{
    std::lock_guard lock(m_queueMutex);
    return m_out.isEmpty() && m_queue.isEmpty();
}

// Close lets what was sent reach the device, for at most kCloseFlushLimit, so
// that a frame sent just before Close is not cut off; after that the rest is
// discarded, because the driver would otherwise hold close() for up to 30 s.
void CommThread::flushOnClose()
{
    const auto deadline = SteadyClock::now() + kCloseFlushLimit;
    while (serviceOutput()) {
        if (outputIdle()) {
            waitForDriverDrain(deadline);
            return;
        }
        const int left = millisecondsUntil(deadline);
        pollfd port{m_fd, POLLOUT, 0};
        const int ready = left == 0 ? 0 : ::poll(&port, 1, left);
        if (ready == 0 || (ready < 0 && errno != EINTR) || (port.revents & kHangupEvents))
            break;
        if (port.revents & POLLOUT)
            m_driverFull = false;
    }
    ::tcflush(m_fd, TCOFLUSH);
}

void CommThread::waitForDriverDrain(SteadyClock::time_point deadline)
{
    int queued = 0;
    while (::ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        const int left = millisecondsUntil(deadline);
        if (left == 0) {
            ::tcflush(m_fd, TCOFLUSH);
            return;
        }
        ::poll(nullptr, 0, std::min(left, kDrainCheckMs));
    }
}
