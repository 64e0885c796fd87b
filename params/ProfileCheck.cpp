#include "params/ProfileCheck.h"

#include "params/ParameterLayout.h"
#include "sound/FontNames.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"
#include "sound/SoundUpload.h"

#include <QFileInfo>

namespace Params {

namespace {

const QString PARAMETERS_ENTRY = QStringLiteral("parameters");
// A profile's file is sent whole: no samples are skipped at either end.
const QString NO_SKIP = QStringLiteral("0");

QString problem(const QString& entry, const QString& why)
{
    return QStringLiteral("%1: %2").arg(entry, why);
}

// Every value that cannot be sent, not only the first: the owner mends them all at once.
QStringList parameterProblems(const ParameterFileContent& parameters)
{
    QStringList problems;
    for (const ParameterField& field : parameterFields()) {
        const QString key = FileKey(field);
        int value = 0;
        if (key.isEmpty() || (field.isCalibration() && !parameters.edits.contains(field.editName())))
            continue;
        if (const auto refusal = CheckFieldText(field, parameters.edits.value(field.editName()), value))
            problems << problem(PARAMETERS_ENTRY + QLatin1Char('.') + key, refusal->message);
    }
    if (!frequencyButtons().buttonFor(parameters.frequencyMode))
        problems << problem(PARAMETERS_ENTRY + QStringLiteral(".frequencyMode"),
                            QStringLiteral("%1 is not a frequency mode.").arg(parameters.frequencyMode));
    if (parameters.defaultBank &&
        (*parameters.defaultBank < Define::BANK1 || *parameters.defaultBank > Define::BANK3))
        problems << problem(PARAMETERS_ENTRY + QStringLiteral(".defaultBank"),
                            QStringLiteral("%1 is not a bank.").arg(*parameters.defaultBank));
    return problems;
}

// The calibration a profile carries (checked already), for the board that is to take it.
QList<ParameterWrite> calibrationWrites(const ParameterFileContent& parameters)
{
    QList<ParameterWrite> writes;
    for (const ParameterField& field : parameterFields()) {
        int value = 0;
        if (field.isCalibration() && parameters.edits.contains(field.editName())
            && !CheckFieldText(field, parameters.edits.value(field.editName()), value))
            writes.append(FieldWrites(field, value));
    }
    return writes;
}

void checkFont(const BoardProfile& profile, int bank, ProfileCheck& check)
{
    const FontFolder folder = FontFolderOf(profile, bank);
    if (!folder.problem.isEmpty()) {
        check.problems << folder.problem;
        return;
    }
    const Sound::FontCheck font = Sound::CheckFontPlan(Sound::PlanFont(folder.path, bank));
    for (const QString& why : font.problems)
        check.problems << problem(QStringLiteral("%1.font").arg(BankEntry(bank)), why);
    check.uploads.append(font.uploads);
}

void checkSlot(const BoardProfile& profile, int slot, const ProfileSlot& listed, ProfileCheck& check)
{
    const QString entry = SlotEntry(slot);
    const QString path = profile.pathOf(listed.file);
    if (!QFileInfo(path).isFile()) {
        check.problems << problem(entry, QStringLiteral("there is no file %1").arg(path));
        return;
    }
    const Sound::SoundSlot& target = Sound::SoundSlots().at(slot);
    const Sound::FileUpload file = Sound::PrepareSoundFileUpload(path, target, NO_SKIP, NO_SKIP);
    if (!file.verdict.upload || !file.content) {
        check.problems << problem(entry, file.verdict.message);
        return;
    }
    const QString checksum = Sound::FileChecksum(*file.content);
    if (checksum != listed.sha256) {
        check.problems << problem(entry, QStringLiteral("the file %1 is not the one the profile names: its "
                                                        "SHA-256 is %2, the profile's %3")
                                             .arg(path, checksum, listed.sha256));
        return;
    }
    check.uploads.append(
        {slot, Sound::FontSlotName(target.kind, target.number), path, file.verdict.upload->stream, checksum});
}

} // namespace

ProfileCheck CheckProfile(const BoardProfile& profile)
{
    ProfileCheck check;
    check.problems = parameterProblems(profile.parameters);
    if (check.problems.isEmpty()) {
        const ParameterFileContent& parameters = profile.parameters;
        const WritePlanResult plan =
            PlanParameterWrite([&parameters](const QString& edit) { return parameters.edits.value(edit); },
                               parameters.frequencyMode, parameters.defaultBank);
        if (plan.ok()) {
            check.parameters = plan.plan;
            check.parameters.addOutsideBanks(calibrationWrites(parameters));
        } else
            check.problems << problem(PARAMETERS_ENTRY, plan.refusal->message);
    }
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank) {
        const std::optional<ProfileBank>& sounds = profile.bank(bank);
        if (sounds && !sounds->font.isEmpty())
            checkFont(profile, bank, check);
        else if (sounds)
            for (auto it = sounds->slotFiles.begin(); it != sounds->slotFiles.end(); ++it)
                checkSlot(profile, it.key(), *it, check);
    }
    if (!check.ok())
        check.uploads.clear();
    return check;
}

QString ReleaseRefusal(const BoardProfile& profile, const QString& release)
{
    if (profile.firmwareRelease.isEmpty() || profile.firmwareRelease == release)
        return {};
    if (release.isEmpty())
        return QStringLiteral(
                   "This board's release has not been read; the profile is for release %1. Nothing "
                   "was sent.")
            .arg(profile.firmwareRelease);
    return QStringLiteral("This board runs release %1; the profile is for release %2. Nothing was sent.")
        .arg(release, profile.firmwareRelease);
}

QList<Sound::FontUpload> UploadsNotOnBoard(const QList<Sound::FontUpload>& uploads,
                                           const QList<Sound::JournalEntry>& journal)
{
    QList<Sound::FontUpload> needed;
    for (const Sound::FontUpload& upload : uploads) {
        const auto held =
            std::find_if(journal.begin(), journal.end(), [&upload](const Sound::JournalEntry& e) {
                return e.slot == upload.slot && e.known();
            });
        // The file's checksum alone would take a slot that lacks skipped or
        // trimmed samples for up to date; a journal from before the received
        // bytes were recorded has no checksum of them, and so never matches.
        if (held == journal.end() || held->checksum != upload.checksum ||
            held->sentChecksum != Sound::FileChecksum(upload.stream))
            needed.append(upload);
    }
    return needed;
}

} // namespace Params
