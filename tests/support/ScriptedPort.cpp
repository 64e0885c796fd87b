#include "ScriptedPort.h"

#include "common/Application.h"
#include "common/Clock.h"

void ScriptedPort::Open()
{
    if (m_open)
        return;
    if (!failOpenReason.isEmpty())
        throw EComError(QStringLiteral("TCOMPORT : cannot open ") + Port() + QLatin1Char('\r') +
                        failOpenReason);
    m_open = true;
    ++openCount;
    if (OnPortOpen)
        OnPortOpen(this);
}

void ScriptedPort::Close()
{
    if (!m_open)
        return;
    m_open = false;
    ++closeCount;
    if (OnPortClose)
        OnPortClose(this);
}

void ScriptedPort::Send(const QByteArray& data)
{
    if (m_open && !data.isEmpty())
        sent.append({appClock().now(), data});
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
