#include "sim/TrafficLog.h"

#include "sim/SimLog.h"

void TrafficLog::received(qint64 ms, const QByteArray& chunk)
{
    writeLine(QStringLiteral("%1 RX %2").arg(ms).arg(SimLog::hex(chunk)));
}

void TrafficLog::late(const LateFrame& frame)
{
    writeLine(frame.describe());
}
