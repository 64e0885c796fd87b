// The board answers a parameter read with three bytes, "2", the address and the
// value, in one write of its own. What one read of the port returns is not a
// message, though: when the tool reads late, several answers arrive as one block.
// Such a block is cut back into its answers here, but only when it is certainly
// nothing else: complete answers, each for an address read and not yet answered.
#pragma once

#include <QByteArray>
#include <QList>
#include <bitset>
#include <cstdint>

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

// The answers a block holds when it holds nothing but whole answers to awaited
// reads, no address twice; empty for any other block.
QList<ReadReply> SplitReadReplies(const QByteArray& block, const AwaitedReads& awaited);
