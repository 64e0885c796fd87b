// Line settings of the serial component expressed as termios flags.
//
// Parity: ptMARK and ptSPACE use CMSPAR ("stick" parity), which the common UART
// and USB-serial drivers honour; a driver without it sends plain odd/even parity.
// Stop bits: sbONE5 sets CSTOPB like snTWO. A UART sends 1.5 stop bits when CSTOPB
// is combined with 5 data bits (the only size at which 1.5 exists), two otherwise.
// Data bits outside 5..8 fall back to 8. A baud rate without a termios constant
// leaves the speed as it was, as a rejected line setting did on the original
// platform (the component never checked that result).
#pragma once

#include "comm/SerialPort.h"

#include <termios.h>

// Raw binary line: no echo, no line editing, no character translation, no
// flow control of any kind, receiver on, modem-control lines ignored.
void applyLineSettings(termios& tio, quint32 baud, quint8 dataBits, ParityMode parity, StopBitCount stopBits);

// The termios speed constant for a baud rate; false when there is none.
bool speedForBaud(quint32 baud, speed_t& speed);
