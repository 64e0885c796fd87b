#include "firmware/HexLayout.h"

#include "common/Define.h"

#include <algorithm>
#include <utility>

using namespace Define;

namespace Hex {

namespace {

constexpr int HEX_BASE = 16;
constexpr int SHORT_ADDRESS_DIGITS = 4;
constexpr int LONG_ADDRESS_DIGITS = 8;
constexpr qint64 SHORT_ADDRESS_END = 0x10000;
constexpr int BITS_PER_BYTE = 8;

constexpr int EXTENDED_SEGMENT_ADDRESS = 2;
constexpr int EXTENDED_LINEAR_ADDRESS = 4;
constexpr int SEGMENT_SHIFT = 4; // a segment is counted in 16-byte paragraphs
constexpr int LINEAR_SHIFT = 16; // a linear base gives the upper half of the address

qint64 bigEndian(const QList<int>& data)
{
    qint64 value = 0;
    for (const int byte : data)
        value = (value << BITS_PER_BYTE) | byte;
    return value;
}

} // namespace

QString AddressText(qint64 address, qint64 widest)
{
    const int digits =
        std::max(address, widest) < SHORT_ADDRESS_END ? SHORT_ADDRESS_DIGITS : LONG_ADDRESS_DIGITS;
    return QStringLiteral("0x") + QString::number(address, HEX_BASE).rightJustified(digits, u'0').toUpper();
}

std::optional<QString> DataRun::take(int type, int address, const QList<int>& data, qsizetype line)
{
    switch (type) {
    case HEX_RECORD_DATA:
        if (data.size() % HEX_WORD_ADDRESS_STEP != 0)
            return QStringLiteral("odd byte count %1: the last byte would be dropped and every later word "
                                  "moved by one byte")
                .arg(data.size());
        // A record without data puts nothing anywhere.
        if (data.isEmpty())
            return std::nullopt;
        return placeData(m_base + address, data.size());
    case EXTENDED_SEGMENT_ADDRESS:
        m_base = bigEndian(data) << SEGMENT_SHIFT;
        m_baseLine = line;
        return std::nullopt;
    case EXTENDED_LINEAR_ADDRESS:
        m_base = bigEndian(data) << LINEAR_SHIFT;
        m_baseLine = line;
        return std::nullopt;
    default: // end of file and start addresses place nothing
        return std::nullopt;
    }
}

std::optional<QString> DataRun::placeData(qint64 address, qsizetype count)
{
    const std::optional<qsizetype> baseLine = std::exchange(m_baseLine, std::nullopt);
    if (!m_next) {
        // The board takes the file's byte pairs as its words: data that began
        // inside a word would put every word one byte off.
        if (address % HEX_WORD_ADDRESS_STEP != 0)
            return QStringLiteral("address %1 is odd: the data would begin inside a word and every word be "
                                  "moved by one byte")
                .arg(AddressText(address));
        m_first = address;
    } else if (address != *m_next) {
        QString where = AddressText(address);
        if (baseLine)
            where += QStringLiteral(" (with the extended address of line %1)").arg(*baseLine + 1);
        if (address > *m_next)
            return QStringLiteral("address %1 leaves a gap after %2").arg(where, AddressText(*m_next - 1));
        if (address >= m_previous)
            return QStringLiteral("address %1 overlaps the data up to %2")
                .arg(where, AddressText(*m_next - 1));
        return QStringLiteral("address %1 runs backwards, below the line before at %2")
            .arg(where, AddressText(m_previous));
    }
    m_previous = address;
    m_next = address + count;
    return std::nullopt;
}

} // namespace Hex
