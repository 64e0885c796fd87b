#include "params/BoardProfile.h"

#include "common/JsonFile.h"
#include "params/ParameterLayout.h"
#include "params/ProfileArchive.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"
#include "sound/SlotNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace Params {

namespace {

const JsonFormat FORMAT{QStringLiteral("tavrin-board-profile"), BOARD_PROFILE_VERSION,
                        QStringLiteral("board profile"), QStringLiteral("board profile format")};
const QString PARAMETERS_KEY = QStringLiteral("parameters");
const QString BANKS_KEY = QStringLiteral("banks");
const QString RELEASE_KEY = QStringLiteral("firmwareRelease");
const QString FONT_KEY = QStringLiteral("font");
const QString SLOTS_KEY = QStringLiteral("slots");
const QString FILE_KEY = QStringLiteral("file");
const QString SHA256_KEY = QStringLiteral("sha256");
constexpr int SHA256_DIGITS = 64;

QString joined(const QString& path, const QString& key)
{
    return path + QLatin1Char('.') + key;
}

// The first key of `object` that is not one of `known`, with its path; empty when all are.
QString unknownEntry(const QJsonObject& object, const QStringList& known, const QString& path)
{
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!known.contains(it.key()))
            return path.isEmpty() ? it.key() : joined(path, it.key());
    return {};
}

QString notPartOfProfile(const QString& entry)
{
    return QStringLiteral("Entry \"%1\" is not part of a board profile.").arg(entry);
}

bool isChecksum(const QString& text)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{%1}$").arg(SHA256_DIGITS));
    return hex.match(text).hasMatch();
}

bool isRelease(const QString& text)
{
    static const QRegularExpression release(QStringLiteral("^[0-9]+\\.[0-9]+$"));
    return release.match(text).hasMatch();
}

// Reads one listed slot into bank.slotFiles; the refusal when it is bad.
QString readSlot(int bank, const QString& name, const QJsonValue& value, ProfileBank& into)
{
    const QString entry = joined(joined(BankEntry(bank), SLOTS_KEY), name);
    const int slot = Sound::SlotIndexByName(bank, name);
    if (slot < 0)
        return QStringLiteral("Entry \"%1\" is not a slot of a bank (%2).")
            .arg(entry, Sound::SlotWordsText());
    if (into.slotFiles.contains(slot))
        return QStringLiteral("Entry \"%1\" names slot %2 a second time.").arg(entry, Sound::SlotWord(slot));
    const QJsonObject object = value.toObject();
    if (!value.isObject())
        return QStringLiteral("Entry \"%1\" must hold \"%2\" and \"%3\".").arg(entry, FILE_KEY, SHA256_KEY);
    if (const QString unknown = unknownEntry(object, {FILE_KEY, SHA256_KEY}, entry); !unknown.isEmpty())
        return notPartOfProfile(unknown);
    const QString file = object.value(FILE_KEY).toString();
    if (file.isEmpty())
        return QStringLiteral("Entry \"%1\" must name a sound file.").arg(joined(entry, FILE_KEY));
    const QString sha256 = object.value(SHA256_KEY).toString();
    if (!isChecksum(sha256))
        return QStringLiteral("Entry \"%1\" must be the file's SHA-256: %2 hexadecimal digits.")
            .arg(joined(entry, SHA256_KEY))
            .arg(SHA256_DIGITS);
    into.slotFiles.insert(slot, {file, sha256.toLower()});
    return {};
}

// Reads one bank's entry into `into`; the refusal when it is bad.
QString readBank(int bank, const QJsonValue& value, ProfileBank& into)
{
    const QString entry = BankEntry(bank);
    const QJsonObject object = value.toObject();
    if (!value.isObject() || object.contains(FONT_KEY) == object.contains(SLOTS_KEY))
        return QStringLiteral("Entry \"%1\" must hold either \"%2\" or \"%3\".")
            .arg(entry, FONT_KEY, SLOTS_KEY);
    if (const QString unknown = unknownEntry(object, {FONT_KEY, SLOTS_KEY}, entry); !unknown.isEmpty())
        return notPartOfProfile(unknown);
    if (object.contains(FONT_KEY)) {
        into.font = object.value(FONT_KEY).toString();
        return into.font.isEmpty()
                   ? QStringLiteral("Entry \"%1\" must name a font folder.").arg(joined(entry, FONT_KEY))
                   : QString();
    }
    const QJsonValue slotMap = object.value(SLOTS_KEY);
    if (!slotMap.isObject())
        return QStringLiteral("Entry \"%1\" must map slot names to files.").arg(joined(entry, SLOTS_KEY));
    const QJsonObject listed = slotMap.toObject();
    for (auto it = listed.begin(); it != listed.end(); ++it)
        if (const QString refusal = readSlot(bank, it.key(), it.value(), into); !refusal.isEmpty())
            return refusal;
    return {};
}

QString readBanks(const QJsonValue& value, BoardProfile& profile)
{
    if (value.isUndefined())
        return {};
    if (!value.isObject())
        return QStringLiteral("Entry \"%1\" must map banks 1, 2 and 3 to their sounds.").arg(BANKS_KEY);
    const QJsonObject banks = value.toObject();
    for (auto it = banks.begin(); it != banks.end(); ++it) {
        bool number = false;
        const int bank = it.key().toInt(&number);
        if (!number || bank < Define::BANK1 || bank > Define::BANK3 || it.key() != QString::number(bank))
            return QStringLiteral("Entry \"%1\" is not a bank of this board (1, 2 or 3).")
                .arg(joined(BANKS_KEY, it.key()));
        ProfileBank read;
        if (const QString refusal = readBank(bank, it.value(), read); !refusal.isEmpty())
            return refusal;
        profile.bank(bank) = std::move(read);
    }
    return {};
}

