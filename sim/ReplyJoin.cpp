#include "sim/ReplyJoin.h"

bool ReplyJoin::add(const std::set<int>& addresses, bool late)
{
    for (const Join& join : m_joins)
        for (int address : addresses)
            if (join.pending.count(address))
                return false;
    m_joins.append({addresses, {}, late});
    return true;
}

QList<QByteArray> ReplyJoin::answer(int address, const QByteArray& reply, QByteArray* delayed)
{
    for (qsizetype i = 0; i < m_joins.size(); ++i) {
        Join& join = m_joins[i];
        if (join.pending.empty() && join.late) {
            // Complete and waiting for the next request: it goes now, and this
            // request's answer a moment after it.
            const QByteArray joined = join.held;
            m_joins.removeAt(i);
            *delayed = reply;
            return {joined};
        }
        if (!join.pending.count(address))
            continue;
        join.pending.erase(address);
        join.held += reply;
        if (!join.pending.empty() || join.late)
            return {};
        const QByteArray joined = join.held;
        m_joins.removeAt(i);
        return {joined};
    }
    return {reply};
}
