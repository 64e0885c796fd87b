#include "firmware/HexFile.h"

#include "common/Define.h"
#include "firmware/HexLayout.h"
#include "firmware/HexReader.h"
#include "firmware/LoaderPace.h"

#include <QFile>
#include <QTextStream>
#include <array>

using namespace Define;

namespace Hex {

namespace {

constexpr int BYTE_MASK = 0xFF;
constexpr int HEX_BASE = 16;
constexpr int ANY_LENGTH = -1;
constexpr int BITS_PER_ADDRESS_BYTE = 8;

// Data bytes each record type carries, by type: data any, end of file none,
// extended segment and linear addresses two, start addresses four.
constexpr std::array<int, HEX_RECORD_LAST_KNOWN + 1> RECORD_LENGTH{ANY_LENGTH, 0, 2, 4, 2, 4};

struct Record {
    int type = 0;
    int address = 0;
    QList<int> data;
};

bool isBlank(const QString& line)
{
    return line.trimmed().isEmpty();
}

QString hexByte(int value)
{
    return QStringLiteral("0x") +
           QString::number(value, HEX_BASE).rightJustified(HEX_BYTE_DIGITS, u'0').toUpper();
}

// The fault of one record's text, or nothing with *record filled.
std::optional<QString> parseRecord(const QString& line, Record* record)
{
    if (line.isEmpty())
        return QStringLiteral("empty line");
    if (line[0] != QLatin1Char(HEX_START_CODE))
        return QStringLiteral("no start code ':'");
    for (int i = 1; i < line.size(); ++i) {
        int digit = 0;
        if (HexField(line, i, 1, digit))
            continue;
        // Half a surrogate pair quoted alone would garble the message.
        const int units = line[i].isHighSurrogate() ? 2 : 1;
        return QStringLiteral("character %1 ('%2') is not a hexadecimal digit")
            .arg(i + 1)
            .arg(line.mid(i, units));
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
    const int length = RECORD_LENGTH[type];
    if (length != ANY_LENGTH && count != length)
        return QStringLiteral("record type %1 with %2 data bytes, %3 expected")
            .arg(hexByte(type))
            .arg(count)
            .arg(length);
    record->type = type;
    record->address = (values[1] << BITS_PER_ADDRESS_BYTE) | values[2];
    record->data = values.mid(HEX_HEADER_BYTES, count);
    return std::nullopt;
}

QString atLine(qsizetype index, const QString& fault)
{
    return QStringLiteral("line %1: %2").arg(index + 1).arg(fault);
}

HexCheck faultAt(qsizetype index, const QString& fault)
{
    return {atLine(index, fault), {}};
}

} // namespace

HexCheck SurveyHexFile(const QStringList& lines)
{
    DataRun run;
    HexSummary summary;
    qsizetype i = 0;
    for (; i < lines.size(); ++i) {
        Record record;
        if (const auto fault = parseRecord(lines[i], &record))
            return faultAt(i, *fault);
        if (const auto fault = run.take(record.type, record.address, record.data, i))
            return faultAt(i, *fault);
        const bool data = record.type == HEX_RECORD_DATA;
        summary.runMs += LineMs(data ? static_cast<int>(record.data.size()) / HEX_WORD_ADDRESS_STEP : 0);
        if (record.type == HEX_RECORD_END_OF_FILE)
            break;
    }
    if (i == lines.size())
        return faultAt(i, QStringLiteral("the file ends without an end-of-file record"));
    // Erasing the board for nothing would leave it without an application.
    if (run.empty())
        return faultAt(i, QStringLiteral("no data before the end-of-file record"));
    summary.lines = static_cast<int>(i + 1);
    for (++i; i < lines.size(); ++i)
        if (!isBlank(lines[i]))
            return faultAt(i, QStringLiteral("more after the end-of-file record"));
    summary.first = run.first();
    summary.bytes = run.bytes();
    summary.words = static_cast<int>(run.bytes() / HEX_WORD_ADDRESS_STEP);
    return {std::nullopt, summary};
}

QStringList LinesToSend(const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Record record;
        if (!parseRecord(lines[i], &record) && record.type == HEX_RECORD_END_OF_FILE)
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
