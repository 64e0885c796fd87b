// Drawing the waveform of a full hum file (130,955 sample bytes after its
// header): reading it, converting the samples, one replace() of the series and
// the sample cells, then painting the chart once.
#include "BenchMain.h"
#include "Controls.h"
#include "RecordingPlayer.h"
#include "SetupWindowFixture.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"

#include <QChartView>
#include <QDir>
#include <QLineSeries>
#include <QFile>
#include <QListWidget>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int HUM_SAMPLE_BYTES = 130955;

void writeHumFile(const QString& path)
{
    QByteArray bytes(44, '\0');
    for (int i = 0; i < HUM_SAMPLE_BYTES / 2; ++i) {
        const auto sample = static_cast<qint16>(12000 * std::sin(i * 0.0256));
        bytes.append(static_cast<char>(sample & 0xFF));
        bytes.append(static_cast<char>(sample >> 8 & 0xFF));
    }
    bytes.append('\0'); // the odd last byte of a 130,999-byte file
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// The window with the hum file selected in its list.
struct HumFixture {
    HumFixture()
    {
        setupWindow->sounds()->browser()->setPreviewPlayer(std::make_unique<RecordingPlayer>());
        const QString folder = f.folder.path() + QStringLiteral("/Fonts/bank1");
        QDir().mkpath(folder);
        writeHumFile(folder + QStringLiteral("/hum.wav"));
        setupWindow->show();
        control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
    }
    SetupWindowFixture f;
};

// A chart without the file's line means the file was not read: nothing was measured.
void failWithoutWaveform(benchmark::State& state)
{
    if (setupWindow->sounds()->browser()->waveformSeries().isEmpty() ||
        setupWindow->sounds()->browser()->waveformSeries().first()->count() == 0)
        state.SkipWithError("no waveform was drawn");
}

// The handler alone: read, convert, one replace() and the chart's own layout of
// the series, the sample cells.
void BM_HumWaveformHandler(benchmark::State& state)
{
    HumFixture hum;
    for (auto _ : state)
        setupWindow->sounds()->browser()->showWaveform();
    failWithoutWaveform(state);
    state.SetItemsProcessed(state.iterations() * (HUM_SAMPLE_BYTES / 2));
}

// The handler and the chart painted once, as the user sees it.
void BM_DrawHumWaveform(benchmark::State& state)
{
    HumFixture hum;
    for (auto _ : state) {
        setupWindow->sounds()->browser()->showWaveform();
        control<QChartView>(setupWindow, "waveformChart")->viewport()->repaint();
    }
    failWithoutWaveform(state);
    state.counters["chart_visible"] =
        control<QChartView>(setupWindow, "waveformChart")->viewport()->isVisible();
    state.SetItemsProcessed(state.iterations() * (HUM_SAMPLE_BYTES / 2));
}

} // namespace

BENCHMARK(BM_HumWaveformHandler)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_DrawHumWaveform)->Unit(benchmark::kMillisecond)->MinTime(2.0);

TAVRIN_BENCHMARK_MAIN()
