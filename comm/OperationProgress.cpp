#include "comm/OperationProgress.h"

QString OperationProgress::cutShort(const QString& port) const
{
    return QStringLiteral("%1 stopped after %2 of %3 %4: the connection to %5 was lost.")
        .arg(name)
        .arg(done)
        .arg(total)
        .arg(unit, port);
}
