// Which board is at the other end of the port: its serial number as the header
// shows it ("1523-0042"), once every byte of both parts has answered a read made
// since the port was opened. Whatever the screen shows, a number from before the
// port closed, or one only half read (the decoder's latches still hold the other
// board's bytes), names no board: what goes into a board's slots is kept under
// this number, and a wrong one would put it into another board's journal.
#pragma once

#include "params/ParameterDecoder.h"

#include <QList>
#include <QString>

namespace Params {

class ReadState;

class BoardIdentity {
public:
    // The addresses whose answers make the serial number, in the order read.
    static QList<int> addresses();

    // Follows the decoder as it forms the number, the lot first.
    void follow(const DecoderEffect& effect);
    // A read has ended: the number formed is this board's when all its bytes answered.
    void readEnded(const ReadState& state);
    // The port closed, changed or was lost.
    void forget() { m_serialNumber.clear(); }

    // The number as the decoder last formed it, whichever board it came from.
    const QString& shown() const { return m_shown; }
    // This connection's board; empty until its serial number has been read.
    const QString& serialNumber() const { return m_serialNumber; }

private:
    QString m_lot; // the first part, as its label shows it
    QString m_shown;
    QString m_serialNumber;
};

} // namespace Params
