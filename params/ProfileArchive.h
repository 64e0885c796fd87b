// A profile that travels: one ZIP archive that holds the profile itself
// ("profile.json", a board profile whose slot files are paths inside the
// archive) and the sound of every slot it names ("sounds/bank1/swing1/tone.wav").
// Any ZIP tool can open it; this program unpacks it once into a temporary
// folder that lives as long as the profile read from it.
//
// Reading trusts nothing in the archive: only plain files with relative names
// that stay inside it, each name once, bounded in number and size, and a
// manifest whose every path lies inside the archive.
#pragma once

#include "params/BoardProfile.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace Sound {
struct JournalEntry;
}

namespace Params {

inline const QString PROFILE_MANIFEST_NAME = QStringLiteral("profile.json");
// Far above the sounds of a whole board (4 MiB once converted) in any source format.
inline constexpr qint64 MAX_PROFILE_ARCHIVE_BYTES = qint64(256) << 20;
inline constexpr int MAX_PROFILE_ARCHIVE_ENTRIES = 512;

// Whether a file that begins with these bytes is an archive rather than JSON.
bool IsProfileArchive(const QByteArray& firstBytes);

// The profile in the archive at `path` (bytes: the archive itself), its sounds
// unpacked; the refusal names the bad entry, without the path in front.
BoardProfileRead ReadProfileArchive(const QString& path);
BoardProfileRead ReadProfileArchiveBytes(const QByteArray& bytes);

// A profile ready to be packed: its slot files renamed to their places in the
// archive, and where each is on disk now.
struct ProfilePack {
    BoardProfile profile;
    QMap<QString, QString> sources; // name in the archive -> the file on disk
    // Slots whose sound cannot be packed, with why: "banks.1.slots.swing1: the
    // file /home/owner/tone.wav is not there any more".
    QMap<int, QString> unavailable;
};

// Finds the sound of each slot of `profile` where the journal says it came from
// and checks it against its checksum. `leftOut` slots are dropped from the profile.
ProfilePack PackProfile(BoardProfile profile, const QList<Sound::JournalEntry>& journal,
                        const QList<int>& leftOut = {});

// Writes the archive (only once every slot is available); the reason it was not
// written, empty when it was. A sound changed since it was checked is refused.
QString WriteProfileArchive(const QString& path, const ProfilePack& pack);

// The slot an entry path names ("banks.1.slots.swing1"), -1 for none.
int SlotOfEntry(const QString& entry);

} // namespace Params
