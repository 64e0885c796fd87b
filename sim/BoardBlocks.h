// The blocks the board sends, byte for byte. Each is handed to the port in one
// write so that it reaches the tool as a block of its own, unless the wire is
// shaped to cut or join them (sim/WireShape.h).
#pragma once

#include "common/Define.h"
#include "sim/MotionModel.h"

#include <QByteArray>
#include <array>

namespace BoardBlocks {

// Answer to a parameter read: "2", the address, the value.
QByteArray readAnswer(quint8 address, quint8 value);

// Telemetry: 0xFF, the eleven readings as big-endian signed 16-bit values, the
// board status, and a trailing sequence byte (so the block is 25 bytes long).
QByteArray telemetry(const TelemetryValues& values, quint8 status, quint8 sequence);

// Shot record: 0xAA 0xAA and the samples as little-endian signed 16-bit values.
using ShotSamples = std::array<qint16, Define::SHOT_SAMPLES>;
QByteArray shot(const ShotSamples& samples);

// Sent when a sample stream has ended.
QByteArray uploadDone();

// The loader's acknowledgement of a command: the command's own code.
QByteArray loaderAck(char code);

} // namespace BoardBlocks
