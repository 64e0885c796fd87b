// A firmware programming run in real time, as the user makes it: the whole tool
// (windows, serial component) chooses a 32 KiB HEX file, erases the board's
// application, waits for the loader's acknowledgement and sends every word; the
// loader is played by the benchmark on the master side of a pseudo-terminal, which
// time-stamps every word as it arrives, keeps it and acknowledges it at once.
// Measured: the pacing of the words at the far side, and the run's total time
// against its ticks and word pauses. A run that does not deliver every word, in
// order, is an error, not a figure.
#include "BenchMain.h"
#include "HexImage.h"
#include "PtyPair.h"
#include "RecordingDialogs.h"
#include "RunFailure.h"
#include "ToolOnPort.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "firmware/ui/FirmwareWindow.h"
#include "firmware/HexFile.h"

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

constexpr int WORD_BYTES = 2;
constexpr int FIRMWARE_BYTES = 32 * 1024;
constexpr int WORDS_EXPECTED = FIRMWARE_BYTES / WORD_BYTES;
constexpr int RECORD_BYTES = 16;
constexpr int WORDS_PER_LINE = RECORD_BYTES / WORD_BYTES;
constexpr int POLL_MS = 20;
constexpr int LINK_FREE_MS = 10000;  // whatever the port's opening started is over
constexpr int ERASE_ANSWER_MS = 10000; // the tool itself gives the loader 4 s
constexpr int GIVE_UP_MS = 600000;
constexpr double PERCENTILE_1 = 0.01;
constexpr double PERCENTILE_50 = 0.50;
constexpr double PERCENTILE_99 = 0.99;
constexpr int WORD_LOW_BYTE = 2; // after "#" and the code letter

// The loader's side of the link: cuts 5-byte frames, keeps each program word
// with the time it arrived and answers every frame with its code letter, as the
// board's loader does.
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
    const std::vector<SteadyClock::time_point>& wordTimes() const { return m_wordTimes; }
    // The words' bytes as they came, low byte first; valid after stop().
    const QByteArray& program() const { return m_program; }

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
                if (code == Define::WRITEFLASHAPP_CMD) {
                    m_wordTimes.push_back(at);
                    m_program.append(buffer.mid(WORD_LOW_BYTE, WORD_BYTES));
                }
                buffer.remove(0, Define::LOADER_FRAME_LENGTH);
                if (::write(m_fd, &code, 1) != 1)
                    return; // the tool's side went away: the run reports it
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_stop{false};
    std::vector<SteadyClock::time_point> m_wordTimes;
    QByteArray m_program;
    std::thread m_thread;
};

// The last thing the tool told the user, for the reason a run failed.
QString lastWords(const RecordingDialogs& dialogs)
{
    const QStringList said = dialogs.errors + dialogs.messages;
    return said.isEmpty() ? QStringLiteral("nothing said") : said.last();
}

// "File", "Erase" and its acknowledgement, then "Program" until the file's
// lines are over. Returns why the run did not complete; empty when the tool
// reported it done. programMs: from "Program" to the end of the lines.
QString eraseAndProgram(const QString& path, RecordingDialogs& dialogs, double* programMs)
{
    if (!WaitFor([] { return !setupWindow->board()->link()->busy(); }, LINK_FREE_MS))
        return QStringLiteral("the link was still busy after the port opened");
    dialogs.files.enqueue(path);
    firmwareWindow->fileButton->click();
    if (!firmwareWindow->eraseButton->isEnabled())
        return QStringLiteral("the file was refused: ") + lastWords(dialogs);
    firmwareWindow->eraseButton->click();
    // "Program" comes on only with the loader's acknowledgement of the erase.
    if (!WaitFor([] { return firmwareWindow->programButton->isEnabled(); }, ERASE_ANSWER_MS))
        return QStringLiteral("the erase was not acknowledged: ") + lastWords(dialogs);
    QElapsedTimer elapsed;
    elapsed.start();
    firmwareWindow->programButton->click();
    if (firmwareWindow->runStep != FirmwareWindow::SEND_LINES)
        return QStringLiteral("\"Program\" did not start: ") + lastWords(dialogs);
    // The lines' end moves the step on: to the way back to the application
    // when the run succeeded, to 0 when it failed.
    const bool ended = WaitFor([] { return firmwareWindow->runStep != FirmwareWindow::SEND_LINES; }, GIVE_UP_MS);
    *programMs = elapsed.nsecsElapsed() / 1e6;
    // The way back (port closed, dip switches, parameters) is not part of the run.
    firmwareWindow->returnTimer->setEnabled(false);
    if (!ended)
        return QStringLiteral("the run did not end within %1 s").arg(GIVE_UP_MS / 1000);
    if (firmwareWindow->runStep != FirmwareWindow::CLOSE_PORT)
        return QStringLiteral("the run failed: ") + lastWords(dialogs);
    if (!dialogs.errors.isEmpty())
        return QStringLiteral("the tool reported an error: ") + dialogs.errors.join(u' ');
    return {};
}

// Why the loader's memory is not the file's words; empty when it is.
QString checkProgram(const FarSide& loader, const HexImage& image)
{
    const qsizetype words = loader.program().size() / WORD_BYTES;
    if (words != WORDS_EXPECTED)
        return QStringLiteral("the loader received %1 of %2 words").arg(words).arg(WORDS_EXPECTED);
    if (loader.program() != LoaderWordBytes(image.data))
        return QStringLiteral("the loader received the words out of order or altered");
    return {};
}

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
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image.text) != image.text.size()) {
        state.SkipWithError("the HEX file could not be written");
        return;
    }
    file.close();
    RecordingDialogs dialogs;
    const ToolOnPort tool(pty.slavePath());
    if (Failed(state, tool.failure()))
        return;

    std::vector<double> wordGaps;
    std::vector<double> lineGaps;
    double totalMs = 0;
    for (auto _ : state) {
        FarSide loader(pty.masterFd());
        dialogs.clear();
        QString failure = eraseAndProgram(path, dialogs, &totalMs);
        loader.stop();
        if (failure.isEmpty())
            failure = checkProgram(loader, image);
        if (Failed(state, failure))
            break;
        state.SetIterationTime(totalMs / 1000);

        const auto& words = loader.wordTimes();
        wordGaps.clear();
        lineGaps.clear();
        for (size_t i = 1; i < words.size(); ++i) {
            const double gap = std::chrono::duration<double, std::milli>(words[i] - words[i - 1]).count();
            (i % WORDS_PER_LINE == 0 ? lineGaps : wordGaps).push_back(gap);
        }
    }
    const double ideal =
        image.lines * Define::FIRMWARE_TICK_MS + WORDS_EXPECTED * Define::FIRMWARE_WORD_PAUSE_MS;
    const double floor = WORDS_EXPECTED * Define::FIRMWARE_WORD_PAUSE_MS;
    // What the window told the user the run would take.
    const double estimate = static_cast<double>(
        Hex::SurveyHexFile(QString::fromLatin1(image.text).split(u'\n', Qt::SkipEmptyParts)).summary.runMs);
    state.counters["words_received"] = WORDS_EXPECTED;
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
}

} // namespace

BENCHMARK(BM_ProgramFirmware)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

TAVRIN_BENCHMARK_MAIN()
