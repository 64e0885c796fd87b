// Selecting a 500 MB sound file in the browser: the info display, the bounded
// waveform read with its decimation and the sample cells. Then a font folder
// holding a 1.5 GB WAV: its table, and the slot button's refusal. The files are
// sparse, so the figures are the code's own work rather than the disk's.
#include "BenchMain.h"
#include "Controls.h"
#include "RecordingPlayer.h"
#include "SetupWindowFixture.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/FontPlan.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 LARGE_FILE_BYTES = 500LL * 1000 * 1000;
// 44.1 kHz stereo 16-bit, 1.5 GB: the header's data length is the rest of the file.
constexpr qint64 HUGE_FILE_BYTES = 1500LL * 1000 * 1000;
const char* const HUGE_WAV_HEADER =
    "52494646 f82e6859 57415645 666d7420 10000000 0100 0200 44ac0000 10b10200 "
    "0400 1000 64617461 d42e6859";

// A folder whose hum is a 1.5 GB WAV; empty when it could not be made.
QString hugeFontFolder(const QString& parent)
{
    const QString folder = parent + QStringLiteral("/font");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/hum.wav"));
    const QByteArray header = QByteArray::fromHex(HUGE_WAV_HEADER);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size() ||
        !file.resize(HUGE_FILE_BYTES))
        return {};
    return folder;
}

void BM_SelectLargeFile(benchmark::State& state)
{
    SetupWindowFixture f;
    setupWindow->sounds()->browser()->setPreviewPlayer(std::make_unique<RecordingPlayer>());
    const QString folder = f.folder.path() + QStringLiteral("/Fonts/bank1");
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/large.wav"));
    if (!file.open(QIODevice::WriteOnly) || !file.resize(LARGE_FILE_BYTES)) {
        state.SkipWithError("the large file could not be made");
        return;
    }
    file.close();
    setupWindow->show();
    for (auto _ : state) {
        control<QListWidget>(setupWindow, "soundFileList")->clearSelection();
        control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
        // A list without the file selects nothing, which would be quick and say nothing.
        if (setupWindow->sounds()->fileInfo()->selectedFileSize() != LARGE_FILE_BYTES) {
            state.SkipWithError("selecting the file did not read it");
            break;
        }
    }
    state.counters["file_size"] = static_cast<double>(setupWindow->sounds()->fileInfo()->selectedFileSize());
}

// "Import font..." on the folder: the table of bank 1, the hum's row judged.
void BM_PlanFontWithHugeFile(benchmark::State& state)
{
    QTemporaryDir parent;
    const QString folder = hugeFontFolder(parent.path());
    if (folder.isEmpty()) {
        state.SkipWithError("the huge file could not be made");
        return;
    }
    for (auto _ : state) {
        const Sound::FontPlan plan = Sound::PlanFont(folder, 1);
        const auto hum = std::find_if(plan.rows.begin(), plan.rows.end(),
                                      [](const Sound::FontRow& row) { return !row.path.isEmpty(); });
        if (hum == plan.rows.end() || hum->problem.isEmpty()) {
            state.SkipWithError("the huge file was not judged too long");
            break;
        }
    }
}

// A slot button with the huge file chosen: the refusal before anything is sent.
void BM_RefuseHugeFileForSlot(benchmark::State& state)
{
    QTemporaryDir parent;
    const QString folder = hugeFontFolder(parent.path());
    if (folder.isEmpty()) {
        state.SkipWithError("the huge file could not be made");
        return;
    }
    const Sound::SoundSlot& hum = Sound::SoundSlots().at(Sound::SlotIndex(1, Sound::SlotKind::Hum, 1));
    for (auto _ : state) {
        const Sound::FileUpload upload =
            Sound::PrepareSoundFileUpload(folder + QStringLiteral("/hum.wav"), hum, "0", "0");
        if (upload.verdict.upload || upload.content) {
            state.SkipWithError("the huge file was read");
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_SelectLargeFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlanFontWithHugeFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RefuseHugeFileForSlot)->Unit(benchmark::kMillisecond)->MinTime(1.0);

TAVRIN_BENCHMARK_MAIN()
