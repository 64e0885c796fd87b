// Where a board differs from a profile: its parameters and release as read now,
// its slots as its journal records them (the board cannot be asked what a slot
// holds). Pure: the caller reads the board, the journal and, for a bank given as
// a font folder, the font's files.
#pragma once

#include "params/BoardProfile.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Sound {
struct JournalEntry;
}

namespace Params {

enum class DifferenceSource {
    Board,   // read from the board now
    Journal, // what this tool last wrote into the slot
};

struct ProfileDifference {
    QString key;     // "parameters.bank2.clash.green", "banks.2.slots.swing1", "firmwareRelease"
    QString profile; // the value the profile asks for
    QString board;   // the value the board has
    DifferenceSource source;

    friend bool operator==(const ProfileDifference&, const ProfileDifference&) = default;
};

// "board", "journal": for lists and the command line's JSON.
QString SourceText(DifferenceSource source);

// The profile with each font folder replaced by the slots its files go to, each
// file read for its checksum, so that it can be compared with a journal.
struct ListedProfile {
    BoardProfile profile;
    QStringList problems; // "banks.2.font: there is no folder ..."
};
ListedProfile ListFontSlots(const BoardProfile& profile);

// Empty: the board matches. The profile comes with its fonts listed, so that no
// font bank goes uncompared; `board` is the board's read (BoardModel::
// fileContent()); `journal` its slots as SlotJournal::list gives them.
QList<ProfileDifference> ProfileDifferences(const ListedProfile& listed, const ParameterFileContent& board,
                                            const QList<Sound::JournalEntry>& journal);

} // namespace Params
