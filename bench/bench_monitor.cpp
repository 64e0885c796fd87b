// The traffic monitor over a long session: the cost of logging one received
// block, measured across many 500-line clearings, and the log's size staying flat.
#include "BenchMain.h"
#include "SetupWindowFixture.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/LogMemo.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/ui/Application.h"

#include <QTextDocument>
#include <benchmark/benchmark.h>

namespace {

void BM_ReceiveLogLine(benchmark::State& state)
{
    SetupWindowFixture f;
    f.setPortList({QStringLiteral("COM3")});
    f.openPort();
    const QByteArray answer("2\x1c\x19", 3);
    int longest = 0;
    for (auto _ : state) {
        f.port->feed(answer);
        longest = std::max(longest, trafficMonitor->receivedLog->document()->blockCount());
    }
    // An empty log means the blocks were never logged, and nothing was measured.
    if (longest <= 1)
        state.SkipWithError("the receive log held no line");
    state.counters["most_lines_held"] = longest;
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_ReceiveLogLine)->Iterations(100000)->Unit(benchmark::kMicrosecond);

TAVRIN_BENCHMARK_MAIN()
