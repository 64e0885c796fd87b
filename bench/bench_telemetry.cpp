// The live chart under a telemetry stream ten times the board's rate: the real
// set-up window, shown, with frames fed through the real receive dispatch at a
// steady 500 a second. Measures the window thread's CPU, frames handled against
// frames due, and chart repaints a second; the same with a repaint forced
// after every frame, the way a chart that draws each point as it comes would;
// and the same stream as a USB bridge delivers it, in 62-byte pieces that cut
// the frames anywhere, through the framer. The receive path's own share (what
// the feeding of the bytes costs, the chart's painting aside) is counted apart. BM_FramerCost times the framer alone
// per byte of such a stream.
// TAVRIN_BENCH_SECONDS sets the length of a run (20 s unless told).
#include "BenchMain.h"
#include "Controls.h"
#include "MotionFrames.h"
#include "PaintCounter.h"
#include "SetupWindowFixture.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "comm/StreamFramer.h"
#include "comm/ui/PortPanel.h"
#include "motion/TelemetryFrame.h"
#include "motion/ui/TelemetryChart.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

constexpr int FRAMES_PER_SECOND = 500;
constexpr int DEFAULT_SECONDS = 20;
constexpr int SEQUENCE_WRAP = 30000;
constexpr int SETTLE_MS = 200;
constexpr int BRIDGE_PACKET = 62; // a full-speed bridge's payload
// A frame as the board sends it: the decoded 24 bytes and one more.
constexpr int BOARD_FRAME_BYTES = 25;

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The offscreen screen is smaller than the window, which keeps within it: the
// laid-out chart is scrolled into view whole, or little or none of it would be
// painted. (ensureWidgetVisible() would show only the corner of a chart view.)
Motion::TelemetryChart* telemetryChart()
{
    return setupWindow->findChild<Motion::TelemetryChart*>(QStringLiteral("telemetryChart"));
}

void showWholeChart()
{
    auto* client = setupWindow->findChild<QScrollArea*>(QStringLiteral("ClientArea"));
    const QWidget* chart = telemetryChart();
    const QPoint centre = chart->mapTo(client->widget(), chart->rect().center());
    client->ensureVisible(centre.x(), centre.y(), chart->width() / 2, chart->height() / 2);
}

