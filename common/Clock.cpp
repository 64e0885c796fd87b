#include "common/Clock.h"

#include "common/Guarded.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <algorithm>

namespace {

QElapsedTimer& origin()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

RealClock realClock;
Clock* current = &realClock;

} // namespace

Clock& appClock()
{
    return *current;
}

void setClock(Clock* replacement)
{
    current = replacement ? replacement : &realClock;
}

void Clock::whenNotPaused(std::function<void()> work)
{
    if (!pausing() && m_held.empty()) {
        work();
        return;
    }
    m_held.push_back(std::move(work));
}

void Clock::endPause()
{
    if (--m_pauseDepth == 0 && !m_held.empty())
        scheduleRelease();
}

void Clock::releaseHeld()
{
    if (m_releasing)
        return;
    m_releasing = true;
    while (!pausing() && !m_held.empty()) {
        const std::function<void()> work = std::move(m_held.front());
        m_held.pop_front();
        runGuarded(work);
    }
    m_releasing = false;
}

WindowTimer::WindowTimer(QObject* parent, int interval)
    : QObject(parent)
    , m_clock(appClock())
    , m_interval(interval)
{
}

WindowTimer::~WindowTimer()
{
    m_clock.timerGone(*this);
}

void WindowTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_clock.timerChanged(*this);
}

void WindowTimer::setInterval(int ms)
{
    m_interval = ms;
    m_clock.timerChanged(*this);
}

void WindowTimer::fire()
{
    // Ticks that fall due while one is held coalesce into it, as a desktop's
    // timer messages do.
    if (m_tickHeld)
        return;
    if (!m_clock.pausing() && m_clock.heldCount() == 0) {
        tick();
        return;
    }
    m_tickHeld = true;
    QPointer<WindowTimer> self(this);
    m_clock.whenNotPaused([self] {
        if (!self)
            return;
        self->m_tickHeld = false;
        self->tick();
    });
}

void WindowTimer::tick()
{
    if (m_enabled && m_onTimer)
        runGuarded(m_onTimer);
}

qint64 RealClock::now() const
{
    return origin().elapsed();
}

void RealClock::pause(int ms)
{
    // A nested event loop without user input: windows repaint when uncovered or
    // resized and the desktop's "are you alive" ping is answered, so a 9 s erase
    // never looks hung. Timer ticks and received blocks that come meanwhile are
    // held back by whenNotPaused() and run after the handler that paused.
    beginPause();
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    end.start(std::max(ms, 0));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    endPause();
}

void RealClock::scheduleRelease()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [this] { releaseHeld(); }, Qt::QueuedConnection);
}

namespace {
// When the timer's period last started (by enabling it or changing its interval).
const char* const PERIOD_START = "periodStart";
} // namespace

void RealClock::timerChanged(WindowTimer& timer)
{
    auto* qtimer = static_cast<QTimer*>(timer.backend);
    if (!qtimer) {
        qtimer = new QTimer(&timer);
        qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer, &QTimer::timeout, &timer, [this, &timer, qtimer] {
            const qint64 started = now();
            timer.fire();
            // Qt does not deliver a timer's timeout while that timer's own tick
            // is still running, so a tick that fell due during a pause inside it
            // would be lost and the next one would wait for the period's phase.
            // It runs once, right after, as a tick due in a pause does, and the
            // period starts again from there.
            const qint64 since = std::max(started, qtimer->property(PERIOD_START).toLongLong());
            if (!qtimer->isActive() || now() - since < timer.Interval())
                return;
            qtimer->setProperty(PERIOD_START, now());
            qtimer->start(timer.Interval());
            QMetaObject::invokeMethod(
                &timer,
                [weak = QPointer<WindowTimer>(&timer)] {
                    if (weak)
                        weak->fire();
                },
                Qt::QueuedConnection);
        });
        timer.backend = qtimer;
    }
    qtimer->stop();
    if (timer.Enabled() && timer.Interval() > 0) {
        qtimer->setProperty(PERIOD_START, now());
        qtimer->start(timer.Interval());
    }
}

void RealClock::timerGone(WindowTimer&) {}
