// Makes the link await a block as the board's answer: a parameter answer
// ("2", address, value) is awaited by reading its address, as the board answers
// only what was asked; anything else takes the reply mark. The read request is
// left out of the port's record: the tests look at what the answer sets off.
#pragma once

#include "ScriptedPort.h"
#include "comm/BoardLink.h"
#include "comm/ReadReplies.h"

inline void AwaitAsAnswer(BoardLink& link, ScriptedPort& port, const QByteArray& block)
{
    const qsizetype recorded = port.sent.size();
    if (const std::optional<ReadReply> reply = ReadReplyIn(block))
        link.sendRead(reply->address);
    else
        link.setExpectingReply(true);
    port.sent.resize(recorded);
}
