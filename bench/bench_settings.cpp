// Start-up with a damaged settings file: a second line of 10 MB. Reading stops
// at the line bound and the error quotes 80 characters, so the cost stays that
// of a small file.
#include "BenchMain.h"
#include "SetupWindowFixture.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "common/ui/Application.h"

#include <benchmark/benchmark.h>

namespace {

void BM_LoadSettingsWithHugeLine(benchmark::State& state)
{
    SetupWindowFixture f;
    f.writeSettings("COM3\r\n" + QByteArray(10 * 1024 * 1024, '7') + "\r\n");
    f.setPortList({QStringLiteral("COM3")});
    qsizetype longest = 0;
    for (auto _ : state) {
        f.dialogs.clear();
        runGuarded([] { setupWindow->ports()->openSavedPort(); });
        // Without its error the line was not read to its bound.
        if (f.dialogs.errors.isEmpty()) {
            state.SkipWithError("the damaged line was not reported");
            break;
        }
        longest = std::max(longest, f.dialogs.errors.first().size());
    }
    state.counters["error_length"] = static_cast<double>(longest);
}

} // namespace

BENCHMARK(BM_LoadSettingsWithHugeLine)->Iterations(20)->Unit(benchmark::kMillisecond);

TAVRIN_BENCHMARK_MAIN()
