#include "sim/Pacing.h"

#include "sim/SimDefaults.h"
#include "sim/SimLog.h"

#include <algorithm>

QString LateFrame::describe() const
{
    return QStringLiteral("%1 LATE %2 gap=%3 after=%4 busy=%5 %6")
        .arg(arrivedMs)
        .arg(SimLog::hex(frame))
        .arg(gapMs)
        .arg(QLatin1Char(busyCode))
        .arg(busyMs)
        .arg(dropped ? QLatin1String("dropped") : QLatin1String("taken"));
}

bool Pacing::admit(const Frame& frame, int busyMs)
{
    if (frame.firstByteMs + SimDefaults::CLOCK_ALLOWANCE_MS < m_busyUntilMs) {
        const LateFrame late{.frame = frame.bytes(),
                             .arrivedMs = frame.firstByteMs,
                             .gapMs = frame.firstByteMs - m_busySinceMs,
                             .busyCode = m_busyCode,
                             .busyMs = m_busyMs,
                             .dropped = m_strict};
        ++m_lateCount;
        m_recent.push_back(late);
        if (m_recent.size() > SimDefaults::RECENT_LATE_FRAMES)
            m_recent.pop_front();
        SimLog::note(late.describe());
        if (onLate)
            onLate(late);
        if (m_strict)
            return false;
    }
    if (busyMs > 0 && frame.lastByteNotBeforeMs + busyMs > m_busyUntilMs) {
        m_busyUntilMs = frame.lastByteNotBeforeMs + busyMs;
        m_busySinceMs = frame.lastByteNotBeforeMs;
        m_busyCode = frame.code;
        m_busyMs = busyMs;
    }
    if (busyMs > 0)
        m_surelyReadyMs = std::max(m_surelyReadyMs, frame.lastByteMs + busyMs);
    return true;
}

void Pacing::reset()
{
    m_busyUntilMs = 0;
    m_surelyReadyMs = 0;
}

qint64 Pacing::busyLeftMs(qint64 nowMs) const
{
    return std::max<qint64>(0, m_surelyReadyMs - nowMs);
}
