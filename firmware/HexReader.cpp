#include "firmware/HexReader.h"

#include "common/Define.h"

using namespace Define;

namespace Hex {

namespace {

constexpr int HEX_BASE = 16;
constexpr int FIRST_LETTER_DIGIT = 0xA;

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + FIRST_LETTER_DIGIT;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + FIRST_LETTER_DIGIT;
    return -1;
}

QString conversionError(QStringView line, int from, int count)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(line.mid(from, count).toString());
}

} // namespace

bool HexField(QStringView line, int from, int count, int& value)
{
    if (from + count > line.size())
        return false;
    value = 0;
    for (int i = from; i < from + count; ++i) {
        const int digit = digitValue(line[i]);
        if (digit < 0)
            return false;
        value = value * HEX_BASE + digit;
    }
    return true;
}

DecodedLine DecodeHexRecord(QStringView line)
{
    DecodedLine result;
    if (line.isEmpty() || line[0] != QLatin1Char(HEX_START_CODE)) {
        result.intelHex = false;
        return result;
    }
    int count = 0;
    if (!HexField(line, HEX_COUNT_POS, HEX_BYTE_DIGITS, count)) {
        result.conversionError = conversionError(line, HEX_COUNT_POS, HEX_BYTE_DIGITS);
        return result;
    }
    // Only "00" is a data record; the type is compared as text, never converted.
    const QStringView type = line.mid(HEX_TYPE_POS, HEX_BYTE_DIGITS);
    if (type != u"00")
        return result;
    int address = 0;
    if (!HexField(line, HEX_ADDRESS_POS, HEX_ADDRESS_DIGITS, address)) {
        result.conversionError = conversionError(line, HEX_ADDRESS_POS, HEX_ADDRESS_DIGITS);
        return result;
    }
    result.address = static_cast<std::uint16_t>(address);
    const int words = count / HEX_WORD_ADDRESS_STEP;
    for (int k = 0; k < words; ++k) {
        const int from = HEX_DATA_POS + HEX_WORD_DIGITS * k;
        int word = 0;
        if (!HexField(line, from, HEX_WORD_DIGITS, word)) {
            result.conversionError = conversionError(line, from, HEX_WORD_DIGITS);
            return result;
        }
        result.words.append(static_cast<std::uint16_t>(word));
    }
    return result;
}

} // namespace Hex
