// Log lines of the traffic monitor, and the routing tests of a received block.
#pragma once

#include <QByteArray>
#include <QString>

// "RX-" or "TX-", then "-", then for each byte a blank and the byte: two upper-case
// hexadecimal digits, or in text mode the character itself, read as Latin-1.
// Only the bytes that print nothing get a stand-in, so that every byte stays
// visible: C0 controls and DEL as their Unicode control pictures (LF as U+240A),
// C1 controls (0x80..0x9F) as "\xHH".
QString FormatLogLine(const char* direction, const QByteArray& data, bool hex);

// The line that tells of an answer dropped because no read awaited its address:
// "dropped: an answer for address 5 that was not asked for (1 so far)".
QString StrayAnswerLine(int address, int dropped);

inline constexpr const char* RX_PREFIX = "RX-";
inline constexpr const char* TX_PREFIX = "TX-";

// What a received block asks for, in the order the dispatch acts on it.
struct BlockRoutes {
    bool writeFileDone = false;  // "OK WRITE FILE"
    bool parameterReply = false; // a reply was expected
    bool telemetry = false;      // longer than 24 bytes, starts 0xFF
    bool uploadEnd = false;      // "End."
    bool pauseForB = false;      // starts "B"
    bool shot = false;           // starts 0xAA 0xAA
};

BlockRoutes ClassifyBlock(const QByteArray& block, bool replyExpected);
