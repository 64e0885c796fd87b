// Makes the link await a block as the board's answer: a parameter answer
// ("2", address, value) is awaited by reading its address, as the board answers
// only what was asked; anything else takes the reply mark.
#pragma once

#include "comm/BoardLink.h"
#include "comm/ReadReplies.h"

inline void AwaitAsAnswer(BoardLink& link, const QByteArray& block)
{
    if (const std::optional<ReadReply> reply = ReadReplyIn(block))
        link.sendRead(reply->address);
    else
        link.setExpectingReply(true);
}
