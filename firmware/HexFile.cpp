#include "firmware/HexFile.h"

#include "common/Define.h"
#include "firmware/HexReader.h"

#include <QFile>
#include <QTextStream>

using namespace Define;

namespace Hex {

namespace {

constexpr int BYTE_MASK = 0xFF;
constexpr int HEX_BASE = 16;

bool isBlank(const QString& line)
{
    return line.trimmed().isEmpty();
}

QString hexByte(int value)
{
    return QStringLiteral("0x") +
           QString::number(value, HEX_BASE).rightJustified(HEX_BYTE_DIGITS, u'0').toUpper();
}

// The fault of one record, or nothing; *endOfFile tells whether it ends the file.
std::optional<QString> recordFault(const QString& line, bool* endOfFile)
{
    if (line.isEmpty())
        return QStringLiteral("empty line");
    if (line[0] != QLatin1Char(HEX_START_CODE))
        return QStringLiteral("no start code ':'");
    for (int i = 1; i < line.size(); ++i) {
        int digit = 0;
        if (!HexField(line, i, 1, digit))
            return QStringLiteral("character %1 ('%2') is not a hexadecimal digit").arg(i + 1).arg(line[i]);
    }
    const int digits = static_cast<int>(line.size()) - 1;
    if (digits % HEX_BYTE_DIGITS != 0)
        return QStringLiteral("odd number of hexadecimal digits");
    const int bytes = digits / HEX_BYTE_DIGITS;
    if (bytes < HEX_FRAMING_BYTES)
        return QStringLiteral("too short for a record");
    QList<int> values;
    for (int b = 0; b < bytes; ++b) {
        int value = 0;
        HexField(line, HEX_COUNT_POS + HEX_BYTE_DIGITS * b, HEX_BYTE_DIGITS, value);
        values.append(value);
    }
    const int count = values.first();
    const int dataBytes = bytes - HEX_FRAMING_BYTES;
    if (count != dataBytes)
        return QStringLiteral("byte count %1, but %2 data bytes").arg(hexByte(count)).arg(dataBytes);
    int sum = 0;
    for (int b = 0; b < bytes - 1; ++b)
        sum += values[b];
    const int computed = (-sum) & BYTE_MASK;
    if (computed != values.last())
        return QStringLiteral("checksum %1, computed %2").arg(hexByte(values.last()), hexByte(computed));
    const int type = values[HEX_HEADER_BYTES - 1];
    if (type > HEX_RECORD_LAST_KNOWN)
        return QStringLiteral("unknown record type %1").arg(hexByte(type));
    *endOfFile = type == HEX_RECORD_END_OF_FILE;
    return std::nullopt;
}

QString atLine(qsizetype index, const QString& fault)
{
    return QStringLiteral("line %1: %2").arg(index + 1).arg(fault);
}

} // namespace

std::optional<QString> CheckHexFile(const QStringList& lines)
{
    qsizetype i = 0;
    for (; i < lines.size(); ++i) {
        bool endOfFile = false;
        if (const auto fault = recordFault(lines[i], &endOfFile))
            return atLine(i, *fault);
        if (endOfFile)
            break;
    }
    if (i == lines.size())
        return atLine(i, QStringLiteral("the file ends without an end-of-file record"));
    for (++i; i < lines.size(); ++i)
        if (!isBlank(lines[i]))
            return atLine(i, QStringLiteral("more after the end-of-file record"));
    return std::nullopt;
}

QStringList LinesToSend(const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool endOfFile = false;
        if (!recordFault(lines[i], &endOfFile) && endOfFile)
            return lines.mid(0, i + 1);
    }
    return lines;
}

std::optional<HexFile> ReadHexFile(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *why = file.errorString();
        return std::nullopt;
    }
    HexFile result;
    result.size = file.size();
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line))
        result.lines.append(line);
    return result;
}

} // namespace Hex
