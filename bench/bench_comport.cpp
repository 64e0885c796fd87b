// The serial component on a pseudo-terminal: how long a received byte takes to
// reach the receive callback, and what a sound upload's 65,000 one-byte sends cost.
#include "BenchRun.h"
#include "PtyPair.h"
#include "RunFailure.h"

#include "comm/ComPort.h"
#include "common/Framework.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int kSoundBytes = 65000;
constexpr int kArrivalTimeoutMs = 30000;
constexpr int kUploadIterations = 20;
// Wakes the event loop now and then to look at the deadline; rare enough to
// leave the latency measured alone.
constexpr int kDeadlineCheckMs = 100;

// Opens the component on the pseudo-terminal's slave side; false, with the
// benchmark skipped, when it does not open.
bool openPort(ComPort& port, const PtyPair& pty, benchmark::State& state)
{
    if (!pty.isValid()) {
        state.SkipWithError("no pseudo-terminal");
        return false;
    }
    port.setPort(pty.slavePath());
    try {
        port.Open();
    } catch (const Exception& e) {
        return !Failed(state, "the port did not open: " + e.message());
    }
    return true;
}

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
    ComPort port;
    port.setReceiveMode(rmRAW);
    bool delivered = false;
    port.ReceiveCallBack = [&](const QByteArray&) { delivered = true; };
    if (!openPort(port, pty, state))
        return;
    QTimer deadlineCheck;
    deadlineCheck.start(kDeadlineCheckMs);
    for (auto _ : state) {
        delivered = false;
        pty.write("x");
        const QDeadlineTimer deadline(kArrivalTimeoutMs);
        while (!delivered && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (!delivered) {
            state.SkipWithError("a byte written at the device side never reached ReceiveCallBack");
            break;
        }
    }
}
BENCHMARK(BM_ReceiveLatency)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The measured time is the send loop alone; the counters give the write()
// calls it took and the time until the last byte was read at the device side.
void BM_SoundUploadSends(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    PtyPair pty;
    ComPort port;
    if (!openPort(port, pty, state))
        return;
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
        if (arrived.size() != kSoundBytes) {
            const std::string lost = std::to_string(arrived.size()) + " of " + std::to_string(kSoundBytes) +
                                     " bytes reached the device side";
            state.SkipWithError(lost.c_str());
            break;
        }
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
    return RunBenchmarks(argc, argv);
}
