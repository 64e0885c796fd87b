// Board profiles: apply one to every chosen board at once, compare a board with
// one, and write the profile of a board.
#include "cli/CommandLine.h"

#include "common/FileWriting.h"
#include "params/BoardProfile.h"
#include "params/ProfileArchive.h"
#include "params/ProfileApply.h"
#include "params/ProfileCheck.h"
#include "params/ProfileDifferences.h"
#include "sound/BoardJournal.h"
#include "sound/SlotJournal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <optional>

namespace Cli {

using namespace Params;

namespace {
const QString FORCE = QStringLiteral("force");
const QString REPORT = QStringLiteral("report");
const QString WITH_CALIBRATION = QStringLiteral("with-calibration");
const QString SAVE = QStringLiteral("save");
const QString WITHOUT = QStringLiteral("without");

// The profile named on the command line, read and checked whole; nothing when
// it is refused (every reason is on the error stream).
struct CheckedProfile {
    BoardProfile profile;
    ProfileCheck check;
};
std::optional<CheckedProfile> checkedProfile(const QString& path)
{
    const BoardProfileRead read = ReadBoardProfileFile(path);
    if (!read.profile) {
        PrintError(read.error);
        return std::nullopt;
    }
    ProfileCheck check = CheckProfile(*read.profile);
    if (!check.ok()) {
        for (const QString& problem : check.problems)
            PrintError(QStringLiteral("%1: %2").arg(path, problem));
        PrintError(QStringLiteral("%1 was not applied: nothing was sent.").arg(path));
        return std::nullopt;
    }
    return CheckedProfile{*read.profile, std::move(check)};
}

QList<Sound::JournalEntry> journalOf(const BoardSession& board)
{
    return Sound::SlotJournal().list(board.model().identity().serialNumber());
}

// A board that failed before the apply began (its port, its answer, its read)
// is reported as the others are, so that the report lists every board chosen.
void reportNotStarted(BoardResult& result)
{
    ProfileApplyReport report;
    report.port = result.port;
    report.failure = result.message;
    report.started = false;
    result.data = ReportJson(report);
    result.message = ReportSummary(report);
}

QString placesText(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 place") : QStringLiteral("%1 places").arg(count);
}

int apply(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("apply takes one board profile"));
    const std::optional<CheckedProfile> checked = checkedProfile(files.first());
    if (!checked)
        return Failed;
    const bool force = call.parser.isSet(FORCE);
    QJsonArray reports;
    const int code = RunOnBoards(
        call.ports, call.output, Connect::SetUp,
        [checked, force](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            board.readParameters([&board, &result, checked, force, done](bool ok, const QString& why) {
                if (!ok) {
                    done(false, why);
                    return;
                }
                const Params::BoardModel& read = board.model();
                const ProfileApply::Board which{board.port(), read.serialNumber(), read.release(),
                                                [&read](int address) { return read.heldByte(address); }};
                auto* apply = new ProfileApply(board.link(), board.journal(), checked->profile, checked->check,
                                               which, [&board] { return journalOf(board); }, force);
                const auto tell = [&board](const QString& problem) {
                    PrintError(QStringLiteral("%1: %2").arg(board.port(), problem));
                };
                QObject::connect(&board.journal(), &Sound::BoardJournal::notRecorded, apply, tell);
                QObject::connect(&board.journal(), &Sound::BoardJournal::unknownBoard, apply, tell);
                // Taken before the session disposes of the apply.
                auto report = std::make_shared<std::optional<ProfileApplyReport>>();
                QObject::connect(apply, &Operation::finished, apply, [apply, report] { *report = apply->report(); });
                board.run(apply, [&result, report, done](bool ok, const QString& why) {
                    if (!report->has_value()) { // refused before it began
                        done(ok, why);
                        return;
                    }
                    const ProfileApplyReport& ended = **report;
                    result.data = ReportJson(ended);
                    result.text = ReportSummary(ended) + QLatin1Char('\n');
                    done(ended.ok(), ended.ok() ? QString() : ReportSummary(ended));
                });
            });
        },
        EmptyPortsFor(call.everyPort),
        [&reports](BoardResult& result) {
            if (result.data.isEmpty()) // the apply never began: no report of its own
                reportNotStarted(result);
            reports.append(result.data);
        });
    if (call.parser.isSet(REPORT)) {
        const QString path = call.parser.value(REPORT);
        const QString failure =
            WriteWholeFile(path, QJsonDocument(QJsonObject{{QStringLiteral("boards"), reports}}).toJson());
        if (!failure.isEmpty()) {
            PrintError(QStringLiteral("cannot write the report %1: %2").arg(path, failure));
            return code == Done ? Failed : code;
        }
    }
    return code;
}

int diff(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("diff takes one board profile"));
    const BoardProfileRead read = ReadBoardProfileFile(files.first());
    if (!read.profile) {
        PrintError(read.error);
        return Failed;
    }
    const ListedProfile listed = ListFontSlots(*read.profile);
    if (!listed.problems.isEmpty()) {
        for (const QString& problem : listed.problems)
            PrintError(QStringLiteral("%1: %2").arg(files.first(), problem));
        return Failed;
    }
    return RunOnBoards(
        call.ports, call.output, Connect::SetUp,
        [listed](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            board.readParameters([&board, &result, listed, done](bool ok, const QString& why) {
                if (!ok) {
                    done(false, why);
                    return;
                }
                const QList<ProfileDifference> found =
                    ProfileDifferences(listed, board.model().fileContent(), journalOf(board));
                QJsonArray differences;
                QStringList lines;
                const QString unjournalled =
                    Sound::SlotJournal::Refusal(board.model().identity().serialNumber());
                bool slotsUnknown = false;
                for (const ProfileDifference& d : found) {
                    const bool fromJournal = d.source == DifferenceSource::Journal;
                    slotsUnknown = slotsUnknown || fromJournal;
                    lines << QStringLiteral("%1: profile %2, board %3%4")
                                 .arg(d.key, d.profile, d.board,
                                      fromJournal ? QStringLiteral(" (journal)") : QString());
                    differences.append(QJsonObject{{QStringLiteral("key"), d.key},
                                                   {QStringLiteral("profile"), d.profile},
                                                   {QStringLiteral("board"), d.board},
                                                   {QStringLiteral("source"), SourceText(d.source)}});
                }
                result.data.insert(QStringLiteral("differences"), differences);
                if (slotsUnknown && !unjournalled.isEmpty())
                    PrintError(QStringLiteral("%1: %2").arg(board.port(), unjournalled));
                if (found.isEmpty()) {
                    done(true, QStringLiteral("The board matches the profile."));
                    return;
                }
                // The differences are the answer, one line each for a script to
                // read; the error stream only says that there are some.
                result.text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
                result.textWhenFailed = true;
                done(false, QStringLiteral("%1: the board differs from the profile in %2.")
                                .arg(board.port(), placesText(found.size())));
            });
        },
        EmptyPortsFor(call.everyPort));
}

