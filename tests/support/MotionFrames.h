// Blocks the board sends about its motion: telemetry frames and shots, built
// byte by byte as the board lays them out.
#pragma once

#include <QByteArray>
#include <QtGlobal>

struct TelemetryValues {
    qint16 posx = 0, posy = 0, posz = 0;
    qint16 rotx = 0, roty = 0, rotz = 0;
    qint16 red = 0, green = 0, blue = 0;
    qint16 battery = 2800, usb = 3300;
    quint8 stato = 3;
};

// 0xFF, eleven big-endian 16-bit values, the status byte and one spare byte (25 in all).
QByteArray TelemetryBlock(const TelemetryValues& v);
// 0xAA 0xAA followed by the given bytes.
QByteArray ShotBlock(const QByteArray& sampleBytes);