BoardProfileRead refused(const QString& why)
{
    return {std::nullopt, why};
}

} // namespace

QString BoardProfile::pathOf(const QString& file) const
{
    return QDir::cleanPath(QDir(folder).filePath(file));
}

QString BankEntry(int bank)
{
    return joined(BANKS_KEY, QString::number(bank));
}

QString SlotEntry(int slot)
{
    return joined(joined(BankEntry(Sound::SoundSlots().at(slot).bank), SLOTS_KEY), Sound::SlotWord(slot));
}

FontFolder FontFolderOf(const BoardProfile& profile, int bank)
{
    const QString path = profile.pathOf(profile.bank(bank)->font);
    if (QFileInfo(path).isDir())
        return {path, {}};
    return {{}, QStringLiteral("%1: there is no folder %2").arg(joined(BankEntry(bank), FONT_KEY), path)};
}

BoardProfileRead ReadBoardProfile(const QByteArray& bytes, const QString& folder)
{
    const JsonFileRead read = ReadJsonFile(bytes, QStringLiteral("a board profile"));
    if (!read.error.isEmpty())
        return refused(read.error);
    const QJsonObject& root = read.root;
    if (const QString refusal = FormatRefusal(root, FORMAT, QStringLiteral("The file")); !refusal.isEmpty())
        return refused(refusal);
    const QString unknown =
        unknownEntry(root, {JSON_FORMAT_KEY, JSON_VERSION_KEY, PARAMETERS_KEY, BANKS_KEY, RELEASE_KEY}, {});
    if (!unknown.isEmpty())
        return refused(notPartOfProfile(unknown));

    BoardProfile profile;
    profile.folder = folder;
    if (!root.contains(PARAMETERS_KEY))
        return refused(QStringLiteral("Entry \"%1\" is missing.").arg(PARAMETERS_KEY));
    ParameterFileResult parameters =
        ReadParameterObject(root.value(PARAMETERS_KEY).toObject(), PARAMETERS_KEY, ParameterReading::Strict);
    if (!parameters.content)
        return refused(parameters.error);
    profile.parameters = std::move(*parameters.content);
    if (const QString refusal = readBanks(root.value(BANKS_KEY), profile); !refusal.isEmpty())
        return refused(refusal);
    const QJsonValue release = root.value(RELEASE_KEY);
    if (!release.isUndefined()) {
        profile.firmwareRelease = release.toString();
        if (!isRelease(profile.firmwareRelease))
            return refused(QStringLiteral("Entry \"%1\" must be a release as the board reports it, such as "
                                          "\"7.0\".")
                               .arg(RELEASE_KEY));
    }
    return {std::move(profile), {}};
}

BoardProfileRead ReadBoardProfileFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("%1: the file cannot be read (%2).").arg(path, file.errorString()));
    // One byte beyond the limit is enough to refuse a file as too large.
    const QByteArray bytes = file.read(MAX_JSON_FILE_BYTES + 1);
    BoardProfileRead read = IsProfileArchive(bytes) ? ReadProfileArchive(path)
                                                    : ReadBoardProfile(bytes, QFileInfo(path).absolutePath());
    if (!read.profile)
        read.error = QStringLiteral("%1: %2").arg(path, read.error);
    return read;
}

QByteArray WriteBoardProfile(const BoardProfile& profile)
{
    QJsonObject banks;
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank) {
        const std::optional<ProfileBank>& sounds = profile.bank(bank);
        if (!sounds)
            continue;
        if (!sounds->font.isEmpty()) {
            banks.insert(QString::number(bank), QJsonObject{{FONT_KEY, sounds->font}});
            continue;
        }
        QJsonObject slotMap;
        for (auto it = sounds->slotFiles.begin(); it != sounds->slotFiles.end(); ++it)
            slotMap.insert(Sound::SlotWord(it.key()),
                           QJsonObject{{FILE_KEY, it->file}, {SHA256_KEY, it->sha256}});
        banks.insert(QString::number(bank), QJsonObject{{SLOTS_KEY, slotMap}});
    }
    QJsonObject root{
        {JSON_FORMAT_KEY, FORMAT.name},
        {JSON_VERSION_KEY, FORMAT.version},
        {PARAMETERS_KEY, ParameterFileObject(profile.parameters)},
        {BANKS_KEY, banks},
    };
    if (!profile.firmwareRelease.isEmpty())
        root.insert(RELEASE_KEY, profile.firmwareRelease);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

BoardProfile ProfileFromBoard(const ParameterFileContent& read, const QList<Sound::JournalEntry>& journal,
                              Calibration calibration)
{
    BoardProfile profile;
    profile.parameters = read;
    if (calibration == Calibration::LeftOut)
        for (const ParameterField& field : parameterFields())
            if (field.isCalibration())
                profile.parameters.edits.remove(field.editName());
    // What a profile could not be read back with is left out: a release never
    // read, a journal entry (edited by hand, say) without a checksum.
    profile.firmwareRelease = isRelease(read.release) ? read.release : QString();
    for (const Sound::JournalEntry& entry : journal) {
        if (!entry.known() || !isChecksum(entry.checksum))
            continue;
        std::optional<ProfileBank>& bank = profile.bank(Sound::SoundSlots().at(entry.slot).bank);
        if (!bank)
            bank.emplace();
        bank->slotFiles.insert(entry.slot, {entry.fileName, entry.checksum.toLower()});
    }
    return profile;
}

} // namespace Params
