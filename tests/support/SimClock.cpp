#include "SimClock.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

void SimClock::pause(int ms)
{
    pauses.append({m_now, ms});
    beginPause();
    m_now += ms;
    if (duringPause)
        duringPause(ms);
    endPause();
}

void SimClock::settle()
{
    // Work queued for "after this handler" (kept answers, for one) runs now too.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    if (!m_releaseDue)
        return;
    m_releaseDue = false;
    releaseHeld();
}

void SimClock::remove(WindowTimer& timer)
{
    std::erase_if(m_entries, [&](const Entry& e) { return e.timer == &timer; });
}

void SimClock::timerChanged(WindowTimer& timer)
{
    remove(timer);
    if (timer.Enabled() && timer.Interval() > 0)
        m_entries.push_back({&timer, m_now + timer.Interval(), m_order++});
}

void SimClock::timerGone(WindowTimer& timer)
{
    remove(timer);
}

void SimClock::advance(qint64 ms)
{
    const qint64 target = m_now + ms;
    settle();
    for (;;) {
        auto next = std::min_element(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
            return a.due != b.due ? a.due < b.due : a.order < b.order;
        });
        if (next == m_entries.end() || next->due > target)
            break;
        // A timer that fell due during a pause fires once, when the pause is over.
        m_now = std::max(m_now, next->due);
        next->due = m_now + next->timer->Interval();
        next->order = m_order++;
        next->timer->fire();
        settle();
    }
    m_now = std::max(m_now, target);
}

bool SimClock::advanceUntil(const std::function<bool()>& condition, qint64 maxMs)
{
    for (qint64 waited = 0; waited < maxMs; ++waited) {
        if (condition())
            return true;
        advance(1);
    }
    return condition();
}
