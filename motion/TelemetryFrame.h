// The telemetry frame the board streams in TX mode, and what the tool derives
// from it: the program-wide telemetry state, the monitor grid's cells and the
// battery gauge. No widgets here.
#pragma once

#include "common/Define.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <array>

namespace Motion {

struct TelemetryState {
    qint16 posx = 0; // accelerometer
    qint16 posy = 0;
    qint16 posz = 0;
    qint16 rotx = 0; // gyroscope
    qint16 roty = 0;
    qint16 rotz = 0;
    qint16 Red = 0;
    qint16 Green = 0;
    qint16 Blue = 0;
    qint16 Battery_V = 0; // raw counts
    qint16 USB_V = 0;
    qint32 STATO = 0; // board status byte, 0 to 255
};

// The 16-bit fields in the order the frame carries them.
inline constexpr std::array<qint16 TelemetryState::*, Define::TELEMETRY_FIELD_COUNT> TELEMETRY_FIELDS = {
    &TelemetryState::posx, &TelemetryState::posy,      &TelemetryState::posz, &TelemetryState::rotx,
    &TelemetryState::roty, &TelemetryState::rotz,      &TelemetryState::Red,  &TelemetryState::Green,
    &TelemetryState::Blue, &TelemetryState::Battery_V, &TelemetryState::USB_V};

// Overwrites the whole state from a frame. A block too short to hold one
// leaves the state alone and returns false.
bool DecodeTelemetry(const QByteArray& block, TelemetryState& state);

// Upper-case hexadecimal of the value widened to 32 bits, at least two digits:
// -2 is FFFFFFFE, 5 is 05.
QString TelemetryHex(qint32 value);
// "ACTIVE", "SLEEP", "COMMAND MODE TX", "COMMAND MODE NO TX"; empty for any other value.
QString StatoText(qint32 stato);

struct GridCell {
    int column;
    int row;
    QString text;
};
// What one frame writes into the monitor's telemetry grid. The state text cell
// is missing for an unknown state, so the grid keeps what it showed.
QList<GridCell> TelemetryGridCells(const TelemetryState& state);

struct BatteryGauge {
    int percent;
    int barWidth; // pixels
};

// The last readings of the battery, oldest first, averaged into a percentage.
class BatteryWindow {
public:
    BatteryGauge add(qint16 reading);

private:
    std::array<qint16, Define::MAXMEASURES_BATT> m_entries{};
};

// The shot's samples (little-endian), as many whole ones as the block holds, at most 50.
QList<qint16> DecodeShot(const QByteArray& block);

} // namespace Motion

// The program-wide telemetry state and battery window, for the whole run.
extern Motion::TelemetryState Telemetry;
extern Motion::BatteryWindow MEASURES_BATTERY;
