// A whole sound font into one bank: the table of the bank's 19 slots with the
// file each will receive, and the check that reads and converts every chosen
// file before the first slot is erased.
#pragma once

#include "sound/SoundUpload.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace Sound {

struct FontRow {
    int slot = -1; // index into SoundSlots()
    QString name;  // "Swing 3"
    QString path;  // the file chosen for it; empty: the slot is left as it is
    std::optional<SoundFacts> facts;
    QString problem; // why the file cannot go there as it is; empty when it can
    bool fits = false;
};

struct FontPlan {
    int bank = 1;
    QString folder;
    QList<FontRow> rows;  // the bank's slots in the order of the map
    QStringList unplaced; // the folder's sound files that no row took, each with the reason
};

// The folder's sound files matched to the bank's slots by their names (the rule
// of FontNames.h); when two files name one slot, the first in name order takes it.
FontPlan PlanFont(const QString& folder, int bank);

// The owner's change to one row: another file, or none (an empty path).
void ChooseFile(FontPlan& plan, int row, const QString& path);

// One slot's upload, ready to send: nothing more is read from disk.
struct FontUpload {
    int slot = -1;
    QString name;
    QString path;
    QByteArray stream;
    QString checksum; // of the file as read
};

// The whole table read, converted and checked. uploads is empty unless every
// chosen row passed, so an import either starts with all its streams in hand or
// touches nothing.
struct FontCheck {
    QList<FontUpload> uploads;
    QStringList problems; // "Swing 3: <message>", row by row
};
FontCheck CheckFontPlan(const FontPlan& plan, bool trimToFit = false);

// "Swing 3: 7 of 19"
QString FontProgressText(const QString& slotName, int done, int total);

} // namespace Sound
