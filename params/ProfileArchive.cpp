#include "params/ProfileArchive.h"

#include "common/FileWriting.h"
#include "common/JsonFile.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"
#include "sound/SlotNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace Params {

namespace {

const QByteArray ZIP_MAGIC = QByteArrayLiteral("PK\x03\x04");
const QString SOUNDS_FOLDER = QStringLiteral("sounds");
constexpr qsizetype READ_CHUNK_BYTES = 64 * 1024;
constexpr int ENTRY_PERMISSIONS = 0644;

using ArchivePtr = std::unique_ptr<archive, int (*)(archive*)>;
using OpenArchive = std::function<int(archive*)>;

QString archiveError(archive* a)
{
    const char* text = archive_error_string(a);
    return text ? QString::fromUtf8(text) : QStringLiteral("the archive is damaged");
}

// A name from the archive as a path inside it, empty when it could reach out of
// it (absolute, "..", empty parts) or is not one of ours.
QString insideName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QChar::Null))
        return {};
    const QStringList parts = name.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        const bool trailingSlash = i == parts.size() - 1 && part.isEmpty();
        if (!trailingSlash && (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")))
            return {};
    }
    return name;
}

// A path of the manifest as a name in the archive, empty when it leads outside.
QString archivedName(const QString& path)
{
    if (QDir::isAbsolutePath(path))
        return {};
    const QString clean = QDir::cleanPath(path);
    return clean.startsWith(QLatin1String("../")) || clean == QLatin1String("..") ? QString() : clean;
}

struct Unpacked {
    QByteArray manifest;
    QSet<QString> files;
    QString error;
};

QString tooLarge()
{
    return QStringLiteral("A profile's files come to at most %1 MiB.").arg(MAX_PROFILE_ARCHIVE_BYTES >> 20);
}

// Writes one entry's data to `into`, keeping count of the archive's total.
QString unpackEntry(archive* a, const QString& name, QFile* into, QByteArray* kept, qint64& total)
{
    QByteArray chunk(READ_CHUNK_BYTES, Qt::Uninitialized);
    for (;;) {
        const la_ssize_t read = archive_read_data(a, chunk.data(), size_t(chunk.size()));
        if (read < 0)
            return QStringLiteral("%1 cannot be unpacked: %2").arg(name, archiveError(a));
        if (read == 0)
            return {};
        total += read;
        if (total > MAX_PROFILE_ARCHIVE_BYTES)
            return tooLarge();
        if (kept) {
            if (kept->size() + read > MAX_JSON_FILE_BYTES)
                return QStringLiteral("%1 is too large to be a board profile.").arg(name);
            kept->append(chunk.constData(), read);
        } else if (into->write(chunk.constData(), read) != read) {
            return QStringLiteral("%1 cannot be unpacked: %2").arg(name, into->errorString());
        }
    }
}

// Every plain file of the archive into `folder`, the manifest kept in memory.
Unpacked unpack(const OpenArchive& open, const QString& folder)
{
    Unpacked result;
    ArchivePtr a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(a.get());
    if (open(a.get()) != ARCHIVE_OK) {
        result.error = QStringLiteral("It is not a profile archive: %1").arg(archiveError(a.get()));
        return result;
    }
    qint64 total = 0;
    int entries = 0;
    archive_entry* entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK) {
        if (++entries > MAX_PROFILE_ARCHIVE_ENTRIES) {
            result.error = QStringLiteral("The archive holds more than %1 entries: it is not a profile.")
                               .arg(MAX_PROFILE_ARCHIVE_ENTRIES);
            return result;
        }
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const QString raw = QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry));
        const QString name = insideName(raw);
        if (name.isEmpty()) {
            result.error = QStringLiteral("The archive names a file \"%1\" outside itself.").arg(raw);
            return result;
        }
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFDIR)
            continue;
        if (type != AE_IFREG || archive_entry_hardlink(entry)) {
            result.error = QStringLiteral("%1 is not a plain file.").arg(name);
            return result;
        }
        if (result.files.contains(name) || name.endsWith(QLatin1Char('/'))) {
            result.error = QStringLiteral("The archive holds %1 twice.").arg(name);
            return result;
        }
        result.files.insert(name);
        if (name == PROFILE_MANIFEST_NAME) {
            result.error = unpackEntry(a.get(), name, nullptr, &result.manifest, total);
        } else {
            const QString path = QDir(folder).filePath(name);
            QFile file(path);
            if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !file.open(QIODevice::WriteOnly)) {
                result.error = QStringLiteral("%1 cannot be unpacked: %2").arg(name, file.errorString());
                return result;
            }
            result.error = unpackEntry(a.get(), name, &file, nullptr, total);
            if (result.error.isEmpty() && !file.flush())
                result.error = QStringLiteral("%1 cannot be unpacked: %2").arg(name, file.errorString());
        }
        if (!result.error.isEmpty())
            return result;
    }
    if (status != ARCHIVE_EOF)
        result.error = QStringLiteral("The archive is damaged: %1").arg(archiveError(a.get()));
    else if (!result.files.contains(PROFILE_MANIFEST_NAME))
        result.error = QStringLiteral("The archive holds no %1: it is not a profile.").arg(PROFILE_MANIFEST_NAME);
    return result;
}

