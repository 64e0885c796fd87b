#include "comm/CommThread.h"

#include "common/Clock.h"

#include "comm/LineSettings.h"
#include "comm/PortDevice.h"
#include "common/Guarded.h"
#include "common/Clock.h"

#include <QMetaObject>
#include <array>
#include <cerrno>
#include <linux/serial.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using SteadyClock = std::chrono::steady_clock;

// The settings the device gets the moment it is opened, before the
// component's own line settings are applied.
constexpr quint32 kInitialBaud = 9600;
constexpr quint8 kInitialDataBits = 8;
constexpr TParity kInitialParity = ptEVEN;
constexpr TStopBit kInitialStopBits = sbONE;

// How often modem lines and error counters are sampled, on devices that have them.
constexpr int kLineSamplePeriodMs = 20;
// How often Close looks whether the driver has sent its last bytes.
constexpr int kDrainCheckMs = 5;

constexpr short kHangupEvents = POLLHUP | POLLERR | POLLNVAL;
enum PollSlot { WakeSlot = 0, PortSlot = 1, PollSlots = 2 };

struct ModemLine {
    int tiocmBit;
    quint32 statusBit;
    quint32 eventBit;
};
constexpr std::array<ModemLine, 4> kModemLines{{
    {TIOCM_CTS, ModemStatus::CTS_ON, ComEvent::CTS},
    {TIOCM_DSR, ModemStatus::DSR_ON, ComEvent::DSR},
    {TIOCM_CAR, ModemStatus::RLSD_ON, ComEvent::RLSD},
    {TIOCM_RNG, ModemStatus::RING_ON, ComEvent::RING},
}};

quint32 modemStatusFromTiocm(int tiocm)
{
    quint32 status = 0;
    for (const ModemLine& line : kModemLines)
        if (tiocm & line.tiocmBit)
            status |= line.statusBit;
    return status;
}

quint32 lineEvents(quint32 before, quint32 after)
{
    quint32 events = 0;
    for (const ModemLine& line : kModemLines)
        if ((before ^ after) & line.statusBit)
            events |= line.eventBit;
    return events;
}

void setModemLines(int fd, int lines, bool on)
{
    // Pseudo-terminals have no modem lines and refuse: nothing to do then.
    ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines);
}

int millisecondsUntil(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool transientError(int error)
{
    return error == EAGAIN || error == EINTR;
}

// Modem lines and error counters exist on UARTs and USB adapters; pseudo-terminals
// and some USB classes refuse the requests, which is no failure.
enum class LineQuery { Ok, Unsupported, Gone };

LineQuery queryResult(int result)
{
    if (result == 0)
        return LineQuery::Ok;
    return errno == EIO ? LineQuery::Gone : LineQuery::Unsupported;
}

LineQuery readModemStatus(int fd, quint32& status)
{
    int tiocm = 0;
    const LineQuery result = queryResult(::ioctl(fd, TIOCMGET, &tiocm));
    if (result == LineQuery::Ok)
        status = modemStatusFromTiocm(tiocm);
    return result;
}

// The errors the line-error event stands for: framing, overrun and parity.
LineQuery readErrorCount(int fd, quint64& count)
{
    serial_icounter_struct counts{};
    const LineQuery result = queryResult(::ioctl(fd, TIOCGICOUNT, &counts));
    if (result == LineQuery::Ok)
        count = static_cast<quint64>(counts.frame) + counts.overrun + counts.parity;
    return result;
}

} // namespace

TCommThread::TCommThread(const QString& port)
{
    if (!openDevice(port))
        return;
    termios settings = m_savedSettings;
    applyLineSettings(settings, kInitialBaud, kInitialDataBits, kInitialParity, kInitialStopBits);
    ::tcsetattr(m_fd, TCSANOW, &settings);
    ClearComm();
}

