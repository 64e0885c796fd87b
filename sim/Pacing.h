// The board's readiness between frames. Some frames keep the board busy for a
// while after their last byte (a parameter write, a sector erase); a frame whose
// first byte arrives before then is late. Each late frame is counted and kept
// for the control channel; in strict mode the board also drops it, as a busy
// board would: not acted on, not answered.
//
// The check judges what the tool did, not when the simulator happened to read
// (sim/Arrival.h): the busy time runs from the earliest moment the busy frame's
// last byte can have come, and a frame is late only if even the latest moment
// its first byte can have come, its read, falls inside it. The gap so measured
// is the largest the tool can have left, so a late read by the simulator only
// ever widens it: a paced tool is never blamed, while a frame sent at half the
// board's pace is still caught whenever the simulator keeps up.
#pragma once

#include "sim/FrameParser.h"

#include <QString>
#include <deque>
#include <functional>

struct LateFrame {
    QByteArray frame;
    qint64 arrivedMs = 0; // first byte of the late frame
    qint64 gapMs = 0;     // the most the tool can have left since the busy frame's last byte
    char busyCode = 0;    // that frame's code
    int busyMs = 0;       // how long that frame keeps the board busy
    bool dropped = false;

    // "<ms> LATE 23 31 19 34 00 00 0A gap=3 after=1 busy=100 dropped"
    QString describe() const;
};

class Pacing {
public:
    void setStrict(bool strict) { m_strict = strict; }
    bool strict() const { return m_strict; }

    // Whether the board acts on the frame. A frame it acts on keeps it busy for
    // busyMs (0: ready for the next frame at once).
    bool admit(const Frame& frame, int busyMs);
    // The board comes out of reset ready.
    void reset();
    // Time left until the board surely takes the next frame: counted from the
    // read of the busy frame's last byte, the latest it can have come, so that a
    // sender told "ready" is past the busy time whenever the frame really came.
    qint64 busyLeftMs(qint64 nowMs) const;

    qint64 lateCount() const { return m_lateCount; }
    // The most recent late frames, oldest first.
    const std::deque<LateFrame>& recent() const { return m_recent; }

    // Told about every late frame.
    std::function<void(const LateFrame& late)> onLate;

private:
    bool m_strict = false;
    qint64 m_busyUntilMs = 0;
    qint64 m_busySinceMs = 0; // earliest last byte of the frame that set m_busyUntilMs
    qint64 m_surelyReadyMs = 0;
    char m_busyCode = 0;
    int m_busyMs = 0;
    qint64 m_lateCount = 0;
    std::deque<LateFrame> m_recent;
};
