#include "params/SerialNumber.h"

#include "common/Define.h"

namespace Params {

QString FormatSerialPart(int num)
{
    QString text = QStringLiteral("%1").arg(num, Define::SERIAL_PART_MIN_DIGITS);
    text.replace(u' ', u'0');
    return text;
}

QString SerialHeaderText(const QString& firstPartCaption, int num)
{
    return firstPartCaption + u'-' + FormatSerialPart(num);
}

} // namespace Params
