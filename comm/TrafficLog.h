// Log lines of the traffic monitor, and the routing tests of a received block.
#pragma once

#include <QByteArray>
#include <QString>

// "RX-" or "TX-", then "-", then for each byte a blank and the byte: two upper-case
// hexadecimal digits, or in text mode the character itself. Text mode shows
// control bytes as their Unicode control pictures (LF as U+240A) and bytes above
// 0x7E as "\xHH", so every byte stays visible and distinguishable.
QString FormatLogLine(const char* direction, const QByteArray& data, bool hex);

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
