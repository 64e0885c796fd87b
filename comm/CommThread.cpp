#include "comm/CommThread.h"

#include "comm/LineSettings.h"
#include "comm/ModemLines.h"
#include "comm/PortDevice.h"
#include "common/Clock.h"
#include "common/Guarded.h"

#include <QMetaObject>
#include <cerrno>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The settings the device gets the moment it is opened, before the
// component's own line settings are applied.
constexpr quint32 kInitialBaud = 9600;
constexpr quint8 kInitialDataBits = 8;
constexpr ParityMode kInitialParity = ptEVEN;
constexpr StopBitCount kInitialStopBits = sbONE;

// How often modem lines and error counters are sampled, on devices that have them.
constexpr int kLineSamplePeriodMs = 20;

enum PollSlot { WakeSlot = 0, PortSlot = 1, PollSlots = 2 };

bool transientError(int error)
{
    return error == EAGAIN || error == EINTR;
}

} // namespace

CommThread::CommThread(const QString& port)
{
    if (!openDevice(port))
        return;
    termios settings = m_savedSettings;
    applyLineSettings(settings, kInitialBaud, kInitialDataBits, kInitialParity, kInitialStopBits);
    ::tcsetattr(m_fd, TCSANOW, &settings);
    ClearComm();
}

bool CommThread::openDevice(const QString& port)
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

CommThread::~CommThread()
{
    if (m_thread.joinable()) {
        SignalTerminate();
        WaitFor();
    }
    ClosePort();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void CommThread::SetCommPars(quint32 baudRate, quint8 byteSize, ParityMode parity, StopBitCount stopBits)
{
    termios settings{};
    if (::tcgetattr(m_fd, &settings) != 0)
        return;
    applyLineSettings(settings, baudRate, byteSize, parity, stopBits);
    ::tcsetattr(m_fd, TCSANOW, &settings);
}

void CommThread::ClearComm()
{
    ::tcflush(m_fd, TCIOFLUSH);
    setModemLines(m_fd, TIOCM_DTR, false);
    setModemLines(m_fd, TIOCM_RTS, false);
}

void CommThread::SetRTS(bool on)
{
    setModemLines(m_fd, TIOCM_RTS, on);
}

void CommThread::Start(QObject* context)
{
    m_context = context;
    m_thread = std::thread([this] {
        pthread_setname_np(pthread_self(), "tavrin-com");
        Execute();
    });
}

void CommThread::SignalTerminate()
{
    FOnReceive = nullptr;
    m_terminate.store(true, std::memory_order_release);
    wake();
}

void CommThread::WaitFor()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CommThread::ClosePort()
{
    if (m_fd < 0)
        return;
    ::tcsetattr(m_fd, TCSANOW, &m_savedSettings);
    closeExclusive(m_fd);
    m_fd = -1;
}

quint32 CommThread::driverBytes() const
{
    int waiting = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &waiting) != 0 || waiting < 0)
        return 0;
    return static_cast<quint32>(waiting);
}

quint32 CommThread::BytesWaiting() const
{
    return driverBytes() + static_cast<quint32>(m_carry.size());
}

bool CommThread::InputWaiting() const
{
    return m_handOverPending.load(std::memory_order_acquire) || driverBytes() > 0;
}

quint32 CommThread::ReadComm(char* buffer, quint32 charsToRead)
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

void CommThread::wake()
{
    const quint64 one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeFd, &one, sizeof one);
}

void CommThread::consumeWake()
{
    quint64 count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(m_wakeFd, &count, sizeof count);
    // Cleared before the queue is taken: a Send after this point wakes us again.
    m_wakeArmed.store(false, std::memory_order_release);
}

void CommThread::Execute()
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

short CommThread::portEvents(bool handOverPending) const
{
    short events = handOverPending ? 0 : POLLIN;
    if (m_driverFull && !m_hangupWhilePending)
        events |= POLLOUT;
    return events;
}

int CommThread::pollTimeout(bool handOverPending) const
{
    // Devices without modem lines (pseudo-terminals) have nothing to sample: the
    // thread then sleeps until the device or the wake-up descriptor has news.
    const bool sampling = m_modemSupported || m_countsSupported;
    return sampling && !handOverPending ? kLineSamplePeriodMs : -1;
}

void CommThread::detectLineSupport()
{
    m_modemSupported = readModemStatus(m_fd, m_lines.modemStatus) == LineQuery::Ok;
    m_countsSupported = readErrorCount(m_fd, m_lines.errorCount) == LineQuery::Ok;
}

bool CommThread::sampleLines(LineState& state) const
{
    if (m_modemSupported && readModemStatus(m_fd, state.modemStatus) == LineQuery::Gone)
        return false;
    return !(m_countsSupported && readErrorCount(m_fd, state.errorCount) == LineQuery::Gone);
}

bool CommThread::serviceInput(short revents)
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

CommThread::Input CommThread::probeInput(short revents)
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

void CommThread::postHandOver(quint32 eventMask)
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

void CommThread::runHandOver()
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

void CommThread::EventHandler()
{
    // Copies: a callback may close the component, which detaches these.
    const ReceiveCountHandler onReceive = FOnReceive;
    const LineEventHandler onLineEvent = FLineEvent;
    if (FEventMask & ComEvent::RXCHAR) {
        if (onReceive)
            onReceive(BytesWaiting());
        FEventMask &= ~ComEvent::RXCHAR;
    }
    if (FEventMask != 0 && onLineEvent)
        onLineEvent(FEventMask, FModemStatus);
}

void CommThread::reportLost()
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
