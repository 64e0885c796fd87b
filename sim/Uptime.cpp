#include "sim/Uptime.h"

#include <QElapsedTimer>

qint64 uptimeMs()
{
    static const QElapsedTimer origin = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return origin.elapsed();
}