bool TCommThread::openDevice(const QString& port)
{
    m_fd = openExclusive(port, m_openError);
    if (m_fd < 0)
        return false;
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0 || ::tcgetattr(m_fd, &m_savedSettings) != 0) {
        m_openError = errno;
        closeExclusive(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

TCommThread::~TCommThread()
{
    if (m_thread.joinable()) {
        SignalTerminate();
        WaitFor();
    }
    ClosePort();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void TCommThread::SetCommPars(quint32 baudRate, quint8 byteSize, TParity parity, TStopBit stopBits)
{
    termios settings{};
    if (::tcgetattr(m_fd, &settings) != 0)
        return;
    applyLineSettings(settings, baudRate, byteSize, parity, stopBits);
    ::tcsetattr(m_fd, TCSANOW, &settings);
}

void TCommThread::ClearComm()
{
    ::tcflush(m_fd, TCIOFLUSH);
    setModemLines(m_fd, TIOCM_DTR, false);
    setModemLines(m_fd, TIOCM_RTS, false);
}

void TCommThread::SetRTS(bool on)
{
    setModemLines(m_fd, TIOCM_RTS, on);
}

void TCommThread::Start(QObject* context)
{
    m_context = context;
    m_thread = std::thread([this] {
        pthread_setname_np(pthread_self(), "tavrin-com");
        Execute();
    });
}

void TCommThread::SignalTerminate()
{
    FOnReceive = nullptr;
    m_terminate.store(true, std::memory_order_release);
    wake();
}

void TCommThread::WaitFor()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TCommThread::ClosePort()
{
    if (m_fd < 0)
        return;
    ::tcsetattr(m_fd, TCSANOW, &m_savedSettings);
    closeExclusive(m_fd);
    m_fd = -1;
}

quint32 TCommThread::BytesWaiting() const
{
    int waiting = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &waiting) != 0 || waiting < 0)
        waiting = 0;
    return static_cast<quint32>(waiting) + static_cast<quint32>(m_carry.size());
}

quint32 TCommThread::ReadComm(char* buffer, quint32 charsToRead)
{
    quint32 done = 0;
    const quint32 fromCarry = std::min<quint32>(charsToRead, static_cast<quint32>(m_carry.size()));
    std::copy_n(m_carry.constData(), fromCarry, buffer);
    m_carry.remove(0, fromCarry);
    done += fromCarry;
    while (done < charsToRead && m_fd >= 0) {
        const ssize_t n = ::read(m_fd, buffer + done, charsToRead - done);
        if (n > 0)
            done += static_cast<quint32>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    return done;
}

void TCommThread::WriteComm(const char* buffer, qsizetype byteCount)
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

void TCommThread::wake()
{
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeFd, &one, sizeof one);
}

void TCommThread::consumeWake()
{
    quint64 count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(m_wakeFd, &count, sizeof count);
    // Cleared before the queue is taken: a Send after this point wakes us again.
    m_wakeArmed.store(false, std::memory_order_release);
}

// --- the thread ---------------------------------------------------------------

void TCommThread::Execute()
{
    detectLineSupport();
    while (!m_terminate.load(std::memory_order_acquire)) {
        const bool pending = m_handOverPending.load(std::memory_order_acquire);
        if (!pending)
            m_hangupWhilePending = false;
        pollfd fds[PollSlots] = {{m_wakeFd, POLLIN, 0}, {-1, 0, 0}};
        fds[PortSlot] = {m_fd, portEvents(pending), 0};
        if (fds[PortSlot].events == 0)
            fds[PortSlot].fd = -1;
        if (::poll(fds, PollSlots, pollTimeout(pending)) < 0 && errno != EINTR) {
            reportLost();
            return;
        }
        if (fds[WakeSlot].revents & POLLIN)
            consumeWake();
        if (fds[PortSlot].revents & POLLOUT)
            m_driverFull = false;
        if (!serviceOutput() || !serviceInput(fds[PortSlot].revents)) {
            reportLost();
            return;
        }
    }
    flushOnClose();
}

short TCommThread::portEvents(bool handOverPending) const
{
    short events = handOverPending ? 0 : POLLIN;
    if (m_driverFull && !m_hangupWhilePending)
        events |= POLLOUT;
    return events;
}

int TCommThread::pollTimeout(bool handOverPending) const
{
    // Devices without modem lines (pseudo-terminals) have nothing to sample: the
    // thread then sleeps until the device or the wake-up descriptor has news.
    const bool sampling = m_modemSupported || m_countsSupported;
    return sampling && !handOverPending ? kLineSamplePeriodMs : -1;
}

void TCommThread::detectLineSupport()
{
    m_modemSupported = readModemStatus(m_fd, m_lines.modemStatus) == LineQuery::Ok;
    m_countsSupported = readErrorCount(m_fd, m_lines.errorCount) == LineQuery::Ok;
}

bool TCommThread::sampleLines(LineState& state) const
{
    if (m_modemSupported && readModemStatus(m_fd, state.modemStatus) == LineQuery::Gone)
        return false;
    return !(m_countsSupported && readErrorCount(m_fd, state.errorCount) == LineQuery::Gone);
}

bool TCommThread::serviceOutput()
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

void TCommThread::noteWritten(qsizetype count)
{
    m_lastWriteTicks.store(SteadyClock::now().time_since_epoch().count(), std::memory_order_relaxed);
    m_written.fetch_add(static_cast<quint64>(count), std::memory_order_release);
}

qint64 TCommThread::OutputPending() const
{
    const quint64 written = m_written.load(std::memory_order_acquire);
    const quint64 queued = m_queued.load(std::memory_order_acquire);
    int inDriver = 0;
    if (m_fd < 0 || ::ioctl(m_fd, TIOCOUTQ, &inDriver) != 0 || inDriver < 0)
        inDriver = 0; // a device that cannot say holds nothing we could wait for
    return static_cast<qint64>(queued - written) + inDriver;
}

std::optional<SteadyClock::time_point> TCommThread::WrittenAt() const
{
    const quint64 queued = m_queued.load(std::memory_order_acquire);
    const quint64 written = m_written.load(std::memory_order_acquire);
    if (written == 0 || written != queued)
        return std::nullopt;
    return SteadyClock::time_point(SteadyClock::duration(m_lastWriteTicks.load(std::memory_order_relaxed)));
}

void TCommThread::takeQueued()
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

bool TCommThread::outputIdle()
{
    std::lock_guard lock(m_queueMutex);
    return m_out.isEmpty() && m_queue.isEmpty();
}

bool TCommThread::serviceInput(short revents)
{
    if (m_handOverPending.load(std::memory_order_acquire)) {
        // A hung-up device reports POLLHUP however it is asked; stop watching it
        // until the hand-over is back, or poll() would return at once forever.
        if (revents & kHangupEvents)
            m_hangupWhilePending = true;
        return true;
    }
    const Input input = probeInput(revents);
    if (input == Input::Gone)
        return false;
    LineState now = m_lines;
    if (!sampleLines(now))
        return false;
    quint32 events = lineEvents(m_lines.modemStatus, now.modemStatus);
    if (now.errorCount != m_lines.errorCount)
        events |= ComEvent::ERR;
    if (input == Input::Data)
        events |= ComEvent::RXCHAR;
    // The status handed over is the one from before the change.
    FModemStatus = m_lines.modemStatus;
    m_lines = now;
    if (events != 0)
        postHandOver(events);
    return true;
}

TCommThread::Input TCommThread::probeInput(short revents)
{
    if (!(revents & (POLLIN | kHangupEvents)))
        return Input::None;
    if (BytesWaiting() > 0)
        return Input::Data;
    if (revents & kHangupEvents)
        return Input::Gone;
    // Readable with nothing counted: only a read tells end-of-file from a
    // spurious wake-up. A byte that arrived meanwhile is kept for ReadComm.
    char byte = 0;
    const ssize_t n = ::read(m_fd, &byte, 1);
    if (n == 1) {
        m_carry.append(byte);
        return Input::Data;
    }
    return n < 0 && transientError(errno) ? Input::None : Input::Gone;
}

void TCommThread::postHandOver(quint32 eventMask)
{
    FEventMask = eventMask;
    m_handOverPending.store(true, std::memory_order_release);
    QMetaObject::invokeMethod(
        m_context,
        [weak = weak_from_this()] {
            if (const auto self = weak.lock())
                self->runHandOver();
        },
        Qt::QueuedConnection);
}

void TCommThread::runHandOver()
{
    // During a blocking pause the event waits, and so does the thread, as if the
    // user-interface thread were busy. An error escaping a callback is shown like
    // any other handler's, and the thread is released all the same.
    appClock().whenNotPaused([weak = weak_from_this()] {
        const auto self = weak.lock();
        if (!self)
            return;
        runGuarded([&self] { self->EventHandler(); });
        self->m_handOverPending.store(false, std::memory_order_release);
        self->wake();
    });
}

void TCommThread::EventHandler()
{
    // Copies: a callback may close the component, which detaches these.
    const TReceiveNotify onReceive = FOnReceive;
    const TLineEventNotify onLineEvent = FLineEvent;
    if (FEventMask & ComEvent::RXCHAR) {
        if (onReceive)
            onReceive(BytesWaiting());
        FEventMask &= ~ComEvent::RXCHAR;
    }
    if (FEventMask != 0 && onLineEvent)
        onLineEvent(FEventMask, FModemStatus);
}

void TCommThread::reportLost()
{
    // A burst of failures is one loss.
    if (m_lostReported.exchange(true))
        return;
    QMetaObject::invokeMethod(
        m_context,
        [weak = weak_from_this()] {
            if (const auto self = weak.lock()) {
                const std::function<void()> onLost = self->FOnLost;
                if (onLost)
                    onLost();
            }
        },
        Qt::QueuedConnection);
}

// Close lets what was sent reach the device, for at most kCloseFlushLimit, so
// that a frame sent just before Close is not cut off; after that the rest is
// discarded, because the driver would otherwise hold close() for up to 30 s.
void TCommThread::flushOnClose()
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

void TCommThread::waitForDriverDrain(SteadyClock::time_point deadline)
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
