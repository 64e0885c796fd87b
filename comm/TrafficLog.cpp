#include "comm/TrafficLog.h"

#include "comm/BoardMessages.h"

#include "common/Define.h"

namespace {
constexpr char16_t CONTROL_PICTURES = 0x2400; // U+2400..U+241F mirror the C0 controls
constexpr char16_t DELETE_PICTURE = 0x2421;
constexpr unsigned char FIRST_PRINTABLE = 0x20;
constexpr unsigned char DELETE = 0x7F;
constexpr unsigned char FIRST_LATIN1_PRINTABLE = 0xA0; // 0x80..0x9F are the C1 controls
constexpr int HEX_WIDTH = 2;
constexpr int NIBBLE_BITS = 4;
constexpr unsigned char LOW_NIBBLE = 0x0F;
constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
// The longest stand-in, "\xHH", and its blank.
constexpr int MAX_BYTE_WIDTH = 5;

// Appended in place: the log line is built for every block while the monitor
// logs, so no byte may cost a string of its own.
void appendHex(QString& line, unsigned char b)
{
    line += QLatin1Char(HEX_DIGITS[b >> NIBBLE_BITS]);
    line += QLatin1Char(HEX_DIGITS[b & LOW_NIBBLE]);
}

void appendReadable(QString& line, unsigned char b)
{
    if (b < FIRST_PRINTABLE) {
        line += QChar(static_cast<char16_t>(CONTROL_PICTURES + b));
    } else if (b == DELETE) {
        line += QChar(DELETE_PICTURE);
    } else if (b > DELETE && b < FIRST_LATIN1_PRINTABLE) {
        line += QLatin1String("\\x");
        appendHex(line, b);
    } else {
        line += QChar(static_cast<char16_t>(b));
    }
}

} // namespace

QString FormatLogLine(const char* direction, const QByteArray& data, bool hex)
{
    QString line = QString::fromLatin1(direction) + QLatin1Char('-');
    line.reserve(line.size() + data.size() * (hex ? HEX_WIDTH + 1 : MAX_BYTE_WIDTH));
    for (char c : data) {
        const auto b = static_cast<unsigned char>(c);
        line += QLatin1Char(' ');
        if (hex)
            appendHex(line, b);
        else
            appendReadable(line, b);
    }
    return line;
}

BlockRoutes ClassifyBlock(const QByteArray& block, bool replyExpected)
{
    BlockRoutes routes;
    if (block.isEmpty())
        return routes;
    const auto first = static_cast<unsigned char>(block[0]);
    routes.writeFileDone = block == BoardMessages::WRITE_FILE_DONE;
    routes.parameterReply = replyExpected;
    routes.telemetry = block.size() >= Define::TELEMETRY_MIN_BLOCK && first == Define::TELEMETRY_START;
    routes.uploadEnd = block == BoardMessages::UPLOAD_END;
    routes.pauseForB = block[0] == BoardMessages::PAUSE_MARK;
    routes.shot = block.size() >= 2 && first == Define::SHOT_START &&
                  static_cast<unsigned char>(block[1]) == Define::SHOT_START;
    return routes;
}

QString StrayAnswerLine(int address, int dropped)
{
    return QStringLiteral("dropped: an answer for address %1 that was not asked for (%2 so far)")
        .arg(address)
        .arg(dropped);
}
