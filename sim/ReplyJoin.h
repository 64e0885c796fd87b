// Answers to parameter reads that the board hands over joined in one write, as
// a host that reads its port late finds them: the answers to a chosen set of
// addresses are held until the last of them, then written together. With
// `late`, the joined answers wait further, until the next read request has
// come in, and that request's own answer follows a moment later in a write of
// its own: the host then sees an answer arrive alone after the joined block.
// A join is used once; several may wait, each for its own addresses.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <set>

class ReplyJoin {
public:
    // "join 23 24 [late]": false (and nothing changes) when an address is
    // already in a waiting join.
    bool add(const std::set<int>& addresses, bool late);
    void clear() { m_joins.clear(); }
    int waiting() const { return static_cast<int>(m_joins.size()); }

    // What to write for the answer to `address`: the writes due now (each a
    // separate write), in order; `delayed` is set to a write due a moment later.
    QList<QByteArray> answer(int address, const QByteArray& reply, QByteArray* delayed);

private:
    struct Join {
        std::set<int> pending; // addresses whose answers are still to come
        QByteArray held;       // the answers come so far, in order
        bool late = false;
    };
    QList<Join> m_joins;
};
