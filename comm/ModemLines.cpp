#include "comm/ModemLines.h"

#include "comm/ComPort.h"

#include <array>
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

namespace {

struct ModemLine {
    int tiocmBit;
    quint32 statusBit;
    quint32 eventBit;
};
constexpr std::array<ModemLine, 4> kModemLines{{
    {TIOCM_CTS, ModemStatus::CTS_ON, ComEvent::CTS},
    {TIOCM_DSR, ModemStatus::DSR_ON, ComEvent::DSR},
    {TIOCM_CAR, ModemStatus::RLSD_ON, ComEvent::RLSD},
    {TIOCM_RNG, ModemStatus::RING_ON, ComEvent::RING},
}};

quint32 modemStatusFromTiocm(int tiocm)
{
    quint32 status = 0;
    for (const ModemLine& line : kModemLines)
        if (tiocm & line.tiocmBit)
            status |= line.statusBit;
    return status;
}

LineQuery queryResult(int result)
{
    if (result == 0)
        return LineQuery::Ok;
    return errno == EIO ? LineQuery::Gone : LineQuery::Unsupported;
}

} // namespace

quint32 lineEvents(quint32 before, quint32 after)
{
    quint32 events = 0;
    for (const ModemLine& line : kModemLines)
        if ((before ^ after) & line.statusBit)
            events |= line.eventBit;
    return events;
}

void setModemLines(int fd, int lines, bool on)
{
    // Pseudo-terminals have no modem lines and refuse: nothing to do then.
    ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines);
}

LineQuery readModemStatus(int fd, quint32& status)
{
    int tiocm = 0;
    const LineQuery result = queryResult(::ioctl(fd, TIOCMGET, &tiocm));
    if (result == LineQuery::Ok)
        status = modemStatusFromTiocm(tiocm);
    return result;
}

LineQuery readErrorCount(int fd, quint64& count)
{
    serial_icounter_struct counts{};
    const LineQuery result = queryResult(::ioctl(fd, TIOCGICOUNT, &counts));
    if (result == LineQuery::Ok)
        count = static_cast<quint64>(counts.frame) + counts.overrun + counts.parity;
    return result;
}
