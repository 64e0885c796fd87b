// The serial component on a pseudo-terminal: how long a received byte takes to
// reach the receive callback, and what a sound upload's 65,000 one-byte sends cost.
#include "PtyPair.h"

#include "comm/ComPort.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

namespace {

constexpr int kSoundBytes = 65000;
constexpr int kArrivalTimeoutMs = 30000;
constexpr int kUploadIterations = 20;

std::vector<QByteArray> oneByteFrames()
{
    std::vector<QByteArray> frames;
    frames.reserve(kSoundBytes);
    for (int i = 0; i < kSoundBytes; ++i)
        frames.emplace_back(1, char(i));
    return frames;
}

void BM_ReceiveLatency(benchmark::State& state)
{
    PtyPair pty;
    TComPort port;
    port.setPort(pty.slavePath());
    port.setReceiveMode(rmRAW);
    bool delivered = false;
    port.ReceiveCallBack = [&](const QByteArray&) { delivered = true; };
    port.Open();
    for (auto _ : state) {
        delivered = false;
        pty.write("x");
        while (!delivered)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
BENCHMARK(BM_ReceiveLatency)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The measured time is the send loop alone; the counters give the write()
// calls it took and the time until the last byte was read at the device side.
void BM_SoundUploadSends(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    PtyPair pty;
    TComPort port;
    port.setPort(pty.slavePath());
    port.Open();
    const std::vector<QByteArray> frames = oneByteFrames();
    double writeCalls = 0;
    double arrivalMs = 0;
    for (auto _ : state) {
        const quint64 before = port.writeCalls();
        const auto start = Clock::now();
        for (const QByteArray& frame : frames)
            port.Send(frame);
        state.PauseTiming();
        const QByteArray arrived = pty.read(kSoundBytes, kArrivalTimeoutMs);
        arrivalMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        writeCalls += double(port.writeCalls() - before);
        if (arrived.size() != kSoundBytes)
            state.SkipWithError("bytes lost");
        state.ResumeTiming();
    }
    state.counters["write_calls"] = benchmark::Counter(writeCalls, benchmark::Counter::kAvgIterations);
    state.counters["arrival_ms"] = benchmark::Counter(arrivalMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SoundUploadSends)->Unit(benchmark::kMillisecond)->Iterations(kUploadIterations);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
