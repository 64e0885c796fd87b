// The bytes of every command the tool sends. One builder serves all senders.
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

using FramePayload = std::array<std::uint8_t, 4>;

// "#", code, the four payload bytes, LF.
QByteArray BuildFrame(char code, const FramePayload& payload);

// Payload byte 1..3 carry a 24-bit address, least significant byte first.
QByteArray AddressFrame(char code, std::uint32_t address);
// Parameter write: address, value. Values are cut to a byte.
QByteArray ParameterWriteFrame(int address, int value);
// True for a 7-byte parameter write frame ("#", "1", ...).
bool IsParameterWrite(const QByteArray& frame);
// Sweep read: the address twice.
QByteArray SweepReadFrame(int address);
// All four payload bytes zero.
QByteArray NoArgumentFrame(char code);
// The loader's 5-byte frame: "#", code, argument low byte, high byte, LF.
QByteArray LoaderFrame(char code, std::uint16_t argument);
