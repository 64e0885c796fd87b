// Synthetic sensor readings for the telemetry stream: a blade that slowly tilts
// from vertical to horizontal and back (or is held in one of the two reference
// poses), a slightly unsteady hand, LED drive levels with flicker, a battery that
// drains slowly and the USB supply.
#pragma once

#include <QtGlobal>
#include <random>

struct TelemetryValues {
    qint16 posx = 0, posy = 0, posz = 0;
    qint16 rotx = 0, roty = 0, rotz = 0;
    qint16 red = 0, green = 0, blue = 0;
    qint16 battery = 0, usb = 0;
};

// Colour levels (0..254) and flicker depths (0..100) of the lit blade.
struct LedSetting {
    int red = 0, green = 0, blue = 0;
    int flickerRed = 0, flickerGreen = 0, flickerBlue = 0;
};

enum class Pose { Sweep, Vertical, Horizontal };

class MotionModel {
public:
    MotionModel();

    void setPose(Pose pose) { m_pose = pose; }
    Pose pose() const { return m_pose; }

    TelemetryValues sample(qint64 nowMs, const LedSetting& led);

private:
    double tilt(double seconds) const;     // radians from vertical
    double tiltRate(double seconds) const; // radians per second
    int noise();
    int flickered(int level, int depth);

    Pose m_pose = Pose::Sweep;
    std::minstd_rand m_random;
};
