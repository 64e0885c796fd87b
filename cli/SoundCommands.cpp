// The sound memory: erasing rows or all of it, uploading one file into a slot
// and importing a font, each journalled under the board's serial number.
#include "cli/CommandLine.h"

#include "common/Define.h"
#include "sound/BoardFormat.h"
#include "sound/BoardJournal.h"
#include "sound/EraseOperation.h"
#include "sound/FontPlan.h"
#include "sound/ImportOperation.h"
#include "sound/SampleStream.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"
#include "sound/SlotNames.h"
#include "sound/SoundUpload.h"
#include "sound/UploadOperation.h"

#include <QFileInfo>
#include <array>
#include <memory>

namespace Cli {

using namespace Sound;

namespace {
const QString BANK = QStringLiteral("bank");
const QString ROW = QStringLiteral("row");
const QString SLOT = QStringLiteral("slot");
const QString ALL_SOUNDS = QStringLiteral("all");
const QString TRIM = QStringLiteral("trim");
// A file sent as it is: no samples are skipped at either end.
const QString NO_SKIP = QStringLiteral("0");

struct RowName {
    const char* name;
    SoundRow row;
};
constexpr std::array<RowName, 4> ROWS = {{
    {"guard", SoundRow::Guard},
    {"swing", SoundRow::Swing},
    {"clash", SoundRow::Clash},
    {"powerclash", SoundRow::PowerClash},
}};

// Upload and import trim alike: a sound too long for its slot is cut to fit.
void addTrimOption(QCommandLineParser& parser)
{
    parser.addOption({TRIM, QStringLiteral("Trims a sound too long for its slot, fading out its end.")});
}

// The refusal of a sound too long for its slot says to trim it; here that is
// an option, and the refusal names it when it would have helped.
QString withTrimAdvice(const QString& refusal, bool trimWouldHelp)
{
    if (!trimWouldHelp)
        return refusal;
    return refusal + QStringLiteral(" Add --trim to cut the end of a sound too long for its slot, fading out "
                                    "over its last %1 ms.")
                         .arg(TRIM_FADE_MS);
}

// 1 to 3, or nothing.
std::optional<int> bankOf(const QCommandLineParser& parser)
{
    bool number = false;
    const int bank = parser.value(BANK).toInt(&number);
    if (!number || bank < 1 || bank > Define::BANK_COUNT)
        return std::nullopt;
    return bank;
}

// An operation made and told to the journal; the journal's refusal, when it
// refuses it, and then it must not run.
struct Journalled {
    Operation* operation;
    QString refusal;
};

// Runs the operation `start` makes, once the board's serial number is known:
// `start` hands it to the journal as the window does. What could not be
// recorded is told on the error stream; a journal that could not be written
// fails the operation, since the slots it wrote are now unknown.
void runJournalled(BoardSession& board,
                   const std::function<Journalled(BoardLink& link, BoardJournal& journal)>& start,
                   const BoardSession::Done& done)
{
    board.readSerialNumber([&board, start, done](bool ok, const QString& message) {
        if (!ok) {
            done(false, message);
            return;
        }
        const Journalled made = start(board.link(), board.journal());
        if (!made.refusal.isEmpty()) {
            delete made.operation;
            done(false, QStringLiteral("%1: %2").arg(board.port(), made.refusal));
            return;
        }
        const auto tell = [&board](const QString& why) {
            PrintError(QStringLiteral("%1: %2").arg(board.port(), why));
        };
        // Told before the session hears of the end: the journal's note comes first.
        auto notRecorded = std::make_shared<QString>();
        QObject::connect(&board.journal(), &BoardJournal::unknownBoard, made.operation, tell);
        QObject::connect(&board.journal(), &BoardJournal::notRecorded, made.operation,
                         [notRecorded](const QString& why) { *notRecorded = why; });
        board.run(made.operation, [&board, done, notRecorded](bool ok, const QString& message) {
            if (notRecorded->isEmpty())
                done(ok, message);
            else
                done(false, QStringLiteral("%1: %2%3")
                                .arg(board.port(), *notRecorded,
                                     message.isEmpty() ? QString() : QLatin1Char('\n') + message));
        });
    });
}

int erase(Invocation& call)
{
    const bool everything = call.parser.isSet(ALL_SOUNDS);
    const std::optional<int> bank = bankOf(call.parser);
    const QString rowName = call.parser.value(ROW);
    const auto row = std::find_if(ROWS.begin(), ROWS.end(),
                                  [&rowName](const RowName& r) { return rowName == QLatin1String(r.name); });
    if (everything == (bank || row != ROWS.end()))
        return UsageError(QStringLiteral("erase takes either --bank 1..3 with --row, or --all"));
    if (!everything && (!bank || row == ROWS.end()))
        return UsageError(QStringLiteral("erase needs --bank 1..3 and --row guard|swing|clash|powerclash"));
    const int bankFromZero = everything ? 0 : *bank - 1;
    const SoundRow soundRow = everything ? SoundRow::Guard : row->row;
    return RunOnBoards(call.ports, call.output, Connect::SetUp,
                       [everything, bankFromZero, soundRow](BoardSession& board, BoardResult&,
                                                            const BoardSession::Done& done) {
                           runJournalled(
                               board,
                               [everything, bankFromZero, soundRow](BoardLink& link, BoardJournal& journal) {
                                   Operation* erase =
                                       everything ? EraseOperation::all(link, nullptr)
                                                  : EraseOperation::row(link, bankFromZero, soundRow, nullptr);
                                   return Journalled{erase, journal.erase(erase, everything
                                                                                     ? AllSlotSectors()
                                                                                     : EraseGroup(bankFromZero,
                                                                                                  soundRow))};
                               },
                               done);
                       });
}

int upload(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    const std::optional<int> bank = bankOf(call.parser);
    if (files.size() != 1 || !bank)
        return UsageError(QStringLiteral("upload needs --bank 1..3, --slot and one sound file"));
    const int index = SlotIndexByName(*bank, call.parser.value(SLOT));
    if (index < 0)
        return UsageError(QStringLiteral("no slot '%1' in bank %2 (%3)")
                              .arg(call.parser.value(SLOT))
                              .arg(*bank)
                              .arg(SlotWordsText()));
    if (!QFileInfo(files.first()).isReadable())
        return UsageError(QStringLiteral("cannot read %1").arg(files.first()));
    const SoundSlot slot = SoundSlots().at(index);
    // Judged from its header first: a file far beyond the slot is never read whole.
    const bool trim = call.parser.isSet(TRIM);
    FileUpload file = PrepareSoundFileUpload(files.first(), slot, NO_SKIP, NO_SKIP, trim);
    if (!file.verdict.upload || !file.content) {
        // The window offers its trim exactly when the sound is too long for the slot.
        PrintError(withTrimAdvice(file.verdict.message, !trim && !TrimOffer(files.first(), slot).isEmpty()));
        return Failed;
    }
    const PreparedUpload prepared = std::move(*file.verdict.upload);
    const SlotSource source = SlotSource::Of(files.first(), FileChecksum(*file.content), prepared.stream);
    return RunOnBoards(
        call.ports, call.output, Connect::SetUp,
        [slot, index, prepared, source](BoardSession& board, BoardResult&, const BoardSession::Done& done) {
            runJournalled(
                board,
                [slot, index, prepared, source](BoardLink& link, BoardJournal& journal) {
                    auto* upload = new UploadOperation(link, slot, source.path, prepared);
                    return Journalled{upload, journal.upload(upload, index, source)};
                },
                done);
        });
}
// A sound font into a bank: the files matched to its slots by name, the whole
// table read and checked before anything is erased, then one operation.
int importFont(Invocation& call)
{
    const QStringList folders = call.parser.positionalArguments();
    const std::optional<int> bank = bankOf(call.parser);
    if (folders.size() != 1 || !bank)
        return UsageError(QStringLiteral("import needs --bank 1..3 and one folder"));
    if (!QFileInfo(folders.first()).isDir())
        return UsageError(QStringLiteral("no folder %1").arg(folders.first()));
    const FontPlan plan = PlanFont(folders.first(), *bank);
    for (const QString& unplaced : plan.unplaced)
        PrintError(QStringLiteral("left out: %1").arg(unplaced));
    const bool trim = call.parser.isSet(TRIM);
    const FontCheck check = CheckFontPlan(plan, trim);
    if (!check.problems.isEmpty()) {
        const bool tooLong = std::any_of(plan.rows.begin(), plan.rows.end(),
                                         [](const FontRow& row) { return row.facts && !row.fits; });
        PrintError(withTrimAdvice(
            QStringLiteral("nothing was sent: %1").arg(check.problems.join(QStringLiteral("; "))),
            !trim && tooLong));
        return Failed;
    }
    if (check.uploads.isEmpty()) {
        PrintError(QStringLiteral("no file of %1 matches a slot of bank %2").arg(folders.first()).arg(*bank));
        return Failed;
    }
    const QList<FontUpload> uploads = check.uploads;
    const int bankNumber = *bank;
    return RunOnBoards(call.ports, call.output, Connect::SetUp,
                       [bankNumber, uploads](BoardSession& board, BoardResult&, const BoardSession::Done& done) {
                           runJournalled(
                               board,
                               [bankNumber, uploads](BoardLink& link, BoardJournal& journal) {
                                   auto* import = new ImportOperation(link, bankNumber, uploads);
                                   return Journalled{import, journal.follow(import)};
                               },
                               done);
                       });
}
} // namespace

void AddSoundCommands(QList<Command>& commands)
{
    Command eraseCommand{
        "erase", "--bank N --row ROW | --all",
        "Erases a row of a bank, or with --all every sound (boards with --port or --all-boards).",
        [](QCommandLineParser& parser) {
            parser.addOption({BANK, QStringLiteral("The bank, 1 to 3."), QStringLiteral("N")});
            parser.addOption(
                {ROW, QStringLiteral("guard, swing, clash or powerclash."), QStringLiteral("ROW")});
            parser.addOption({ALL_SOUNDS, QStringLiteral("Erases every sound of the board.")});
        },
        erase};
    eraseCommand.allMeansEveryPort = false;
    commands.append(eraseCommand);
    commands.append(
        {"upload", "--bank N --slot NAME [--trim] FILE",
         "Uploads a sound file of any common format into a slot, converted for the board.",
         [](QCommandLineParser& parser) {
             parser.addOption({BANK, QStringLiteral("The bank, 1 to 3."), QStringLiteral("N")});
             parser.addOption({SLOT, QStringLiteral("on, off, hum, swing1..6, clash1..6 or powerclash1..4."),
                               QStringLiteral("NAME")});
             addTrimOption(parser);
             parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The sound file."));
         },
         upload});
    commands.append(
        {"import", "--bank N [--trim] FOLDER",
         "Imports a sound font into a bank: files matched to the slots by name (poweron, hum, swing3, "
         "clash_02, lockup, ...), converted, checked whole, then erased and uploaded slot by slot.",
         [](QCommandLineParser& parser) {
             parser.addOption({BANK, QStringLiteral("The bank, 1 to 3."), QStringLiteral("N")});
             addTrimOption(parser);
             parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The sound font's folder."));
         },
         importFont});
}

} // namespace Cli
