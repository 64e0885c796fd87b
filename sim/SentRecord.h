// The record of what the board handed to the wire: one line per message that
// was not dropped, as the board made it (before bundles join and pieces cut it),
// "<ms since start> <kind> <bytes in hexadecimal>", for example
// "1234 reply 32 05 42". Kinds: reply, telemetry, shot, end, ack.
#pragma once

#include "sim/BoardOutput.h"
#include "sim/LineFile.h"

class SentRecord : public LineFile {
public:
    void sent(qint64 ms, BlockKind kind, const QByteArray& block);
};
