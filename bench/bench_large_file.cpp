// Selecting a 500 MB sound file in the browser: the info display, the bounded
// waveform read with its decimation and the sample cells. The file is sparse,
// so the figure is the handler's own work rather than the disk's.
#include "BenchMain.h"
#include "RecordingPlayer.h"
#include "SetupWindowFixture.h"

#include "app/Forms.h"
#include "app/Serial1.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 LARGE_FILE_BYTES = 500LL * 1000 * 1000;

void BM_SelectLargeFile(benchmark::State& state)
{
    SetupWindowFixture f;
    SerialForm1->setMediaPlayer(std::make_unique<RecordingPlayer>());
    const QString folder = f.folder.path() + QStringLiteral("/Fonts/bank1");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/large.wav"));
    if (!file.open(QIODevice::WriteOnly) || !file.resize(LARGE_FILE_BYTES)) {
        state.SkipWithError("the large file could not be made");
        return;
    }
    file.close();
    SerialForm1->show();
    for (auto _ : state) {
        SerialForm1->FileListBox1->clearSelection();
        SerialForm1->FileListBox1->setCurrentRow(0);
        // A list without the file selects nothing, which would be quick and say nothing.
        if (SerialForm1->FILE_SIZE != LARGE_FILE_BYTES) {
            state.SkipWithError("selecting the file did not read it");
            break;
        }
    }
    state.counters["file_size"] = static_cast<double>(SerialForm1->FILE_SIZE);
}

} // namespace

BENCHMARK(BM_SelectLargeFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

TAVRIN_BENCHMARK_MAIN()
