// tavrin-cli apply of a full profile (every parameter and a 19-slot font in
// bank 1, uploaded whole with --force) on one simulated board and on eight at
// once, each board on its own link. The boards share nothing but the machine,
// so eight should take about as long as one (within 1.1 times). Then the same
// profile applied again to boards that already match it, which should cost no
// more than 1.2 times a read and a comparison of every value (`read`, then
// `diff`). A run counts only when the program succeeded and every board took
// what it had to (the whole font, or nothing) without dropping a frame; any
// other run is an error with the reason, never a time.
#include "BenchMain.h"
#include "RunCli.h"
#include "RunFailure.h"
#include "SimBoard.h"

#include "params/BoardProfile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {
using BenchCli::runCli;
constexpr int BOARDS = 8;
constexpr int APPLY_TIMEOUT_MS = 600000;

// The font's files, named for their slots: power on and off, hum, six swings,
// six clashes and four power clashes.
const QList<QPair<QString, QString>> FONT = {
    {"Base_PowerOn_0.wav", "poweron.wav"},     {"Base_PowerOff_0.wav", "poweroff.wav"},
    {"Base_Hum_0.wav", "hum.wav"},             {"Base_Swing_1_0.wav", "swing1.wav"},
    {"Base_Swing_2_0.wav", "swing2.wav"},      {"Base_Swing_3_0.wav", "swing3.wav"},
    {"Base_Swing_4_0.wav", "swing4.wav"},      {"Base_Swing_5_0.wav", "swing5.wav"},
    {"Base_Swing_6_0.wav", "swing6.wav"},      {"Base_Clash_1_0.wav", "clash1.wav"},
    {"Base_Clash_2_0.wav", "clash2.wav"},      {"Base_Clash_3_0.wav", "clash3.wav"},
    {"Base_Clash_4_0.wav", "clash4.wav"},      {"Base_Clash_5_0.wav", "clash5.wav"},
    {"Base_Clash_6_0.wav", "clash6.wav"},      {"Base_Clash_7_0.wav", "powerclash1.wav"},
    {"Base_Clash_8_0.wav", "powerclash2.wav"}, {"Base_Clash_9_0.wav", "powerclash3.wav"},
    {"Base_Clash_10_0.wav", "powerclash4.wav"},
};

// The boards (each its own serial number, so each its own journal) and the profile.
struct Fleet {
    QTemporaryDir folder;
    std::vector<std::unique_ptr<SimBoard>> boards;
    QString profile;
    QString failure; // why the fleet is not ready; empty when it is

    Fleet()
    {
        for (int i = 0; i < BOARDS; ++i) {
            boards.push_back(std::make_unique<SimBoard>(
                SimBoard::Options{folder.path(), QStringLiteral("apply-%1").arg(i), {}, true}));
            if (!boards.back()->isRunning()) {
                failure = QStringLiteral("simulated board %1 did not start: %2").arg(i).arg(boards.back()->errorOutput());
                return;
            }
        }
        QDir(folder.path()).mkpath(QStringLiteral("font"));
        for (const auto& [base, name] : FONT)
            if (!QFile::copy(QStringLiteral(TAVRIN_BASE_SOUNDS_DIR "/") + base, folder.filePath("font/" + name))) {
                failure = QStringLiteral("cannot copy the base sound %1").arg(base);
                return;
            }
        profile = folder.filePath(QStringLiteral("profile.json"));
        failure = runCli({"profile", "save", profile, "--port", boards[0]->portPath(), "--quiet"}, folder.path());
        if (!failure.isEmpty())
            return;
        const Params::BoardProfileRead saved = Params::ReadBoardProfileFile(profile);
        if (!saved.profile) {
            failure = QStringLiteral("cannot read the saved profile: %1").arg(saved.error);
            return;
        }
        QJsonObject root = QJsonDocument::fromJson(Params::WriteBoardProfile(*saved.profile)).object();
        root.insert(QStringLiteral("banks"),
                    QJsonObject{{QStringLiteral("1"), QJsonObject{{QStringLiteral("font"), QStringLiteral("font")}}}});
        QFile out(profile);
        if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(root).toJson()) < 0)
            failure = QStringLiteral("cannot write %1").arg(profile);
    }
};

Fleet& fleet()
{
    static Fleet shared;
    return shared;
}

// The slots each board has taken so far.
std::vector<qint64> uploadCounts(std::size_t boards)
{
    std::vector<qint64> counts;
    for (std::size_t i = 0; i < boards; ++i)
        counts.push_back(fleet().boards[i]->counter(QStringLiteral("uploads")));
    return counts;
}

// What the boards say about a run the program took for a success: a frame a
// strict board dropped for coming while it was busy, or a number of slots other
// than `expected` uploaded. Empty when each board got what it should in time;
// `before` moves on to the counts after this run.
QString boardsFault(std::vector<qint64>& before, qint64 expected)
{
    const std::vector<qint64> after = uploadCounts(before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const SimBoard& board = *fleet().boards[i];
        const qint64 late = board.violations();
        if (late < 0)
            return QStringLiteral("board %1 did not answer on its control channel").arg(i);
        if (late > 0)
            return QStringLiteral("board %1 dropped frames that came too early: %2")
                .arg(i)
                .arg(board.violationReport());
        if (after[i] - before[i] != expected)
            return QStringLiteral("board %1 took %2 slots instead of %3")
                .arg(i)
                .arg(after[i] - before[i])
                .arg(expected);
    }
    before = after;
    return {};
}

// Runs `arguments` on the first `boards` boards, each run checked by the boards
// for `expectedUploads` slots each.
void runOnBoards(benchmark::State& state, QStringList arguments, qint64 expectedUploads)
{
    if (Failed(state, fleet().failure))
        return;
    const auto boards = static_cast<std::size_t>(state.range(0));
    for (std::size_t i = 0; i < boards; ++i)
        arguments << QStringLiteral("--port") << fleet().boards[i]->portPath();
    std::vector<qint64> uploads = uploadCounts(boards);
    for (auto _ : state) {
        if (Failed(state, runCli(arguments, fleet().folder.path(), APPLY_TIMEOUT_MS)))
            break;
        // Asking the boards is not timed with the apply.
        state.PauseTiming();
        const bool faulty = Failed(state, boardsFault(uploads, expectedUploads));
        state.ResumeTiming();
        if (faulty)
            break;
    }
}

void applyProfile(benchmark::State& state)
{
    runOnBoards(state, {"apply", fleet().profile, "--force", "--quiet"}, FONT.size());
}

// After applyProfile every board matches the profile and its journal knows the font.
void reapplyMatchingProfile(benchmark::State& state)
{
    runOnBoards(state, {"apply", fleet().profile, "--quiet"}, 0);
}

// What re-applying must at least do: read the board, then read every value again
// and compare it with the profile.
void readThenCompare(benchmark::State& state)
{
    if (Failed(state, fleet().failure))
        return;
    const QString port = fleet().boards[0]->portPath();
    for (auto _ : state) {
        if (Failed(state, runCli({"read", "--port", port, "--quiet"}, fleet().folder.path(), APPLY_TIMEOUT_MS)) ||
            Failed(state, runCli({"diff", fleet().profile, "--port", port, "--quiet"}, fleet().folder.path(),
                                 APPLY_TIMEOUT_MS)))
            break;
    }
}
} // namespace

BENCHMARK(applyProfile)->Arg(1)->Arg(BOARDS)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(reapplyMatchingProfile)->Arg(1)->Arg(BOARDS)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();
BENCHMARK(readThenCompare)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

TAVRIN_BENCHMARK_MAIN();
