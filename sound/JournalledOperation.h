// An operation that writes whole files into slots, and tells the journal of
// what went where as it goes: the bulk load and the font import.
#pragma once

#include "comm/Operation.h"
#include "sound/SlotJournal.h"

#include <QList>

class JournalledOperation : public Operation {
    Q_OBJECT
public:
    using Operation::Operation;

    // Every slot it may erase, indexes of Sound::SoundSlots(): the journal
    // forgets them all before the first is erased.
    virtual QList<int> slotsToWrite() const = 0;

signals:
    // A slot that now holds the whole of what was sent of a file.
    void slotWritten(int slot, const Sound::SlotSource& source);
};
