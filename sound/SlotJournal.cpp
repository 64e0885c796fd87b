#include "sound/SlotJournal.h"

#include "common/Define.h"
#include "common/FileWriting.h"
#include "params/SerialNumber.h"
#include "sound/SlotMap.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

namespace Sound {
namespace {

const QString SLOTS = QStringLiteral("slots");
const QString FILE_KEY = QStringLiteral("file");
const QString SHA256 = QStringLiteral("sha256");
const QString PATH_KEY = QStringLiteral("path");
const QString SENT_SHA256 = QStringLiteral("sentSha256");
const QString WRITTEN = QStringLiteral("written");
const QString SERIAL = QStringLiteral("serial");
constexpr int ADDRESS_DIGITS = 6;
constexpr int HEX = 16;

QString slotKey(const SoundSlot& slot)
{
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(slot.address, ADDRESS_DIGITS, HEX, QLatin1Char('0')).toUpper();
}

struct Loaded {
    QJsonObject root;
    bool damaged = false;
};

Loaded load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject())
        return {{}, true};
    return {doc.object(), false};
}

QString noSerial()
{
    return QStringLiteral("The board's serial number is not known yet, so what went where is not recorded.");
}

QString refusal(const QString& serial)
{
    if (serial.trimmed().isEmpty())
        return noSerial();
    if (Params::SerialIsUnset(serial))
        return QStringLiteral("The board's serial number is not set (it reads %1): every board without one "
                              "reads the same, so what went where on this board is not recorded and its slots "
                              "count as unknown.")
            .arg(serial);
    return {};
}

// Where a damaged journal goes: "board-X.json.damaged", then
// "board-X.json.damaged-2" and on, the first name no file has yet.
QString freeAsideName(const QString& path)
{
    const QString first = path + QStringLiteral(".damaged");
    QString aside = first;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = first + QStringLiteral("-%1").arg(n);
    return aside;
}

// The journal is rewritten whole through a temporary file, so a crash never
// leaves half of one; a damaged journal is kept beside the new one, never
// overwritten, so nothing an owner might want back is lost.
template <typename Change>
QString update(const QString& folder, const QString& path, const QString& serial, Change change)
{
    if (const QString refused = refusal(serial); !refused.isEmpty())
        return refused;
    if (!QDir().mkpath(folder))
        return QStringLiteral("The folder %1 cannot be made.").arg(folder);
    Loaded loaded = load(path);
    if (loaded.damaged) {
        const QString aside = freeAsideName(path);
        if (!QFile::rename(path, aside))
            return QStringLiteral("The damaged slot journal %1 cannot be kept as %2.").arg(path, aside);
    }
    QJsonObject entries = loaded.root.value(SLOTS).toObject();
    change(entries);
    loaded.root[SERIAL] = serial;
    loaded.root[SLOTS] = entries;
    const QString failure = WriteWholeFile(path, QJsonDocument(loaded.root).toJson());
    if (!failure.isEmpty())
        return QStringLiteral("The slot journal %1 cannot be written: %2").arg(path, failure);
    return {};
}

} // namespace

QString FileChecksum(const QByteArray& content)
{
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex());
}

QString FileChecksum(QIODevice& file)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

SlotSource SlotSource::Of(const QString& path, const QString& checksum, const QByteArray& sentBytes)
{
    const QFileInfo file(path);
    return {file.fileName(), checksum, file.absoluteFilePath(), FileChecksum(sentBytes)};
}

SlotJournal::SlotJournal(const QString& folder)
    : folder_(folder)
{
}

QString SlotJournal::DefaultFolder()
{
    // The program's own folder, not the running program's: the command line
    // writes the same boards' slots as the window and keeps the same journals.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1Char('/') +
           QString::fromLatin1(Define::PROGRAM_NAME) + QStringLiteral("/slot-journal");
}

QString SlotJournal::fileFor(const QString& serial) const
{
    // Serial numbers read "1523-0042"; anything else a board might report is made
    // safe for a file name rather than trusted.
    QString safe;
    for (const QChar c : serial.trimmed())
        safe += c.isLetterOrNumber() || c == QLatin1Char('-') ? c : QLatin1Char('_');
    return folder_ + QStringLiteral("/board-") + safe + QStringLiteral(".json");
}

QString SlotJournal::record(const QString& serial, int slot, const SlotSource& source, const QDateTime& when)
{
    if (slot < 0 || slot >= SoundSlots().size())
        return QStringLiteral("There is no slot %1.").arg(slot);
    return update(folder_, fileFor(serial), serial, [&](QJsonObject& entries) {
        entries[slotKey(SoundSlots()[slot])] = QJsonObject{{FILE_KEY, source.fileName},
                                                           {SHA256, source.checksum},
                                                           {PATH_KEY, source.path},
                                                           {SENT_SHA256, source.sentChecksum},
                                                           {WRITTEN, when.toUTC().toString(Qt::ISODate)}};
    });
}

QString SlotJournal::forgetSectors(const QString& serial, const QList<std::uint32_t>& sectors)
{
    return update(folder_, fileFor(serial), serial, [&](QJsonObject& entries) {
        for (const SoundSlot& s : SoundSlots())
            for (int i = 0; i < s.sectors; ++i)
                if (sectors.contains(s.address + static_cast<std::uint32_t>(i) * Define::SECTOR_SIZE))
                    entries.remove(slotKey(s));
    });
}

QList<JournalEntry> SlotJournal::list(const QString& serial) const
{
    // A number that names no board lists nothing: another board's record under
    // the same text says nothing about this one.
    const QJsonObject recorded =
        Refusal(serial).isEmpty() ? load(fileFor(serial)).root.value(SLOTS).toObject() : QJsonObject();
    QList<JournalEntry> entries;
    const QList<SoundSlot>& all = SoundSlots();
    for (int i = 0; i < all.size(); ++i) {
        JournalEntry e;
        e.slot = i;
        const QJsonObject o = recorded.value(slotKey(all[i])).toObject();
        e.fileName = o.value(FILE_KEY).toString();
        e.checksum = o.value(SHA256).toString();
        e.path = o.value(PATH_KEY).toString();
        e.sentChecksum = o.value(SENT_SHA256).toString();
        e.written = QDateTime::fromString(o.value(WRITTEN).toString(), Qt::ISODate);
        entries.append(e);
    }
    return entries;
}

QString SlotJournal::UnknownText()
{
    return QStringLiteral("unknown");
}

QString SlotJournal::NoSerialText()
{
    return noSerial();
}

QString SlotJournal::Refusal(const QString& serial)
{
    return refusal(serial);
}

} // namespace Sound
