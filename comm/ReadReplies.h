// The board answers a parameter read with three bytes, "2", the address and the
// value. Answers are not matched to requests by any number, and whatever the
// board sends between a request and its answer (a telemetry frame) takes the
// reply-expected mark; an answer for an address whose read is still awaited is
// recognised as that read's answer all the same. An answer for an address
// whose read is not awaited answers nothing that was asked.
#pragma once

#include <QByteArray>
#include <bitset>
#include <cstdint>
#include <optional>

// Every address one byte can name.
inline constexpr int ADDRESS_SPACE = 256;
// Parameter addresses whose answer is still on its way.
using AwaitedReads = std::bitset<ADDRESS_SPACE>;

struct ReadReply {
    int address = 0;
    std::uint8_t value = 0;

    // The three bytes the board sent.
    QByteArray bytes() const;
    friend bool operator==(const ReadReply&, const ReadReply&) = default;
};

// The answer a message is when it is exactly an answer to a read, awaited or not.
std::optional<ReadReply> ReadReplyIn(const QByteArray& message);
// The answer a message is when it is exactly an answer to an awaited read.
std::optional<ReadReply> AwaitedReadReply(const QByteArray& message, const AwaitedReads& awaited);
