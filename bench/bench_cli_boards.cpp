// tavrin-cli on one board and on four at once: `read` and a full `write` of a
// parameter file, each run as the program itself against simulated boards in
// one ports folder. Several boards share nothing but the machine, so four
// should take about as long as one.
#include "BenchMain.h"
#include "SimBoard.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {
constexpr int BOARDS = 4;
constexpr int RUN_TIMEOUT_MS = 120000;
// Every value moved by one, so that each write sends the whole screen.
constexpr int VALUE_STEP = 1;
constexpr int LAST_STEPPED_VALUE = 200;

int runCli(const QStringList& arguments, const QString& portsDir)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVRIN_PORTS_DIR"), portsDir);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVRIN_CLI_PROGRAM), arguments);
    process.waitForFinished(RUN_TIMEOUT_MS);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The boards, and two parameter files that differ in every value.
struct Fleet {
    QTemporaryDir folder;
    std::vector<std::unique_ptr<SimBoard>> boards;
    QString files[2];

    Fleet()
    {
        for (int i = 0; i < BOARDS; ++i)
            boards.push_back(std::make_unique<SimBoard>(
                SimBoard::Options{folder.path(), QStringLiteral("bench-%1").arg(i), {}, true}));
        files[0] = folder.filePath(QStringLiteral("a.json"));
        files[1] = folder.filePath(QStringLiteral("b.json"));
        runCli({"read", "--port", boards[0]->portPath(), "--json", files[0], "--quiet"}, folder.path());
        QFile in(files[0]);
        in.open(QIODevice::ReadOnly);
        QJsonObject root = QJsonDocument::fromJson(in.readAll()).object();
        QJsonObject parameters = root.value(QStringLiteral("parameters")).toObject();
        for (auto it = parameters.begin(); it != parameters.end(); ++it)
            if (it->isDouble() && it->toInt() >= 0 && it->toInt() < LAST_STEPPED_VALUE)
                *it = it->toInt() + VALUE_STEP;
        root.insert(QStringLiteral("parameters"), parameters);
        QFile out(files[1]);
        out.open(QIODevice::WriteOnly);
        out.write(QJsonDocument(root).toJson());
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
    for (auto _ : state)
        if (runCli(QStringList{"read", "--quiet"} + boardsChosen(state.range(0) > 1), fleet().folder.path()) != 0)
            state.SkipWithError("read failed");
}

void writeBoards(benchmark::State& state)
{
    // Every board starts from the first file, so that each run below changes
    // every value of every board it writes.
    runCli({"write", fleet().files[0], "--all", "--quiet"}, fleet().folder.path());
    int next = 1;
    for (auto _ : state) {
        // The files alternate, so each run changes every value of every board.
        const QString file = fleet().files[next];
        next = 1 - next;
        if (runCli(QStringList{"write", file, "--quiet"} + boardsChosen(state.range(0) > 1),
                   fleet().folder.path()) != 0)
            state.SkipWithError("write failed");
    }
}
} // namespace

BENCHMARK(readBoards)->Arg(1)->Arg(BOARDS)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();
BENCHMARK(writeBoards)->Arg(1)->Arg(BOARDS)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

TAVRIN_BENCHMARK_MAIN();
