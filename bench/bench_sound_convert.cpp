// Reading and converting sounds for the board: a 10 s 44.1 kHz stereo 24-bit
// file made into the board's stream (decode, mix, resample, dither, encode), and
// a 19-file font folder matched to a bank and checked whole (every file read and
// converted), the work done before an import erases anything.
#include "BenchRun.h"
#include "RunFailure.h"
#include "SoundFiles.h"

#include "sound/FontPlan.h"
#include "sound/SoundUpload.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sndfile.h>

namespace {

constexpr int SOURCE_RATE = 44100;
constexpr int WAV_24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

void BM_ConvertTenSeconds(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray file = WriteSoundFile(dir.filePath("ten.wav"), WAV_24, SOURCE_RATE, 2,
                                           SineSamples(440, 0.5, SOURCE_RATE, 2, 10.0));
    if (file.isEmpty()) {
        state.SkipWithError("the source file could not be written");
        return;
    }
    const Sound::SoundSlot& hum = Sound::SoundSlots()[Sound::SlotIndex(1, Sound::SlotKind::Hum, 1)];
    qsizetype streamBytes = 0;
    for (auto _ : state) {
        // Trimmed to fit, so the stream is built as an upload would build it.
        const Sound::UploadVerdict verdict = Sound::PrepareSoundUpload("ten.wav", file, hum, "0", "0", true);
        if (!verdict.upload) {
            Failed(state, QStringLiteral("the file was refused: ") + verdict.message);
            break;
        }
        streamBytes = verdict.upload->stream.size();
        benchmark::DoNotOptimize(streamBytes);
    }
    state.counters["file_bytes"] = static_cast<double>(file.size());
    state.counters["stream_bytes"] = static_cast<double>(streamBytes);
}

// A typical font: the hum 2.9 s, every other sound 1.4 s, all 44.1 kHz stereo 24-bit.
void BM_PlanAndCheckFont(benchmark::State& state)
{
    QTemporaryDir dir;
    const QStringList names = {"poweron", "poweroff", "hum",     "swing1",  "swing2", "swing3", "swing4",
                               "swing5",  "swing6",   "clash1",  "clash2",  "clash3", "clash4", "clash5",
                               "clash6",  "lockup1",  "lockup2", "lockup3", "lockup4"};
    for (const QString& name : names) {
        const double seconds = name == "hum" ? 2.9 : 1.4;
        if (WriteSoundFile(dir.filePath(name + ".wav"), WAV_24, SOURCE_RATE, 2,
                           SineSamples(440, 0.5, SOURCE_RATE, 2, seconds))
                .isEmpty()) {
            state.SkipWithError("a font file could not be written");
            return;
        }
    }
    int uploads = 0;
    for (auto _ : state) {
        const Sound::FontPlan plan = Sound::PlanFont(dir.path(), 2);
        const Sound::FontCheck check = Sound::CheckFontPlan(plan);
        uploads = static_cast<int>(check.uploads.size());
        benchmark::DoNotOptimize(uploads);
        // A file the check refused is a font only partly checked.
        if (uploads != names.size() &&
            Failed(state, QStringLiteral("%1 of %2 files checked: ").arg(uploads).arg(names.size()) +
                              check.problems.join(u' ')))
            break;
    }
    state.counters["uploads"] = uploads;
}

} // namespace

BENCHMARK(BM_ConvertTenSeconds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanAndCheckFont)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv);
}
