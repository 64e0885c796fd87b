#include "sound/FontPlan.h"

#include "common/Define.h"
#include "sound/BoardFormat.h"
#include "sound/FontNames.h"
#include "sound/SlotJournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Sound {
namespace {

void examine(FontRow& row)
{
    row.facts.reset();
    row.problem.clear();
    row.fits = false;
    if (row.path.isEmpty())
        return;
    // The header alone: choosing a huge file costs no more than a small one.
    QFile file(row.path);
    if (!file.open(QIODevice::ReadOnly)) {
        row.problem = QStringLiteral("the file cannot be opened");
        return;
    }
    SoundFactsRead read = ReadSoundFacts(file);
    if (!read.value) {
        row.problem = read.message;
        return;
    }
    row.facts = *read.value;
    const SoundSlot& slot = SoundSlots()[row.slot];
    row.fits = FitsSlotSamples(row.facts->boardSamples, slot);
    if (!row.fits)
        row.problem = QStringLiteral("%1 bytes for the board; the slot takes at most %2")
                          .arg(row.facts->boardSamples * Define::WAV_SAMPLE_BYTES)
                          .arg(qint64(SlotSampleBudget(slot)) * Define::WAV_SAMPLE_BYTES);
}

} // namespace

FontPlan PlanFont(const QString& folder, int bank)
{
    FontPlan plan;
    plan.bank = bank;
    plan.folder = folder;
    const QList<SoundSlot>& map = SoundSlots();
    for (int i = 0; i < map.size(); ++i)
        if (map[i].bank == bank)
            plan.rows.append(FontRow{i, FontSlotName(map[i].kind, map[i].number), {}, {}, {}, false});

    const QDir dir(folder);
    const QStringList files =
        dir.entryList(SoundFileFilters(), QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString& file : files) {
        const std::optional<FontSlot> match = MatchFontName(file);
        if (!match) {
            plan.unplaced << QStringLiteral("%1: matches no slot").arg(file);
            continue;
        }
        const int index = SlotIndex(bank, match->kind, match->number);
        for (FontRow& row : plan.rows) {
            if (row.slot != index)
                continue;
            if (!row.path.isEmpty())
                plan.unplaced << QStringLiteral("%1: %2 already has %3")
                                     .arg(file, row.name, QFileInfo(row.path).fileName());
            else
                row.path = dir.filePath(file);
        }
    }
    for (FontRow& row : plan.rows)
        examine(row);
    return plan;
}

void ChooseFile(FontPlan& plan, int row, const QString& path)
{
    if (row < 0 || row >= plan.rows.size())
        return;
    plan.rows[row].path = path;
    examine(plan.rows[row]);
}

FontCheck CheckFontPlan(const FontPlan& plan, bool trimToFit)
{
    FontCheck check;
    const QString none = QStringLiteral("0");
    for (const FontRow& row : plan.rows) {
        if (row.path.isEmpty())
            continue;
        const FileUpload file =
            PrepareSoundFileUpload(row.path, SoundSlots()[row.slot], none, none, trimToFit);
        if (!file.verdict.upload || !file.content) {
            check.problems << row.name + QStringLiteral(": ") + file.verdict.message;
            continue;
        }
        check.uploads.append(
            {row.slot, row.name, row.path, file.verdict.upload->stream, FileChecksum(*file.content)});
    }
    if (check.uploads.isEmpty() && check.problems.isEmpty())
        check.problems << QStringLiteral("No file is chosen for any slot. Nothing was sent.");
    if (!check.problems.isEmpty())
        check.uploads.clear();
    return check;
}

QString FontProgressText(const QString& slotName, int done, int total)
{
    return QStringLiteral("%1: %2 of %3").arg(slotName).arg(done).arg(total);
}

} // namespace Sound
