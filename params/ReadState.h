// Where each value of the board model came from in this connection, so that a
// value never read is never written back. A value counts as known once its
// read answered, once it was written, or once the user (or a loaded file) set
// it; a value whose read did not answer keeps whatever the screen held before,
// a stale or half-assembled number that must not reach the board.
#pragma once

#include "comm/ReadReplies.h"

#include <array>

#include <QList>
#include <QStringList>

namespace Params {

enum class Origin {
    NeverRead, // or its read did not answer
    Read,      // answered a read
    Written,   // sent by this tool and not read back since
    Verified,  // read back and found as written
    Typed,     // typed or loaded by the user, not sent yet
};

class ReadState {
public:
    // Nothing is known: a new connection, or a read about to replace everything.
    void forgetAll() { m_origins.fill(Origin::NeverRead); }
    // A read ended; every address it asked for is known but the values of the
    // unanswered ones.
    void readEnded(const QList<int>& asked, const QList<int>& unanswered);
    // The user chose the value at `address`: every byte of it is known.
    void setByUser(int address) { setGroup(address, Origin::Typed); }
    // The byte at `address` alone: sent (Written), read back as sent (Verified), ...
    void setByte(int address, Origin origin) { m_origins.at(static_cast<std::size_t>(address)) = origin; }

    Origin origin(int address) const;
    // The weakest origin among the bytes of the value at `address`.
    Origin valueOrigin(int address) const;
    bool isUnread(int address) const { return origin(address) == Origin::NeverRead; }
    // The shown values among `addresses` that are unread, each named once, in
    // the order of the addresses ("Bank 2 Power Clash sensitivity", "Frequency").
    QStringList unreadNames(const QList<int>& addresses) const;
    // Every unread address the screen shows.
    QList<int> unreadShown() const;

private:
    // Every byte of the value at `address` (both of a pair) takes `origin`.
    void setGroup(int address, Origin origin);

    std::array<Origin, ADDRESS_SPACE> m_origins{}; // NeverRead
};

// "Write Parameters sends nothing: these values were never read from the board: ..."
QString NeverReadMessage(const QString& action, const QStringList& names);
// After a read: which values did not answer, that their fields are marked and
// what Write Parameters will do with them.
QString UnansweredMessage(const QStringList& names);

} // namespace Params