// Where a manifest path leads outside the archive or to a file it lacks.
QString strayPath(const BoardProfile& profile, const QSet<QString>& files)
{
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank) {
        const std::optional<ProfileBank>& sounds = profile.bank(bank);
        if (!sounds)
            continue;
        if (!sounds->font.isEmpty() && archivedName(sounds->font).isEmpty())
            return QStringLiteral("%1.font: the folder %2 is not in the archive.")
                .arg(BankEntry(bank), sounds->font);
        for (auto it = sounds->slotFiles.begin(); it != sounds->slotFiles.end(); ++it)
            if (!files.contains(archivedName(it->file)))
                return QStringLiteral("%1.file: %2 is not in the archive.").arg(SlotEntry(it.key()), it->file);
    }
    return {};
}

BoardProfileRead readArchive(const OpenArchive& open)
{
    auto folder = std::make_shared<QTemporaryDir>();
    if (!folder->isValid())
        return {std::nullopt,
                QStringLiteral("No temporary folder to unpack the profile into: %1").arg(folder->errorString())};
    const Unpacked unpacked = unpack(open, folder->path());
    if (!unpacked.error.isEmpty())
        return {std::nullopt, unpacked.error};
    BoardProfileRead read = ReadBoardProfile(unpacked.manifest, folder->path());
    if (!read.profile) {
        read.error = QStringLiteral("%1: %2").arg(PROFILE_MANIFEST_NAME, read.error);
        return read;
    }
    if (const QString stray = strayPath(*read.profile, unpacked.files); !stray.isEmpty())
        return {std::nullopt, QStringLiteral("%1: %2").arg(PROFILE_MANIFEST_NAME, stray)};
    read.profile->unpacked = std::move(folder);
    return read;
}

// Where a slot's sound is now: the file the journal names, with the bytes it recorded.
QString findSource(const Sound::JournalEntry& entry, const ProfileSlot& slot, QString& path)
{
    if (entry.path.isEmpty())
        return QStringLiteral("the journal does not say where %1 came from; upload it again.").arg(slot.file);
    path = entry.path;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the file %1 cannot be read (%2).").arg(path, file.errorString());
    if (Sound::FileChecksum(file) != slot.sha256)
        return QStringLiteral("the file %1 is no longer the sound that was uploaded.").arg(path);
    return {};
}

la_ssize_t appendToBytes(archive*, void* bytes, const void* data, size_t length)
{
    static_cast<QByteArray*>(bytes)->append(static_cast<const char*>(data), qsizetype(length));
    return la_ssize_t(length);
}

// One file into the archive being written; the reason it failed, empty when not.
QString addEntry(archive* a, const QString& name, const QByteArray& content)
{
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(), archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), ENTRY_PERMISSIONS);
    archive_entry_set_size(entry.get(), content.size());
    if (archive_write_header(a, entry.get()) != ARCHIVE_OK ||
        archive_write_data(a, content.constData(), size_t(content.size())) != content.size())
        return archiveError(a);
    return {};
}

} // namespace

