#include "sim/SentRecord.h"

#include "sim/SimLog.h"

namespace {

QLatin1StringView kindName(BlockKind kind)
{
    switch (kind) {
    case BlockKind::Reply:
        return QLatin1StringView("reply");
    case BlockKind::Telemetry:
        return QLatin1StringView("telemetry");
    case BlockKind::Shot:
        return QLatin1StringView("shot");
    case BlockKind::End:
        return QLatin1StringView("end");
    case BlockKind::Ack:
        return QLatin1StringView("ack");
    }
    return QLatin1StringView("unknown");
}

} // namespace

void SentRecord::sent(qint64 ms, BlockKind kind, const QByteArray& block)
{
    writeLine(QStringLiteral("%1 %2 %3").arg(ms).arg(kindName(kind), SimLog::hex(block)));
}
