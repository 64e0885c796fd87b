// A firmware programming run in real time: the whole tool (windows, serial
// component) sends a 32 KiB HEX file to a loader played by the benchmark on the
// master side of a pseudo-terminal, which time-stamps every word as it arrives
// and acknowledges it at once. Measured: the pacing of the words at the far
// side, and the run's total time against its ticks and word pauses.
#include "BenchMain.h"
#include "HexImage.h"
#include "PtyPair.h"
#include "RecordingDialogs.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "firmware/Boot.h"
#include "firmware/HexFile.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int FIRMWARE_BYTES = 32 * 1024;
constexpr int RECORD_BYTES = 16;
constexpr int WORDS_PER_LINE = RECORD_BYTES / 2;
constexpr int POLL_MS = 20;
constexpr int GIVE_UP_MS = 600000;
constexpr double PERCENTILE_1 = 0.01;
constexpr double PERCENTILE_50 = 0.50;
constexpr double PERCENTILE_99 = 0.99;

// The loader's side of the link: cuts 5-byte frames, notes when each program
// word arrived and answers every frame with its code letter, as the board does.
class FarSide {
public:
    explicit FarSide(int fd)
        : m_fd(fd)
        , m_thread([this] { run(); })
    {
    }
    ~FarSide() { stop(); }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // Valid after stop().
    const std::vector<SteadyClock::time_point>& words() const { return m_words; }

private:
    void run()
    {
        QByteArray buffer;
        char chunk[256];
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, POLL_MS) <= 0)
                continue;
            const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
            const auto at = SteadyClock::now();
            if (n <= 0)
                continue;
            buffer.append(chunk, n);
            while (buffer.size() >= Define::LOADER_FRAME_LENGTH) {
                if (buffer[0] != Define::START_CHAR) {
                    buffer.remove(0, 1);
                    continue;
                }
                const char code = buffer[1];
                buffer.remove(0, Define::LOADER_FRAME_LENGTH);
                if (code == Define::WRITEFLASHAPP_CMD)
                    m_words.push_back(at);
                ::write(m_fd, &code, 1);
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::vector<SteadyClock::time_point> m_words;
    std::thread m_thread;
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * (values.size() - 1))];
}

void BM_ProgramFirmware(benchmark::State& state)
{
    PtyPair pty;
    QTemporaryDir folder;
    if (!pty.isValid() || !folder.isValid()) {
        state.SkipWithError("no pseudo-terminal or temporary folder");
        return;
    }
    const HexImage image = MakeHexImage(FIRMWARE_BYTES, RECORD_BYTES);
    const QString path = folder.filePath("bench.hex");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(image.text);
    }
    RecordingDialogs dialogs;
    CreateForms();
    SerialForm1->cbports->addItem(pty.slavePath());
    SerialForm1->cbports->setCurrentIndex(SerialForm1->cbports->count() - 1);
    SerialForm1->OpenPort();

    std::vector<double> wordGaps;
    std::vector<double> lineGaps;
    double totalMs = 0;
    qint64 received = 0;
    for (auto _ : state) {
        FarSide loader(pty.masterFd());
        dialogs.files.enqueue(path);
        BootForm->FileButton->click();
        BootForm->EraseFlashbtn->click();
        // "Program" comes on with the loader's answer to the erase.
        WaitFor([] { return BootForm->ProgramFlashBtn->isEnabled(); }, GIVE_UP_MS);
        QElapsedTimer elapsed;
        elapsed.start();
        BootForm->ProgramFlashBtn->click();
        // Timed to the tick that finds the end of the file; the way back to the
        // application (port closed, dip switches) is not part of the run.
        WaitFor([] { return BootForm->STEP1 > 1 || !BootForm->Timer1->Enabled(); }, GIVE_UP_MS);
        totalMs = elapsed.nsecsElapsed() / 1e6;
        BootForm->Timer1->setEnabled(false);
        loader.stop();
        state.SetIterationTime(totalMs / 1000);

        const auto& words = loader.words();
        received = static_cast<qint64>(words.size());
        wordGaps.clear();
        lineGaps.clear();
        for (size_t i = 1; i < words.size(); ++i) {
            const double gap = std::chrono::duration<double, std::milli>(words[i] - words[i - 1]).count();
            (i % WORDS_PER_LINE == 0 ? lineGaps : wordGaps).push_back(gap);
        }
    }
    const int wordsExpected = FIRMWARE_BYTES / 2;
    const double ideal =
        image.lines * Define::FIRMWARE_TICK_MS + wordsExpected * Define::FIRMWARE_WORD_PAUSE_MS;
    const double floor = wordsExpected * Define::FIRMWARE_WORD_PAUSE_MS;
    // What the window told the user the run would take.
    const double estimate = static_cast<double>(
        Hex::SurveyHexFile(QString::fromLatin1(image.text).split(u'\n', Qt::SkipEmptyParts)).summary.runMs);
    state.counters["words_received"] = static_cast<double>(received);
    state.counters["words_expected"] = wordsExpected;
    state.counters["word_gap_p1_ms"] = percentile(wordGaps, PERCENTILE_1);
    state.counters["word_gap_p50_ms"] = percentile(wordGaps, PERCENTILE_50);
    state.counters["word_gap_p99_ms"] = percentile(wordGaps, PERCENTILE_99);
    state.counters["line_gap_p50_ms"] = percentile(lineGaps, PERCENTILE_50);
    state.counters["line_gap_p99_ms"] = percentile(lineGaps, PERCENTILE_99);
    state.counters["total_ms"] = totalMs;
    state.counters["ideal_ms"] = ideal;
    state.counters["total_over_ideal"] = totalMs / ideal;
    state.counters["total_over_word_pauses"] = totalMs / floor;
    state.counters["estimate_ms"] = estimate;
    state.counters["total_over_estimate"] = totalMs / estimate;
    state.counters["messages"] = dialogs.messages.size() + dialogs.errors.size();

    SerialForm1->ClosePort();
    DestroyForms();
}

} // namespace

BENCHMARK(BM_ProgramFirmware)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

TAVRIN_BENCHMARK_MAIN()
