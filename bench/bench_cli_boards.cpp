// tavrin-cli on one board and on sixteen at once: `read` and a full `write` of a
// parameter file, each run as the program itself against simulated boards in
// one ports folder. Several boards share nothing but the machine, so sixteen
// should take about as long as one. A run that does not end, ends with a
// status other than 0 or crashes is an error, with what the program said.
#include "BenchMain.h"
#include "RunCli.h"
#include "RunFailure.h"
#include "SimBoard.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {
using BenchCli::runCli;
constexpr int BOARDS = 16;
// Every value moved by one, so that each write sends the whole screen.
constexpr int VALUE_STEP = 1;
constexpr int LAST_STEPPED_VALUE = 200;

// The boards, and two parameter files that differ in every value.
struct Fleet {
    QTemporaryDir folder;
    std::vector<std::unique_ptr<SimBoard>> boards;
    QString files[2];
    QString failure; // why the fleet is not ready; empty when it is

    Fleet()
    {
        for (int i = 0; i < BOARDS; ++i) {
            boards.push_back(std::make_unique<SimBoard>(
                SimBoard::Options{folder.path(), QStringLiteral("bench-%1").arg(i), {}, true}));
            if (!boards.back()->isRunning()) {
                failure = QStringLiteral("simulated board %1 did not start: %2")
                              .arg(i)
                              .arg(boards.back()->errorOutput());
                return;
            }
        }
        files[0] = folder.filePath(QStringLiteral("a.json"));
        files[1] = folder.filePath(QStringLiteral("b.json"));
        failure =
            runCli({"read", "--port", boards[0]->portPath(), "--json", files[0], "--quiet"}, folder.path());
        if (!failure.isEmpty())
            return;
        QFile in(files[0]);
        in.open(QIODevice::ReadOnly);
        QJsonObject root = QJsonDocument::fromJson(in.readAll()).object();
        QJsonObject parameters = root.value(QStringLiteral("parameters")).toObject();
        if (parameters.isEmpty()) {
            failure = QStringLiteral("the parameter file %1 holds no parameters").arg(files[0]);
            return;
        }
        for (auto it = parameters.begin(); it != parameters.end(); ++it)
            if (it->isDouble() && it->toInt() >= 0 && it->toInt() < LAST_STEPPED_VALUE)
                *it = it->toInt() + VALUE_STEP;
        root.insert(QStringLiteral("parameters"), parameters);
        QFile out(files[1]);
        if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(root).toJson()) < 0)
            failure = QStringLiteral("cannot write %1").arg(files[1]);
    }
};

Fleet& fleet()
{
    static Fleet shared;
    return shared;
}

QStringList boardsChosen(bool all)
{
    return all ? QStringList{"--all"} : QStringList{"--port", fleet().boards[0]->portPath()};
}

void readBoards(benchmark::State& state)
{
    if (Failed(state, fleet().failure))
        return;
    for (auto _ : state)
        if (Failed(state, runCli(QStringList{"read", "--quiet"} + boardsChosen(state.range(0) > 1),
                                 fleet().folder.path())))
            break;
}

void writeBoards(benchmark::State& state)
{
    if (Failed(state, fleet().failure))
        return;
    // Every board starts from the first file, so that each run below changes
    // every value of every board it writes.
    if (Failed(state, runCli({"write", fleet().files[0], "--all", "--quiet"}, fleet().folder.path())))
        return;
    int next = 1;
    for (auto _ : state) {
        // The files alternate, so each run changes every value of every board.
        const QString file = fleet().files[next];
        next = 1 - next;
        if (Failed(state, runCli(QStringList{"write", file, "--quiet"} + boardsChosen(state.range(0) > 1),
                                 fleet().folder.path())))
            break;
    }
}
} // namespace

BENCHMARK(readBoards)->Arg(1)->Arg(BOARDS)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(writeBoards)->Arg(1)->Arg(BOARDS)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

TAVRIN_BENCHMARK_MAIN();
