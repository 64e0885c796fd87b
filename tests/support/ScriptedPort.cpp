#include "ScriptedPort.h"

#include "common/ui/Application.h"
#include "common/Clock.h"
#include "common/Define.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double MS_PER_SECOND = 1000.0;
constexpr double LINE_ROUNDING = 1e-6; // of a byte
} // namespace

void ScriptedPort::Open()
{
    if (m_open)
        return;
    if (!failOpenReason.isEmpty())
        throw EComError(QStringLiteral("TCOMPORT : cannot open ") + Port() + QLatin1Char('\r') +
                        failOpenReason);
    m_open = true;
    resetLine();
    ++openCount;
    if (OnPortOpen)
        OnPortOpen(this);
}

void ScriptedPort::Close()
{
    if (!m_open)
        return;
    m_open = false;
    resetLine();
    ++closeCount;
    if (OnPortClose)
        OnPortClose(this);
}

void ScriptedPort::Send(const QByteArray& data)
{
    if (!m_open || data.isEmpty())
        return;
    const qint64 now = appClock().now();
    sent.append({now, data});
    const qint64 written = now + writeDelayMs;
    m_writtenAt = written;
    const qint64 bytesPerSecond = drainBytesPerSecond.value_or(Baud() / Define::UART_BITS_PER_BYTE);
    const double startMs = std::max<double>(written, m_line.empty() ? 0.0 : m_line.back().endMs);
    const double endMs = bytesPerSecond > 0 ? startMs + data.size() * MS_PER_SECOND / double(bytesPerSecond)
                                            : std::numeric_limits<double>::infinity();
    m_line.push_back({startMs, endMs, data.size()});
    while (m_line.size() > 1 && m_line.front().endMs <= now)
        m_line.pop_front();
}

qint64 ScriptedPort::OutputPending() const
{
    const double now = double(appClock().now());
    qint64 pending = 0;
    for (const OnTheLine& part : m_line) {
        if (now <= part.startMs)
            pending += part.bytes;
        else if (now < part.endMs) // the times add up fractions: a byte that is all but gone has gone
            pending +=
                part.bytes -
                qint64(std::floor((now - part.startMs) / (part.endMs - part.startMs) * double(part.bytes) +
                                  LINE_ROUNDING));
    }
    return pending;
}

std::optional<qint64> ScriptedPort::WrittenAt() const
{
    if (!m_writtenAt || *m_writtenAt > appClock().now())
        return std::nullopt;
    return m_writtenAt;
}

void ScriptedPort::resetLine()
{
    m_line.clear();
    m_writtenAt.reset();
}

void ScriptedPort::feed(const QByteArray& block)
{
    // As the component's hand-over: a block that comes during a pause waits for its end.
    appClock().whenNotPaused([this, block] {
        if (m_open && ReceiveCallBack)
            runGuarded([&] { ReceiveCallBack(block); });
    });
}

void ScriptedPort::vanish()
{
    if (!m_open)
        return;
    Close();
    if (OnDeviceLost)
        runGuarded([&] { OnDeviceLost(this); });
}

QByteArray ScriptedPort::sentBytes() const
{
    QByteArray all;
    for (const Sent& s : sent)
        all += s.bytes;
    return all;
}
