// An operation that writes whole files into slots, and tells the journal of
// what went where as it goes: the bulk load and the font import.
#pragma once

#include "comm/Operation.h"

class JournalledOperation : public Operation {
    Q_OBJECT
public:
    using Operation::Operation;

signals:
    // A slot about to be erased, and one that now holds the whole of a file (its
    // name and checksum); slot indexes Sound::SoundSlots().
    void slotErasing(int slot);
    void slotWritten(int slot, const QString& fileName, const QString& checksum);
};
