#include "params/ReadSweep.h"

#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "params/ParameterLayout.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// The board answers a read within a few milliseconds; this long after the last
// request an answer that has not come is taken as lost.
constexpr int ANSWER_WAIT_MS = 200;

QList<int> everyAddress()
{
    QList<int> addresses(Define::PARAMETER_COUNT);
    std::iota(addresses.begin(), addresses.end(), 0);
    return addresses;
}

} // namespace

ReadSweep::ReadSweep(BoardLink& link, QObject* parent)
    : ReadSweep(link, QStringLiteral("Read Parameters"), everyAddress(), true, parent)
{
}

ReadSweep::ReadSweep(BoardLink& link, const QString& name, QList<int> addresses, bool decode, QObject* parent)
    : Operation(link, parent)
    , m_addresses(std::move(addresses))
    , m_timer(new WindowTimer(this, Define::SWEEP_TICK_MS))
{
    m_timer->setObjectName(QStringLiteral("readSweepTimer"));
    m_timer->setOnTimer([this] { tick(); });
    BoardLink::Request request{name, QStringLiteral("values"), static_cast<int>(m_addresses.size()),
                               BoardLink::Blocks::Routed, {}};
    request.decodeReplies = decode;
    describe(request);
    connect(&link, &BoardLink::readAnswered, this, &ReadSweep::answered);
}

QString ReadSweep::cancelQuestion() const
{
    return QStringLiteral("Stop %1?").arg(request().name);
}

std::optional<quint8> ReadSweep::value(int address) const
{
    if (address < 0 || address >= ADDRESS_SPACE)
        return std::nullopt;
    return m_values[static_cast<std::size_t>(address)];
}

QList<int> ReadSweep::unanswered() const
{
    QList<int> missing;
    for (int address : m_addresses)
        if (!value(address) && !missing.contains(address))
            missing.append(address);
    return missing;
}

int ReadSweep::answeredCount() const
{
    return static_cast<int>(m_addresses.size() - unanswered().size());
}

void ReadSweep::run()
{
    // The first request goes out one tick after the start, as every next one.
    m_values.fill(std::nullopt);
    m_queue = m_addresses;
    m_phase = Phase::Asking;
    m_sent = 0;
    m_retimed = false;
    if (m_queue.isEmpty())
        m_phase = Phase::SettlingAgain; // nothing to ask: ends at the first tick
    m_timer->setInterval(Define::SWEEP_TICK_MS);
    m_timer->setEnabled(true);
}

void ReadSweep::tick()
{
    // While the board has paused the link its requests wait there: the sweep
    // waits with them, and an answer is awaited from when its request left.
    const bool settling = m_phase == Phase::Settling || m_phase == Phase::SettlingAgain;
    const qint64 sinceLastLeft = appClock().now() - link().lastFrameAt();
    if (link().sendsWaiting()) {
        m_timer->setInterval(Define::SWEEP_TICK_MS);
        m_retimed = true;
        return;
    }
    if (settling && sinceLastLeft < ANSWER_WAIT_MS && !unanswered().isEmpty()) {
        m_timer->setInterval(static_cast<int>(ANSWER_WAIT_MS - sinceLastLeft));
        return;
    }
    // Answers the port holds and has not handed over yet are not missing: the
    // window was busy past the wait, and they are routed before the next tick.
    if (settling && !unanswered().isEmpty() && link().port() && link().port()->InputWaiting()) {
        m_timer->setInterval(Define::SWEEP_TICK_MS);
        return;
    }
    switch (m_phase) {
    case Phase::Asking:
    case Phase::AskingAgain:
        sendNext();
        break;
    case Phase::Settling:
        startAskingAgain();
        break;
    case Phase::SettlingAgain:
        end(true);
        break;
    }
}

void ReadSweep::sendNext()
{
    // The period runs on by itself, so a tick's own work never adds to it. A
    // tick that fell due while the last request waited out the board's pause
    // after a parameter write comes right behind it: the next request still
    // waits its 10 ms, and the period counts from that request on.
    const qint64 sinceLast = appClock().now() - m_lastSentAt;
    if (m_sent > 0 && sinceLast < Define::SWEEP_TICK_MS) {
        m_timer->setInterval(static_cast<int>(Define::SWEEP_TICK_MS - sinceLast));
        m_retimed = true;
        return;
    }
    const int address = m_queue.takeFirst();
    {
        const BoardLink::Sending sending(link());
        if (!link().sendRead(address))
            return; // the port went under the operation; the link reports it
    }
    m_lastSentAt = link().lastFrameAt();
    progress(++m_sent);
    if (!m_queue.isEmpty()) {
        if (std::exchange(m_retimed, false))
            m_timer->setInterval(Define::SWEEP_TICK_MS);
        return;
    }
    m_phase = m_phase == Phase::Asking ? Phase::Settling : Phase::SettlingAgain;
    // Answers that are all in end the wait at the next tick (see answered()).
    m_timer->setInterval(unanswered().isEmpty() ? Define::SWEEP_TICK_MS : ANSWER_WAIT_MS);
}

void ReadSweep::answered(int address, quint8 value)
{
    if (!running() || !m_addresses.contains(address))
        return;
    m_values[static_cast<std::size_t>(address)] = value;
    // Nothing more to wait for: end one tick from now rather than inside the
    // routing of this answer.
    const bool settling = m_phase == Phase::Settling || m_phase == Phase::SettlingAgain;
    if (settling && m_timer->Interval() != Define::SWEEP_TICK_MS && unanswered().isEmpty())
        m_timer->setInterval(Define::SWEEP_TICK_MS);
}

void ReadSweep::startAskingAgain()
{
    const QList<int> missing = unanswered();
    // A board that answered nothing is not there to ask again.
    if (missing.isEmpty() || missing.size() == m_addresses.size()) {
        end(true);
        return;
    }
    // Each missing byte with the other bytes of its value, in ascending order.
    QList<int> again;
    for (int address : missing)
        for (int companion : Params::addressesDecodedTogether(address))
            if (!again.contains(companion))
                again.append(companion);
    std::sort(again.begin(), again.end());
    for (int address : again)
        m_values[static_cast<std::size_t>(address)] = std::nullopt;
    m_queue = again;
    setTotal(static_cast<int>(m_addresses.size() + again.size()));
    m_phase = Phase::AskingAgain;
    m_timer->setInterval(Define::SWEEP_TICK_MS);
}

void ReadSweep::end(bool ok)
{
    m_timer->setEnabled(false);
    link().reads().forget();
    finish(ok, endMessage());
}

void ReadSweep::halt()
{
    m_timer->setEnabled(false);
    if (BoardLink* alive = liveLink())
        alive->reads().forget();
}
