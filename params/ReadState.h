// Which values on the parameter screen came from the board in this connection,
// so that a value never read is never written back. A value counts as known
// once its read answered, or once the user (or a loaded file) set it; a value
// whose read did not answer keeps whatever the screen held before, a stale or
// half-assembled number that must not reach the board.
#pragma once

#include "comm/ReadReplies.h"

#include <QList>
#include <QStringList>

namespace Params {

class ReadState {
public:
    // Nothing is known: a new connection, or a read about to replace everything.
    void forgetAll() { m_unread.set(); }
    // A read ended; every address it asked for is known but these.
    void readEnded(const QList<int>& unanswered);
    // The user chose the value at `address`: every byte of it is known.
    void setByUser(int address);

    bool isUnread(int address) const;
    // The shown values among `addresses` that are unread, each named once, in
    // the order of the addresses ("Bank 2 Power Clash sensitivity", "Frequency").
    QStringList unreadNames(const QList<int>& addresses) const;
    // Every unread address the screen shows.
    QList<int> unreadShown() const;

private:
    AwaitedReads m_unread = AwaitedReads().set();
};

// "Write Parameters sends nothing: these values were never read from the board: ..."
QString NeverReadMessage(const QString& action, const QStringList& names);
// After a read: which values did not answer, that their fields are marked and
// what Write Parameters will do with them.
QString UnansweredMessage(const QStringList& names);

} // namespace Params
