#include "WaitFor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace {
constexpr int HEARTBEAT_MS = 5; // wakes the loop to look at the condition and the deadline
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QTimer heartbeat;
    heartbeat.start(HEARTBEAT_MS);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void RunEventsFor(int ms)
{
    QDeadlineTimer deadline(ms);
    WaitFor([&] { return deadline.hasExpired(); }, ms + HEARTBEAT_MS);
}
