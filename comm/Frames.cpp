#include "comm/Frames.h"

#include "common/Define.h"

namespace {
constexpr std::uint8_t BYTE_MASK = 0xFF;
constexpr int BITS_PER_BYTE = 8;

std::uint8_t byteOf(std::uint32_t value, int index)
{
    return static_cast<std::uint8_t>((value >> (BITS_PER_BYTE * index)) & BYTE_MASK);
}
} // namespace

QByteArray BuildFrame(char code, const FramePayload& payload)
{
    QByteArray frame;
    frame.reserve(Define::COMAND_LENGHT);
    frame.append(Define::START_CHAR);
    frame.append(code);
    for (std::uint8_t b : payload)
        frame.append(static_cast<char>(b));
    frame.append(Define::END_CHAR);
    return frame;
}

QByteArray AddressFrame(char code, std::uint32_t address)
{
    return BuildFrame(code, {byteOf(address, 0), byteOf(address, 1), byteOf(address, 2), 0});
}

QByteArray ParameterWriteFrame(int address, int value)
{
    return BuildFrame(Define::WRITE_CMD, {byteOf(static_cast<std::uint32_t>(address), 0),
                                          byteOf(static_cast<std::uint32_t>(value), 0), 0, 0});
}

QByteArray SweepReadFrame(int address)
{
    const std::uint8_t a = byteOf(static_cast<std::uint32_t>(address), 0);
    return BuildFrame(Define::READ_CMD, {a, a, 0, 0});
}

QByteArray NoArgumentFrame(char code)
{
    return BuildFrame(code, {0, 0, 0, 0});
}

QByteArray LoaderFrame(char code, std::uint16_t argument)
{
    QByteArray frame;
    frame.reserve(Define::LOADER_FRAME_LENGTH);
    frame.append(Define::START_CHAR);
    frame.append(code);
    frame.append(static_cast<char>(byteOf(argument, 0)));
    frame.append(static_cast<char>(byteOf(argument, 1)));
    frame.append(Define::END_CHAR);
    return frame;
}

bool IsParameterWrite(const QByteArray& frame)
{
    return frame.size() == Define::COMAND_LENGHT && frame[0] == Define::START_CHAR &&
           frame[1] == Define::WRITE_CMD;
}
