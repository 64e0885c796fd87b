// Time as the windows see it: window timers and the blocking pause.
// Production runs on precise Qt timers and real sleeps; tests install a
// simulated clock on which a nine-second sequence runs in microseconds.
#pragma once

#include <QObject>
#include <functional>

class WindowTimer;

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary origin, monotonic.
    virtual qint64 now() const = 0;
    // Blocks the user-interface thread for ms milliseconds. Received data and
    // timer ticks wait until the pause is over.
    virtual void pause(int ms) = 0;
    // A timer's Enabled or Interval changed, or it is being destroyed (gone).
    virtual void timerChanged(WindowTimer& timer) = 0;
    virtual void timerGone(WindowTimer& timer) = 0;
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
    // default error box.
    void fire();

    // Clock-specific bookkeeping (the real clock keeps its QTimer here).
    QObject* backend = nullptr;

private:
    Clock& m_clock;
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
};
