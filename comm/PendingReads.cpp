#include "comm/PendingReads.h"

void PendingReads::await(int address)
{
    m_awaited.set(static_cast<std::size_t>(address));
}

bool PendingReads::awaiting(int address) const
{
    return m_awaited.test(static_cast<std::size_t>(address));
}

bool PendingReads::answer(int address)
{
    if (awaiting(address)) {
        m_awaited.reset(static_cast<std::size_t>(address));
        return true;
    }
    // Decoded, it would be taken for the value of whatever read is under way;
    // the reads still awaited keep waiting for their own answers.
    ++m_strays;
    emit strayAnswer(address);
    return false;
}
