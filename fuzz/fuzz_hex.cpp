// A firmware file the user picks: the whole-file check and the line decoder
// that feeds the loader must agree, so a file that passes the check goes out to
// its end exactly as its records say, every word landing where its address
// says although the loader is told no address.
//
// Input: the file's text; lines end in LF, CR LF or CR.
#include "FuzzInput.h"

#include "common/Define.h"
#include "firmware/HexFile.h"
#include "firmware/HexReader.h"

#include <QRegularExpression>

namespace {

const QString END_OF_FILE = QStringLiteral(":00000001FF");
const QString NO_DATA = QStringLiteral("line 2: no data before the end-of-file record");

int digits(const QString& line, int from, int count)
{
    return line.mid(from, count).toInt(nullptr, 16);
}

// What a line that passed the check says: type, address and data bytes, as
// the record's text has them.
void checkAcceptedLine(const QString& line)
{
    static const QRegularExpression record(QStringLiteral("^:([0-9A-Fa-f]{2})+$"));
    FUZZ_CHECK(record.match(line).hasMatch());
    const int count = digits(line, 1, 2);
    FUZZ_CHECK(line.size() == 11 + 2 * count);
    const Hex::DecodedLine decoded = Hex::DecodeHexRecord(line);
    FUZZ_CHECK(decoded.intelHex && decoded.conversionError.isEmpty());
    if (line.mid(7, 2) != QLatin1String("00")) {
        FUZZ_CHECK(decoded.words.isEmpty());
        return;
    }
    FUZZ_CHECK(decoded.address == digits(line, 3, 4));
    // Whole words only, the first byte of each pair the high one.
    FUZZ_CHECK(decoded.words.size() == count / 2);
    for (qsizetype k = 0; k < decoded.words.size(); ++k)
        FUZZ_CHECK(decoded.words[k] == digits(line, 9 + 4 * static_cast<int>(k), 4));
}

void checkDecodedLine(const QString& line)
{
    const Hex::DecodedLine decoded = Hex::DecodeHexRecord(line);
    FUZZ_CHECK(decoded.intelHex == line.startsWith(QLatin1Char(':')));
    if (!decoded.intelHex)
        FUZZ_CHECK(decoded.words.isEmpty() && decoded.conversionError.isEmpty());
    // Never more words than the line has digits for.
    FUZZ_CHECK(decoded.words.size() <= std::max<qsizetype>(0, (line.size() - 9) / 4));
    if (!decoded.conversionError.isEmpty())
        FUZZ_CHECK(decoded.conversionError.endsWith(QLatin1String("' is not a valid integer value")));
    for (int from = 0; from <= line.size(); ++from) {
        int value = -1;
        if (Hex::HexField(line, from, 4, value))
            FUZZ_CHECK(value >= 0 && value <= 0xFFFF && from + 4 <= line.size());
    }
    // Alone before an end record, a line the check accepts decodes cleanly.
    const std::optional<QString> alone = Hex::CheckHexFile({line, END_OF_FILE});
    if (!alone || *alone == NO_DATA)
        checkAcceptedLine(line);
}

// The data of a file that passed, read from its text alone: one run of
// consecutive addresses in whole words from a word boundary, extended addresses
// included, and the summary saying as much.
void checkDataRun(const QStringList& toSend, const Hex::HexSummary& summary)
{
    qint64 base = 0;
    std::optional<qint64> next;
    qint64 first = 0;
    int words = 0;
    for (const QString& line : toSend) {
        const QString type = line.mid(7, 2);
        if (type == QLatin1String("02"))
            base = qint64{digits(line, 9, 4)} << 4;
        if (type == QLatin1String("04"))
            base = qint64{digits(line, 9, 4)} << 16;
        const int count = digits(line, 1, 2);
        if (type != QLatin1String("00") || count == 0)
            continue;
        FUZZ_CHECK(count % 2 == 0);
        const qint64 address = base + digits(line, 3, 4);
        FUZZ_CHECK(!next || address == *next);
        if (!next) {
            FUZZ_CHECK(address % 2 == 0);
            first = address;
        }
        next = address + count;
        words += count / 2;
    }
    FUZZ_CHECK(next && words > 0);
    FUZZ_CHECK(summary.first == first && summary.bytes == *next - first);
    FUZZ_CHECK(summary.words == words && summary.bytes == 2 * qint64{words});
    FUZZ_CHECK(summary.lines == toSend.size());
    FUZZ_CHECK(summary.runMs >= qint64{toSend.size()} * Define::FIRMWARE_TICK_MS);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ExactBlock file = FuzzInput(data, size).rest();
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = QString::fromUtf8(file.bytes()).split(lineEnd);
    for (const QString& line : lines)
        checkDecodedLine(line);

    const Hex::HexCheck check = Hex::SurveyHexFile(lines);
    const std::optional<QString>& fault = check.fault;
    const QStringList toSend = Hex::LinesToSend(lines);
    if (fault) {
        static const QRegularExpression where(QStringLiteral("^line (\\d+): "));
        const QRegularExpressionMatch match = where.match(*fault);
        FUZZ_CHECK(match.hasMatch());
        const int number = match.captured(1).toInt();
        FUZZ_CHECK(number >= 1 && number <= lines.size() + 1);
        return 0;
    }
    // A file that passed goes out to its end record and no further.
    FUZZ_CHECK(!toSend.isEmpty() && toSend.size() <= lines.size());
    FUZZ_CHECK(lines.mid(0, toSend.size()) == toSend);
    FUZZ_CHECK(toSend.last().mid(7, 2) == QLatin1String("01"));
    for (const QString& line : toSend)
        checkAcceptedLine(line);
    for (const QString& line : lines.mid(toSend.size()))
        FUZZ_CHECK(line.trimmed().isEmpty());
    checkDataRun(toSend, check.summary);
    return 0;
}
