#include "params/SerialNumber.h"

#include "common/Define.h"

#include <climits>
#include <cstdint>

namespace Params {
namespace {

// A part whose bytes all hold the "not set" value, as the decoder assembles it.
int unsetPart()
{
    std::uint32_t bits = 0;
    for (int i = 0; i < Define::SERIAL_PART_BYTES; ++i)
        bits = (bits << CHAR_BIT) | Define::PARAMETER_NOT_SET;
    return static_cast<std::int32_t>(bits);
}

} // namespace

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

bool SerialIsUnset(const QString& serialNumber)
{
    // The lot is shown as it is and the running serial padded: neither text of
    // an unset part can be read into the other side of the "-".
    const int unset = unsetPart();
    return serialNumber.startsWith(QString::number(unset) + u'-') ||
           serialNumber.endsWith(u'-' + FormatSerialPart(unset));
}

} // namespace Params
