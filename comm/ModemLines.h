// The modem-control lines and the line-error counters of a serial device, as
// the port's thread samples them to tell the component about line events.
#pragma once

#include <QtGlobal>

// Modem lines and error counters exist on UARTs and USB adapters; pseudo-terminals
// and some USB classes refuse the requests, which is no failure.
enum class LineQuery { Ok, Unsupported, Gone };

// The line events (ComEvent bits) that tell a change from one modem status
// (ModemStatus bits) to another.
quint32 lineEvents(quint32 before, quint32 after);

// Raises or lowers modem lines (TIOCM_ bits); devices without them are left alone.
void setModemLines(int fd, int lines, bool on);

// The modem status (ModemStatus bits) into status when the device has one.
LineQuery readModemStatus(int fd, quint32& status);

// The errors the line-error event stands for, so far: framing, overrun and parity.
LineQuery readErrorCount(int fd, quint64& count);
