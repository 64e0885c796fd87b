#include "comm/ReadReplies.h"

#include "common/Define.h"

QByteArray ReadReply::bytes() const
{
    QByteArray reply(Define::REPLY_LENGTH, Qt::Uninitialized);
    reply[Define::REPLY_CODE_INDEX] = Define::READ_CMD;
    reply[Define::REPLY_ADDRESS_INDEX] = static_cast<char>(address);
    reply[Define::REPLY_VALUE_INDEX] = static_cast<char>(value);
    return reply;
}

QList<ReadReply> SplitReadReplies(const QByteArray& block, const AwaitedReads& awaited)
{
    if (block.isEmpty() || block.size() % Define::REPLY_LENGTH != 0)
        return {};
    QList<ReadReply> replies;
    AwaitedReads open = awaited;
    for (qsizetype at = 0; at < block.size(); at += Define::REPLY_LENGTH) {
        const auto address = static_cast<std::uint8_t>(block.at(at + Define::REPLY_ADDRESS_INDEX));
        if (block.at(at + Define::REPLY_CODE_INDEX) != Define::READ_CMD || !open.test(address))
            return {};
        open.reset(address);
        replies.append({address, static_cast<std::uint8_t>(block.at(at + Define::REPLY_VALUE_INDEX))});
    }
    return replies;
}
