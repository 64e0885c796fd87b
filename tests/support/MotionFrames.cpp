#include "MotionFrames.h"

QByteArray TelemetryBlock(const TelemetryValues& v)
{
    QByteArray block(1, char(0xFF));
    for (qint16 value :
         {v.posx, v.posy, v.posz, v.rotx, v.roty, v.rotz, v.red, v.green, v.blue, v.battery, v.usb}) {
        const auto bits = static_cast<quint16>(value);
        block.append(char(bits >> 8));
        block.append(char(bits & 0xFF));
    }
    block.append(char(v.stato));
    block.append(char(0x5A)); // past the frame: never read
    return block;
}

QByteArray ShotBlock(const QByteArray& sampleBytes)
{
    return QByteArray("\xAA\xAA", 2) + sampleBytes;
}
