// What the firmware window tells the user: the file it is about to send, the
// run's progress, and, whenever a run or an erase ends, what the board holds.
#pragma once

#include "firmware/HexFile.h"

#include <QString>

namespace BootTexts {

// "about 45 s", "about 1 min 6 s"
QString Duration(qint64 ms);

// "0x0000-0x0FFF, 4096 bytes, 2048 words\n257 lines, programming takes about 42 s"
QString Summary(const Hex::HexSummary& summary);

// "1024 of 2048 words written, about 21 s left"
QString Progress(int written, int total, qint64 msLeft);

QString EraseQuestion();
// The loader did not acknowledge the erase.
QString EraseTimeout();
// A run stopped by silence; what the board holds and what to do.
QString RunTimeout();
// A run stopped at a line that is not Intel HEX.
QString NotIntelHex();
// Added to every message about a run or an erase cut short.
QString NoApplication();
QString Done(int words);

} // namespace BootTexts
