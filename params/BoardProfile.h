// Board profiles: one readable JSON file that says what a board should hold,
// its parameters as "Save..." writes them, the sounds of each bank (a font
// folder, or files slot by slot with their checksums) and, if it matters, the
// firmware release it must run. Written from a board or by hand; read whole and
// refused at the first bad entry, named by its path ("banks.2.slots.swing1.sha256").
#pragma once

#include "common/Define.h"
#include "params/ParameterFile.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <array>
#include <memory>
#include <optional>

class QTemporaryDir;

namespace Sound {
struct JournalEntry;
}

namespace Params {

struct ProfileSlot {
    QString file;   // as the profile writes it: relative to the profile's folder, or absolute
    QString sha256; // of the file's bytes, lower-case hexadecimal

    friend bool operator==(const ProfileSlot&, const ProfileSlot&) = default;
};

// One bank's sounds: a font folder whose files find their slots by name, or
// files listed slot by slot. Slots neither names are left as they are.
struct ProfileBank {
    QString font;                     // set: a font folder, and slotFiles is empty
    QMap<int, ProfileSlot> slotFiles; // index into SoundSlots() -> its file

    friend bool operator==(const ProfileBank&, const ProfileBank&) = default;
};

struct BoardProfile {
    ParameterFileContent parameters;
    // Banks 1, 2, 3; a bank the profile does not name keeps its sounds.
    std::array<std::optional<ProfileBank>, Define::BANK_COUNT> banks;
    QString firmwareRelease; // "7.0", as the board reports it; empty: any release
    // Where relative paths start: the profile file's folder. Not written.
    QString folder;
    // An archive's files, unpacked once; the folder goes with the last copy.
    std::shared_ptr<const QTemporaryDir> unpacked;

    std::optional<ProfileBank>& bank(int bank) { return banks.at(bank - Define::BANK1); }
    const std::optional<ProfileBank>& bank(int bank) const { return banks.at(bank - Define::BANK1); }
    // A path of the profile as a path on disk.
    QString pathOf(const QString& file) const;
};

struct BoardProfileRead {
    std::optional<BoardProfile> profile;
    QString error; // why the file was refused, naming the first bad entry
};

inline constexpr int BOARD_PROFILE_VERSION = 1;

// `folder` is the profile file's folder, where its relative paths start.
BoardProfileRead ReadBoardProfile(const QByteArray& bytes, const QString& folder);
// The profile in the file at `path`, an archive with its sounds or a JSON file
// whose relative paths start at the file's folder; a refusal begins with the path: "/home/owner/blue.json: The file has
// board profile format version 2; this program reads version 1."
BoardProfileRead ReadBoardProfileFile(const QString& path);
// Sorted keys, indented: the same profile always gives the same bytes.
QByteArray WriteBoardProfile(const BoardProfile& profile);

// What a board holds as far as can be known: `read` is its parameters as
// "Save..." writes them (BoardModel::fileContent() after a read), release
// included; each bank's slots are those its journal knows, by file name, so the
// files are looked for beside the profile. A bank with no known slot is left out.
// The calibration belongs to the board it was measured on: it goes into the
// profile only when carried.
enum class Calibration { LeftOut, Carried };
BoardProfile ProfileFromBoard(const ParameterFileContent& read, const QList<Sound::JournalEntry>& journal,
                              Calibration calibration = Calibration::LeftOut);

// A font bank's folder on disk, or why there is none to read.
struct FontFolder {
    QString path;
    QString problem; // "banks.2.font: there is no folder /home/owner/fonts/blue"
};
FontFolder FontFolderOf(const BoardProfile& profile, int bank);

// Entry paths, for messages: "banks.2", "banks.2.slots.swing1".
QString BankEntry(int bank);
QString SlotEntry(int slot);

} // namespace Params
