// Simulated time for tests: timers fire and pauses pass only when the test
// advances the clock, so long sequences are checked to the millisecond at once.
#pragma once

#include "common/Clock.h"

#include <QList>
#include <functional>
#include <vector>

class SimClock final : public Clock {
public:
    struct Pause {
        qint64 at;
        int ms;
    };

    qint64 now() const override { return m_now; }
    void pause(int ms) override;
    void timerChanged(WindowTimer& timer) override;
    void timerGone(WindowTimer& timer) override;

    // Lets ms of simulated time pass, firing every timer that falls due, in order.
    void advance(qint64 ms);
    // Advances in steps of 1 ms until the condition holds; false if it did not
    // within maxMs.
    bool advanceUntil(const std::function<bool()>& condition, qint64 maxMs);
    // Runs what a finished pause held back, as the event loop would once the
    // handler that paused has returned (advance() does this first).
    void settle();

    QList<Pause> pauses;
    // Runs inside every pause, after its time has passed: a test delivers blocks
    // or ticks here to check that they wait for the end of the pause.
    std::function<void(int ms)> duringPause;

protected:
    void scheduleRelease() override { m_releaseDue = true; }

private:
    struct Entry {
        WindowTimer* timer;
        qint64 due;
        quint64 order;
    };
    void remove(WindowTimer& timer);

    qint64 m_now = 0;
    quint64 m_order = 0;
    bool m_releaseDue = false;
    std::vector<Entry> m_entries;
};

// Installs a SimClock for the lifetime of this object (unless told not to, for
// tests that run on real time).
class ScopedSimClock {
public:
    explicit ScopedSimClock(bool install = true)
        : m_installed(install)
    {
        if (m_installed)
            setClock(&clock);
    }
    ~ScopedSimClock()
    {
        if (m_installed)
            setClock(nullptr);
    }
    SimClock clock;

private:
    bool m_installed;
};
