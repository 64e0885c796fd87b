#include "common/Clock.h"

#include "common/Application.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QTimer>

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

constexpr int PAUSE_REPAINT_SLICE_MS = 10;

} // namespace

Clock& appClock()
{
    return *current;
}

void setClock(Clock* replacement)
{
    current = replacement ? replacement : &realClock;
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
    if (m_enabled && m_onTimer)
        runGuarded(m_onTimer);
}

qint64 RealClock::now() const
{
    return origin().elapsed();
}

void RealClock::pause(int ms)
{
    // The user-interface thread is blocked as a pause requires (no input, no timer,
    // no received data), but pending repaints still go out, so a progress bar
    // updated before the pause shows and the window does not look hung.
    QElapsedTimer elapsed;
    elapsed.start();
    for (qint64 left = ms; left > 0; left = ms - elapsed.elapsed()) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, PAUSE_REPAINT_SLICE_MS)));
    }
}

void RealClock::timerChanged(WindowTimer& timer)
{
    auto* qtimer = static_cast<QTimer*>(timer.backend);
    if (!qtimer) {
        qtimer = new QTimer(&timer);
        qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(qtimer, &QTimer::timeout, &timer, &WindowTimer::fire);
        timer.backend = qtimer;
    }
    qtimer->stop();
    if (timer.Enabled() && timer.Interval() > 0)
        qtimer->start(timer.Interval());
}

void RealClock::timerGone(WindowTimer&) {}
