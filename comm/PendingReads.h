// The parameter reads sent on one link whose answers are still on their way
// (see ReadReplies.h), and the answers that came for no read: those are dropped,
// counted and announced, never decoded.
#pragma once

#include "comm/ReadReplies.h"

#include <QObject>

class PendingReads : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void await(int address);
    bool awaiting(int address) const;
    // An answer for `address` came: true when a read awaited it, which then no
    // longer waits; otherwise the answer is nobody's.
    bool answer(int address);
    // Nothing sent so far is awaited any more.
    void forget() { m_awaited.reset(); }
    // Answers dropped because no read awaited their address.
    int strays() const { return m_strays; }

signals:
    void strayAnswer(int address);

private:
    AwaitedReads m_awaited;
    int m_strays = 0;
};
