#include "params/ProfileDifferences.h"

#include "params/ParameterLayout.h"
#include "sound/FontPlan.h"
#include "sound/SlotJournal.h"

#include <QFile>
#include <QFileInfo>

namespace Params {

namespace {

const QString PARAMETERS_ENTRY = QStringLiteral("parameters.");

QString bankText(std::optional<int> bank)
{
    return bank ? QString::number(*bank) : Sound::SlotJournal::UnknownText();
}

// A slot's file as both sides name it: the name and, what decides, its checksum.
QString slotText(const QString& file, const QString& checksum)
{
    return QStringLiteral("%1 (SHA-256 %2)").arg(QFileInfo(file).fileName(), checksum);
}

void compareParameters(const ParameterFileContent& wanted, const ParameterFileContent& board,
                       QList<ProfileDifference>& found)
{
    for (const ParameterField& field : parameterFields()) {
        const QString key = FileKey(field);
        const auto it = wanted.edits.constFind(field.editName());
        if (key.isEmpty() || it == wanted.edits.cend())
            continue;
        const QString held = board.edits.value(field.editName());
        if (*it != held)
            found.append({PARAMETERS_ENTRY + key, *it, held, DifferenceSource::Board});
    }
    if (wanted.defaultBank && wanted.defaultBank != board.defaultBank)
        found.append({PARAMETERS_ENTRY + QStringLiteral("defaultBank"), bankText(wanted.defaultBank),
                      bankText(board.defaultBank), DifferenceSource::Board});
    if (wanted.frequencyMode != board.frequencyMode)
        found.append({PARAMETERS_ENTRY + QStringLiteral("frequencyMode"),
                      QString::number(wanted.frequencyMode), QString::number(board.frequencyMode),
                      DifferenceSource::Board});
}

void compareSlots(const ProfileBank& bank, const QList<Sound::JournalEntry>& journal,
                  QList<ProfileDifference>& found)
{
    for (auto it = bank.slotFiles.begin(); it != bank.slotFiles.end(); ++it) {
        const int slot = it.key();
        const auto held = std::find_if(journal.begin(), journal.end(), [slot](const Sound::JournalEntry& e) {
            return e.slot == slot && e.known();
        });
        if (held != journal.end() && held->checksum == it->sha256)
            continue;
        found.append({SlotEntry(slot), slotText(it->file, it->sha256),
                      held == journal.end() ? Sound::SlotJournal::UnknownText()
                                            : slotText(held->fileName, held->checksum),
                      DifferenceSource::Journal});
    }
}

} // namespace

QString SourceText(DifferenceSource source)
{
    return source == DifferenceSource::Board ? QStringLiteral("board") : QStringLiteral("journal");
}

ListedProfile ListFontSlots(const BoardProfile& profile)
{
    ListedProfile listed{profile, {}};
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank) {
        std::optional<ProfileBank>& sounds = listed.profile.bank(bank);
        if (!sounds || sounds->font.isEmpty())
            continue;
        const FontFolder folder = FontFolderOf(profile, bank);
        if (!folder.problem.isEmpty()) {
            listed.problems << folder.problem;
            continue;
        }
        ProfileBank fromFont;
        for (const Sound::FontRow& row : Sound::PlanFont(folder.path, bank).rows) {
            if (row.path.isEmpty())
                continue;
            QFile file(row.path);
            const QString checksum = file.open(QIODevice::ReadOnly) ? Sound::FileChecksum(file) : QString();
            if (checksum.isEmpty()) {
                listed.problems
                    << QStringLiteral("%1.font: %2 cannot be read").arg(BankEntry(bank), row.path);
                continue;
            }
            fromFont.slotFiles.insert(row.slot, {row.path, checksum});
        }
        sounds = std::move(fromFont);
    }
    return listed;
}

QList<ProfileDifference> ProfileDifferences(const ListedProfile& listed, const ParameterFileContent& board,
                                            const QList<Sound::JournalEntry>& journal)
{
    const BoardProfile& profile = listed.profile;
    QList<ProfileDifference> found;
    if (!profile.firmwareRelease.isEmpty() && profile.firmwareRelease != board.release)
        found.append({QStringLiteral("firmwareRelease"), profile.firmwareRelease, board.release,
                      DifferenceSource::Board});
    compareParameters(profile.parameters, board, found);
    for (const std::optional<ProfileBank>& bank : profile.banks)
        if (bank)
            compareSlots(*bank, journal, found);
    return found;
}

} // namespace Params
