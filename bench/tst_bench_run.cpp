// The exit status of a benchmark program: any run that did not complete makes
// it 1, whatever else ran, so that a script running the benchmarks sees it.
#include "BenchRun.h"

#include <QTest>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int SECOND_REPETITION = 1;

// Runs begun, so that a row cannot pass by running nothing.
int runsBegun = 0;

void completes(benchmark::State& state)
{
    ++runsBegun;
    for (auto _ : state)
        benchmark::DoNotOptimize(state.iterations());
}

void skipsInItsLoop(benchmark::State& state)
{
    ++runsBegun;
    for (auto _ : state) {
        state.SkipWithError("the board did not answer");
        break;
    }
}

void skipsBeforeItsLoop(benchmark::State& state)
{
    ++runsBegun;
    state.SkipWithError("the simulator did not start");
}

// Only one repetition of several fails: its aggregates must not hide it.
void skipsInOneRepetition(benchmark::State& state)
{
    const bool fails = runsBegun++ == SECOND_REPETITION;
    for (auto _ : state) {
        if (fails) {
            state.SkipWithError("timed out");
            break;
        }
    }
}

} // namespace

class BenchRunTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void statusSaysWhetherEveryRunCompleted_data();
    void statusSaysWhetherEveryRunCompleted();
};

void BenchRunTest::initTestCase()
{
    benchmark::RegisterBenchmark("completes", completes)->Iterations(1);
    benchmark::RegisterBenchmark("skipsInItsLoop", skipsInItsLoop)->Iterations(1);
    benchmark::RegisterBenchmark("skipsBeforeItsLoop", skipsBeforeItsLoop)->Iterations(1);
    benchmark::RegisterBenchmark("skipsInOneRepetition", skipsInOneRepetition)->Iterations(1);
}

void BenchRunTest::statusSaysWhetherEveryRunCompleted_data()
{
    QTest::addColumn<QByteArray>("filter");
    QTest::addColumn<int>("repetitions");
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("status");
    // Names are followed by "/iterations:1".
    QTest::newRow("every run completes") << QByteArray("^completes/") << 1 << 1 << 0;
    QTest::newRow("repetitions all complete") << QByteArray("^completes/") << 3 << 3 << 0;
    QTest::newRow("skipped in its loop") << QByteArray("^skipsInItsLoop/") << 1 << 1 << 1;
    QTest::newRow("skipped before its loop") << QByteArray("^skipsBeforeItsLoop/") << 1 << 1 << 1;
    QTest::newRow("one failure among completed runs") << QByteArray("^(completes|skipsInItsLoop)/") << 1 << 2 << 1;
    QTest::newRow("one repetition of three failed") << QByteArray("^skipsInOneRepetition/") << 3 << 3 << 1;
    QTest::newRow("no benchmark matched") << QByteArray("^noSuchBenchmark/") << 1 << 0 << 1;
}

void BenchRunTest::statusSaysWhetherEveryRunCompleted()
{
    QFETCH(QByteArray, filter);
    QFETCH(int, repetitions);
    QFETCH(int, runs);
    QFETCH(int, status);
    // Every flag that a row sets is given on each run: the library keeps flags between runs.
    QByteArray program("tst_bench_run");
    QByteArray filterFlag = "--benchmark_filter=" + filter;
    QByteArray repetitionsFlag = "--benchmark_repetitions=" + QByteArray::number(repetitions);
    std::vector<char*> argv{program.data(), filterFlag.data(), repetitionsFlag.data(), nullptr};
    runsBegun = 0;
    QCOMPARE(RunBenchmarks(static_cast<int>(argv.size()) - 1, argv.data()), status);
    QCOMPARE(runsBegun, runs);
}

QTEST_APPLESS_MAIN(BenchRunTest)
#include "tst_bench_run.moc"