bool IsProfileArchive(const QByteArray& firstBytes)
{
    return firstBytes.startsWith(ZIP_MAGIC);
}

BoardProfileRead ReadProfileArchive(const QString& path)
{
    const QByteArray local = QFile::encodeName(path);
    return readArchive([&local](archive* a) { return archive_read_open_filename(a, local.constData(), READ_CHUNK_BYTES); });
}

BoardProfileRead ReadProfileArchiveBytes(const QByteArray& bytes)
{
    return readArchive(
        [&bytes](archive* a) { return archive_read_open_memory(a, bytes.constData(), size_t(bytes.size())); });
}

int SlotOfEntry(const QString& entry)
{
    for (int slot = 0; slot < Sound::SoundSlots().size(); ++slot)
        if (SlotEntry(slot) == entry)
            return slot;
    return -1;
}

ProfilePack PackProfile(BoardProfile profile, const QList<Sound::JournalEntry>& journal, const QList<int>& leftOut)
{
    ProfilePack pack;
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank) {
        std::optional<ProfileBank>& sounds = profile.bank(bank);
        if (!sounds)
            continue;
        for (const int slot : leftOut)
            sounds->slotFiles.remove(slot);
        for (auto it = sounds->slotFiles.begin(); it != sounds->slotFiles.end(); ++it) {
            const auto entry = std::find_if(journal.begin(), journal.end(),
                                            [slot = it.key()](const Sound::JournalEntry& e) { return e.slot == slot; });
            QString source;
            const QString problem = entry == journal.end()
                                        ? QStringLiteral("the journal no longer knows this slot.")
                                        : findSource(*entry, *it, source);
            if (!problem.isEmpty()) {
                pack.unavailable.insert(it.key(), QStringLiteral("%1: %2").arg(SlotEntry(it.key()), problem));
                continue;
            }
            const Sound::SoundSlot& where = Sound::SoundSlots().at(it.key());
            it->file = QStringLiteral("%1/bank%2/%3/%4")
                           .arg(SOUNDS_FOLDER)
                           .arg(where.bank)
                           .arg(Sound::SlotWord(it.key()), QFileInfo(source).fileName());
            pack.sources.insert(it->file, source);
        }
        if (sounds->slotFiles.isEmpty() && sounds->font.isEmpty())
            sounds.reset();
    }
    pack.profile = std::move(profile);
    return pack;
}

QString WriteProfileArchive(const QString& path, const ProfilePack& pack)
{
    QByteArray bytes;
    ArchivePtr a(archive_write_new(), archive_write_free);
    if (archive_write_set_format_zip(a.get()) != ARCHIVE_OK ||
        archive_write_open2(a.get(), &bytes, nullptr, appendToBytes, nullptr, nullptr) != ARCHIVE_OK)
        return archiveError(a.get());
    if (const QString failure = addEntry(a.get(), PROFILE_MANIFEST_NAME, WriteBoardProfile(pack.profile));
        !failure.isEmpty())
        return failure;
    qint64 total = 0;
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank) {
        const std::optional<ProfileBank>& sounds = pack.profile.bank(bank);
        if (!sounds)
            continue;
        for (const ProfileSlot& slot : sounds->slotFiles) {
            const QString source = pack.sources.value(slot.file);
            QFile file(source);
            if (!file.open(QIODevice::ReadOnly))
                return QStringLiteral("%1 cannot be read (%2)").arg(source, file.errorString());
            const QByteArray content = file.readAll();
            total += content.size();
            if (total > MAX_PROFILE_ARCHIVE_BYTES)
                return tooLarge();
            if (Sound::FileChecksum(content) != slot.sha256)
                return QStringLiteral("%1 changed while the profile was saved").arg(source);
            if (const QString failure = addEntry(a.get(), slot.file, content); !failure.isEmpty())
                return failure;
        }
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK)
        return archiveError(a.get());
    return WriteWholeFile(path, bytes);
}

} // namespace Params
