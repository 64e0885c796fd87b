#include "sim/BoardBlocks.h"

namespace {

constexpr int BYTE_BITS = 8;
constexpr int BYTE_MASK = 0xFF;
constexpr char UPLOAD_DONE_TEXT[] = "End.";

void appendBigEndian(QByteArray& block, qint16 value)
{
    const auto bits = static_cast<quint16>(value);
    block.append(static_cast<char>(bits >> BYTE_BITS));
    block.append(static_cast<char>(bits & BYTE_MASK));
}

void appendLittleEndian(QByteArray& block, qint16 value)
{
    const auto bits = static_cast<quint16>(value);
    block.append(static_cast<char>(bits & BYTE_MASK));
    block.append(static_cast<char>(bits >> BYTE_BITS));
}

} // namespace

namespace BoardBlocks {

QByteArray readAnswer(quint8 address, quint8 value)
{
    QByteArray block;
    block.append(Define::READ_CMD);
    block.append(static_cast<char>(address));
    block.append(static_cast<char>(value));
    return block;
}

QByteArray telemetry(const TelemetryValues& v, quint8 status, quint8 sequence)
{
    QByteArray block;
    block.reserve(Define::TELEMETRY_MIN_BLOCK);
    block.append(static_cast<char>(Define::TELEMETRY_START));
    for (const qint16 value :
         {v.posx, v.posy, v.posz, v.rotx, v.roty, v.rotz, v.red, v.green, v.blue, v.battery, v.usb})
        appendBigEndian(block, value);
    block.append(static_cast<char>(status));
    block.append(static_cast<char>(sequence));
    return block;
}

QByteArray shot(const ShotSamples& samples)
{
    QByteArray block;
    block.append(static_cast<char>(Define::SHOT_START));
    block.append(static_cast<char>(Define::SHOT_START));
    for (const qint16 sample : samples)
        appendLittleEndian(block, sample);
    return block;
}

QByteArray uploadDone()
{
    return QByteArray(UPLOAD_DONE_TEXT);
}

QByteArray loaderAck(char code)
{
    return QByteArray(1, code);
}

} // namespace BoardBlocks
