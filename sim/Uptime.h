// Milliseconds since the simulator started: the time base of the traffic log,
// of the frame gap and of the synthetic motion.
#pragma once

#include <QtGlobal>

qint64 uptimeMs();