int saveProfile(Invocation& call)
{
    const QStringList arguments = call.parser.positionalArguments();
    if (arguments.size() != 2 || arguments.first() != SAVE)
        return UsageError(QStringLiteral("profile takes: save FILE"));
    if (call.ports.size() != 1)
        return UsageError(QStringLiteral("profile save reads one board: choose it with --port"));
    const QString path = arguments.last();
    QList<int> leftOut;
    for (const QString& entry : call.parser.values(WITHOUT)) {
        const int slot = SlotOfEntry(entry);
        if (slot < 0)
            return UsageError(QStringLiteral("--without takes a slot as the profile names it, such as %1, not %2")
                                  .arg(SlotEntry(0), entry));
        leftOut.append(slot);
    }
    const Calibration calibration =
        call.parser.isSet(WITH_CALIBRATION) ? Calibration::Carried : Calibration::LeftOut;
    return RunOnBoards(
        call.ports, call.output, Connect::SetUp,
        [path, calibration, leftOut](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            board.readParameters([&board, &result, path, calibration, leftOut, done](bool ok, const QString& why) {
                if (!ok) {
                    done(false, why);
                    return;
                }
                const QList<Sound::JournalEntry> journal = journalOf(board);
                const ProfilePack pack =
                    PackProfile(ProfileFromBoard(board.model().fileContent(), journal, calibration), journal, leftOut);
                if (!pack.unavailable.isEmpty()) {
                    QStringList options;
                    for (auto it = pack.unavailable.begin(); it != pack.unavailable.end(); ++it) {
                        PrintError(QStringLiteral("%1: %2").arg(board.port(), *it));
                        options << QStringLiteral("--without ") + SlotEntry(it.key());
                    }
                    done(false, QStringLiteral("%1: the profile was not saved; to save it without these sounds, "
                                               "add %2")
                                    .arg(board.port(), options.join(QLatin1Char(' '))));
                    return;
                }
                const QString failure = WriteProfileArchive(path, pack);
                if (!failure.isEmpty()) {
                    done(false, QStringLiteral("%1: cannot save the profile to %2: %3")
                                    .arg(board.port(), path, failure));
                    return;
                }
                result.text = QStringLiteral("%1: profile saved to %2\n").arg(board.port(), path);
                result.data.insert(QStringLiteral("file"), path);
                done(true, {});
            });
        },
        EmptyPortsFor(call.everyPort));
}
} // namespace

void AddProfileCommands(QList<Command>& commands)
{
    commands.append(
        {"apply", "[--force] [--report FILE] PROFILE",
         "Checks a board profile whole, reads the board, writes the values it does not hold yet, verifies "
         "every value and uploads the slots the journal does not know to hold their file; several boards "
         "at once.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("PROFILE"), QStringLiteral("The board profile."));
             parser.addOption({FORCE, QStringLiteral("Writes every value and uploads every slot of the profile, "
                                                     "whatever the board holds and the journal says.")});
             parser.addOption({REPORT, QStringLiteral("Writes a JSON report of every board to FILE."),
                               QStringLiteral("FILE")});
         },
         apply});
    commands.append(
        {"diff", "PROFILE",
         "Lists where a board differs from a profile, one line each on standard output: values read now, "
         "slots from the journal. Exit code 0 when it matches, 1 when it differs.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("PROFILE"), QStringLiteral("The board profile."));
         },
         diff});
    commands.append(
        {"profile", "[--with-calibration] [--without SLOT]... save FILE",
         "Writes the profile of a board into one archive: its parameters as read now and the sound of "
         "every slot the journal knows, taken from where it was uploaded from. The motion calibration is "
         "the board's own and is left out unless asked for.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(SAVE, QStringLiteral("Writes the profile."));
             parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The profile file to write."));
             parser.addOption({WITH_CALIBRATION, QStringLiteral("Carries this board's motion calibration, to be "
                                                                "written and compared wherever the profile "
                                                                "goes.")});
             parser.addOption({WITHOUT, QStringLiteral("Leaves this slot (banks.1.slots.swing1) out of the profile, "
                                                       "as when its sound cannot be found any more."),
                               QStringLiteral("SLOT")});
         },
         saveProfile});
}

} // namespace Cli
