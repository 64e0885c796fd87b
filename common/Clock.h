// Time as the windows see it: window timers and the blocking pause.
// Production runs on precise Qt timers and real sleeps; tests install a
// simulated clock on which a nine-second sequence runs in microseconds.
#pragma once

#include <QObject>
#include <deque>
#include <functional>

class WindowTimer;

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary origin, monotonic.
    virtual qint64 now() const = 0;
    // Blocks the handler that calls it for ms milliseconds. The windows keep
    // painting, but no input, no timer tick and no received block runs until the
    // pause is over: those are held back and run afterwards, in their order.
    virtual void pause(int ms) = 0;
    // A timer's Enabled or Interval changed, or it is being destroyed (gone).
    virtual void timerChanged(WindowTimer& timer) = 0;
    virtual void timerGone(WindowTimer& timer) = 0;

    // True while a pause runs.
    bool pausing() const { return m_pauseDepth > 0; }
    // Runs work now, or, during a pause or while work held back earlier still
    // waits, after it: work keeps the order in which it arrived.
    void whenNotPaused(std::function<void()> work);
    // Number of pieces of work waiting for the end of a pause.
    int heldCount() const { return static_cast<int>(m_held.size()); }

protected:
    // Brackets the waiting of pause(); the outermost end schedules the release.
    void beginPause() { ++m_pauseDepth; }
    void endPause();
    // Runs the held work, oldest first, until it is done or a new pause begins
    // (what is left then waits for that pause to end).
    void releaseHeld();
    // Arranges for releaseHeld() to run once the current handler has returned.
    virtual void scheduleRelease() = 0;

private:
    int m_pauseDepth = 0;
    bool m_releasing = false;
    std::deque<std::function<void()>> m_held;
};

// The clock in use; never null.
Clock& appClock();
// Installs another clock (tests), nullptr restores the real one. Install it before
// creating timers: a timer stays with the clock it was created under.
void setClock(Clock* replacement);

// Shorthand for the blocking pause.
inline void Sleep(int ms)
{
    appClock().pause(ms);
}

// A window timer: an enabled flag, an interval and a tick handler. As on the
// classic toolkits, enabling it or changing its interval restarts the period;
// the handler may disable, re-enable or re-time the timer from inside a tick.
class WindowTimer : public QObject {
    Q_OBJECT
public:
    explicit WindowTimer(QObject* parent = nullptr, int interval = 1000);
    ~WindowTimer() override;

    bool Enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    int Interval() const { return m_interval; }
    void setInterval(int ms);
    void setOnTimer(std::function<void()> handler) { m_onTimer = std::move(handler); }

    // Runs one tick (called by the clock). Errors stop the tick and reach the
    // default error box. A tick that falls due during a pause runs once, after it.
    void fire();

    // Clock-specific bookkeeping (the real clock keeps its QTimer here).
    QObject* backend = nullptr;

private:
    void tick();

    Clock& m_clock;
    bool m_tickHeld = false;
    bool m_enabled = false;
    int m_interval;
    std::function<void()> m_onTimer;
};

// The clock of the running program.
class RealClock final : public Clock {
public:
    qint64 now() const override;
    void pause(int ms) override;
    void timerChanged(WindowTimer& timer) override;
    void timerGone(WindowTimer& timer) override;

protected:
    void scheduleRelease() override;
};