// pieceBytes 0: each frame in a read of its own; otherwise the stream in reads
// of that many bytes, as a bridge's packets cut it.
void runStream(benchmark::State& state, bool repaintEveryFrame, int pieceBytes = 0)
{
    const int seconds = qEnvironmentVariableIsSet("TAVRIN_BENCH_SECONDS")
                            ? qEnvironmentVariableIntValue("TAVRIN_BENCH_SECONDS")
                            : DEFAULT_SECONDS;
    for (auto _ : state) {
        SetupWindowFixture f;
        f.setPortList({QStringLiteral("COM3")});
        f.openPort();
        setupWindow->resize(1280, 800);
        setupWindow->show();
        control<QRadioButton>(setupWindow, "txModeButton")->click();
        RunEventsFor(SETTLE_MS);
        showWholeChart();
        PaintCounter counter;
        telemetryChart()->viewport()->installEventFilter(&counter);
        RunEventsFor(SETTLE_MS);
        counter.paints = 0;

        TelemetryValues frame;
        long long sent = 0;
        long long handled = 0;
        QByteArray unsent; // bytes of the stream not fed yet: the bridge's packet not full
        double receiveCpu = 0; // in the receive path: framing, routing, decoding, the chart's model
        const QObject listening;
        QObject::connect(setupWindow->board()->link(), &BoardLink::telemetry, &listening,
                         [&](const QByteArray& block) {
                             // Every frame decoded whole, in order: its sequence in USB_V.
                             if (Telemetry.USB_V == static_cast<qint16>(handled % SEQUENCE_WRAP) &&
                                 block.size() == BOARD_FRAME_BYTES)
                                 ++handled;
                         });
        long long due = 0;
        QElapsedTimer wall;
        const double cpuStart = threadCpuSeconds();
        wall.start();
        QEventLoop loop;
        QTimer feeder;
        feeder.setTimerType(Qt::PreciseTimer);
        feeder.setInterval(1);
        QObject::connect(&feeder, &QTimer::timeout, [&] {
            const qint64 elapsed = wall.elapsed();
            if (elapsed >= seconds * 1000LL) {
                loop.quit();
                return;
            }
            due = elapsed * FRAMES_PER_SECOND / 1000;
            while (sent < due && wall.elapsed() < seconds * 1000LL) {
                frame.posx = static_cast<qint16>(sent % SEQUENCE_WRAP);
                frame.usb = static_cast<qint16>(sent % SEQUENCE_WRAP);
                const QByteArray block = TelemetryBlock(frame);
                const double receiveStart = threadCpuSeconds();
                if (pieceBytes == 0) {
                    f.port->feed(block);
                } else {
                    unsent += block;
                    for (; unsent.size() >= pieceBytes; unsent.remove(0, pieceBytes))
                        f.port->feed(unsent.left(pieceBytes));
                }
                receiveCpu += threadCpuSeconds() - receiveStart;
                ++sent;
                if (repaintEveryFrame) {
                    telemetryChart()->flushChart();
                    telemetryChart()->viewport()->repaint();
                }
            }
        });
        feeder.start();
        loop.exec();
        const double wallSeconds = wall.elapsed() / 1000.0;
        const double cpu = threadCpuSeconds() - cpuStart;
        telemetryChart()->viewport()->removeEventFilter(&counter);
        // Frames never decoded (not in TX, say) or a chart never painted leave
        // nothing of what is measured here.
        if (handled == 0 || counter.paints == 0) {
            state.SkipWithError(handled == 0 ? "no telemetry frame was decoded" : "the chart was never painted");
            break;
        }
        state.counters["seconds"] = wallSeconds;
        state.counters["window_cpu_percent"] = 100.0 * cpu / wallSeconds;
        state.counters["receive_path_cpu_percent"] = 100.0 * receiveCpu / wallSeconds;
        state.counters["frames_due"] = static_cast<double>(seconds * FRAMES_PER_SECOND);
        state.counters["frames_sent"] = static_cast<double>(sent);
        state.counters["frames_handled"] = static_cast<double>(handled);
        state.counters["frames_handled_per_s"] = handled / wallSeconds;
        state.counters["chart_repaints_per_s"] = counter.paints / wallSeconds;
    }
}

void BM_TelemetryBatchedRedraw(benchmark::State& state)
{
    runStream(state, false);
}

void BM_TelemetryRepaintPerFrame(benchmark::State& state)
{
    runStream(state, true);
}

void BM_TelemetryInBridgePackets(benchmark::State& state)
{
    runStream(state, false, BRIDGE_PACKET);
}

// The framer alone: one second of the stream at 500 frames a second, in 62-byte
// pieces, per iteration.
void BM_FramerCost(benchmark::State& state)
{
    TelemetryValues frame;
    QByteArray stream;
    for (int i = 0; i < FRAMES_PER_SECOND; ++i) {
        frame.posx = static_cast<qint16>(i);
        stream += TelemetryBlock(frame);
    }
    long long frames = 0;
    for (auto _ : state) {
        StreamFramer framer;
        for (qsizetype at = 0; at < stream.size(); at += BRIDGE_PACKET)
            frames += framer.push(stream.mid(at, BRIDGE_PACKET)).size();
    }
    if (frames != static_cast<long long>(state.iterations()) * FRAMES_PER_SECOND)
        state.SkipWithError("the framer lost or invented frames");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * stream.size());
    // The share of one core that a second of the stream costs.
    state.counters["core_percent_at_500_per_s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_TelemetryBatchedRedraw)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TelemetryRepaintPerFrame)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TelemetryInBridgePackets)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FramerCost)->Unit(benchmark::kMicrosecond);

TAVRIN_BENCHMARK_MAIN()
