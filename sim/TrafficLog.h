// The record of what the board received: one line per chunk read from the port,
// "<ms since start> RX <bytes in hexadecimal>", for example
// "1234 RX 23 32 0A 0A 00 00 0A", and a line for each frame that came while the
// board was busy (see Pacing.h).
#pragma once

#include "sim/LineFile.h"
#include "sim/Pacing.h"

class TrafficLog : public LineFile {
public:
    void received(qint64 ms, const QByteArray& chunk);
    void late(const LateFrame& frame);
};
