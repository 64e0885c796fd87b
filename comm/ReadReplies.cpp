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

std::optional<ReadReply> ReadReplyIn(const QByteArray& message)
{
    if (message.size() != Define::REPLY_LENGTH || message.at(Define::REPLY_CODE_INDEX) != Define::READ_CMD)
        return std::nullopt;
    return ReadReply{static_cast<std::uint8_t>(message.at(Define::REPLY_ADDRESS_INDEX)),
                     static_cast<std::uint8_t>(message.at(Define::REPLY_VALUE_INDEX))};
}

std::optional<ReadReply> AwaitedReadReply(const QByteArray& message, const AwaitedReads& awaited)
{
    std::optional<ReadReply> reply = ReadReplyIn(message);
    if (reply && !awaited.test(static_cast<std::size_t>(reply->address)))
        return std::nullopt;
    return reply;
}
