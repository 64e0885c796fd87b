#include "comm/LineSettings.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<quint32, speed_t>, 30> kSpeeds{{
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
}};

constexpr std::array<std::pair<quint8, tcflag_t>, 4> kCharacterSizes{
    {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}}};

constexpr tcflag_t kParityFlags = PARENB | PARODD | CMSPAR;

tcflag_t characterSize(quint8 dataBits)
{
    for (const auto& [bits, flag] : kCharacterSizes)
        if (bits == dataBits)
            return flag;
    return CS8;
}

tcflag_t parityFlags(ParityMode parity)
{
    switch (parity) {
    case ptODD:
        return PARENB | PARODD;
    case ptEVEN:
        return PARENB;
    case ptMARK:
        return PARENB | CMSPAR | PARODD;
    case ptSPACE:
        return PARENB | CMSPAR;
    case ptNONE:
        break;
    }
    return 0;
}

tcflag_t stopBitFlags(StopBitCount stopBits)
{
    return stopBits == sbONE ? 0 : CSTOPB;
}

} // namespace

bool speedForBaud(quint32 baud, speed_t& speed)
{
    for (const auto& [rate, constant] : kSpeeds)
        if (rate == baud) {
            speed = constant;
            return true;
        }
    return false;
}

void applyLineSettings(termios& tio, quint32 baud, quint8 dataBits, ParityMode parity, StopBitCount stopBits)
{
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR);
    tio.c_cflag &= ~(CSIZE | kParityFlags | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD | characterSize(dataBits) | parityFlags(parity) | stopBitFlags(stopBits);
    // Reads never wait: the descriptor is non-blocking and polled.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    speed_t speed = B0;
    if (speedForBaud(baud, speed)) {
        cfsetispeed(&tio, speed);
        cfsetospeed(&tio, speed);
    }
}
