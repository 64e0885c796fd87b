// A full slot uploaded through the whole tool against the strict simulated board
// after the start-up re-open at 9600 baud, real time. The run is timed from the
// upload request to the moment the last sample byte has left the tool (the
// progress reaches the total); it counts only when the board then has every byte
// and answers "End.". Beside it: the window thread's time in the upload (the file
// read and converted before the erase, then every tick of the stream with its
// sends and progress) and the progress bar's repaints a second.
#include "BenchMain.h"
#include "Controls.h"
#include "PaintCounter.h"
#include "RecordingDialogs.h"
#include "SimBoard.h"
#include "SoundFiles.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Globals.h"
#include "sound/UploadOperation.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The most a one-sector slot takes: a 64,999-byte file, its header and 32,477
// whole samples (the odd byte left over is no sample and is not sent).
constexpr int SAMPLE_BYTES = 64954;
constexpr int GIVE_UP_MS = 30000;
constexpr quint32 SWING_1 = 0x040000;
const QString UPLOAD_DONE = QStringLiteral("Uploading file completed.");
// The slot's wire time at 115200 baud, 8N1, and the goal: within 5 % of it.
constexpr double WIRE_S = double(SAMPLE_BYTES) * Define::UART_BITS_PER_BYTE / Define::LINK_BAUD;
constexpr double GOAL_FACTOR = 1.05;

QString writeFullSlotFile(const QTemporaryDir& folder)
{
    const QString path = folder.filePath(QStringLiteral("full.wav"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray content = BoardFormatHeader();
    content.resize(Define::WAV_HEADER_BYTES + SAMPLE_BYTES, '\0');
    for (int i = Define::WAV_HEADER_BYTES; i < content.size(); ++i)
        content[i] = char(i * 7);
    file.write(content);
    return path;
}

// The times of one run, on the application clock (ms), and the window thread's share.
struct Run {
    qint64 request = -1; // the upload request left
    qint64 allLeft = -1; // the progress reached the total
    qint64 windowNs = 0; // uploadToSlotAt and every tick of the stream
    int ticks = 0;
    int streamPaints = 0; // the progress bar's, between the first byte and the last
};

// Times every tick of the running upload's stream, and notes when the last byte has left.
void timeTicks(Run& run)
{
    auto* upload = qobject_cast<UploadOperation*>(setupWindow->board()->link()->current());
    if (!upload)
        return;
    SlotWriter& writer = upload->writer();
    writer.findChild<WindowTimer*>(QStringLiteral("UploadTimer"))->setOnTimer([&writer, &run] {
        QElapsedTimer t;
        t.start();
        writer.tick();
        run.windowNs += t.nsecsElapsed();
        ++run.ticks;
        if (run.allLeft < 0 && setupWindow->board()->link()->progress().done == setupWindow->board()->link()->progress().total)
            run.allLeft = appClock().now();
    });
}

void BM_UploadFullSlotAfterReopenAt9600(benchmark::State& state)
{
    SimBoard board;
    if (!board.isRunning()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    RecordingDialogs dialogs;
    setPublishedPortsFolder(board.portsDir());
    CreateForms();
    setupWindow->ports()->listPorts();
    control<QComboBox>(setupWindow, "portList")
        ->setCurrentIndex(control<QComboBox>(setupWindow, "portList")->findText(board.portPath()));
    // The line as the start-up re-open of the saved port leaves it.
    setupWindow->board()->serialPort()->setBaud(Define::LINK_BAUD_AT_START);
    setupWindow->board()->serialPort()->setParity(ptNONE);
    setupWindow->board()->serialPort()->setStopBits(sbONE);
    setupWindow->ports()->openPort();

    QTemporaryDir folder;
    writeFullSlotFile(folder);
    setupWindow->sounds()->browser()->setSoundFolder(folder.path());
    setupWindow->sounds()->browser()->fillFileList();
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
    RICHIESTA = true;

    Run run;
    QObject::connect(setupWindow->board()->link(), &BoardLink::frameSent, setupWindow->board()->link(),
                     [&run](const QByteArray& frame) {
                         if (frame.size() > 1 && frame[1] == Define::DATAFILE_CMD)
                             run.request = appClock().now();
                     });
    PaintCounter counter;
    waitDialog->progressBar->installEventFilter(&counter);

    double streamS = 0;
    double windowMs = 0;
    double repaintsPerSecond = 0;
    for (auto _ : state) {
        if (!setupWindow->board()->serialPort()->IsOpen() || setupWindow->board()->serialPort()->Baud() != Define::LINK_BAUD_AT_START) {
            state.SkipWithError("the simulator's port is not open at 9600 baud");
            break;
        }
        run = Run{};
        dialogs.clear();
        const qint64 boardBytesBefore = board.counter(QStringLiteral("upload_bytes"));
        QElapsedTimer t;
        t.start();
        setupWindow->sounds()->slotControls()->uploadToSlotAt(SWING_1); // reads, checks and converts the file, sends the first erase
        run.windowNs = t.nsecsElapsed();
        timeTicks(run);
        int paintsAtFirstByte = -1;
        const bool streamed = WaitFor(
            [&] {
                if (paintsAtFirstByte < 0 && setupWindow->board()->link()->progress().done > 0)
                    paintsAtFirstByte = counter.paints;
                return run.allLeft >= 0;
            },
            GIVE_UP_MS);
        run.streamPaints = counter.paints - std::max(paintsAtFirstByte, 0);
        const bool ended = WaitFor([&] { return dialogs.messages.contains(UPLOAD_DONE); }, GIVE_UP_MS);
        const qint64 boardBytes = board.counter(QStringLiteral("upload_bytes")) - boardBytesBefore;
        if (!streamed || run.request < 0) {
            state.SkipWithError("the stream did not finish");
            break;
        }
        if (!ended) {
            state.SkipWithError("the board never answered \"End.\"");
            break;
        }
        if (boardBytes != SAMPLE_BYTES) {
            const std::string why = QStringLiteral("the board received %1 of %2 sample bytes")
                                        .arg(boardBytes)
                                        .arg(SAMPLE_BYTES)
                                        .toStdString();
            state.SkipWithError(why.c_str());
            break;
        }
        streamS = (run.allLeft - run.request) / 1e3;
        windowMs = run.windowNs / 1e6;
        repaintsPerSecond = run.streamPaints / std::max(streamS, 1e-3);
        state.SetIterationTime(streamS);
    }
    state.counters["stream_s"] = streamS;
    state.counters["wire_s_at_115200"] = WIRE_S;
    state.counters["goal_s"] = GOAL_FACTOR * WIRE_S;
    state.counters["stream_over_wire"] = streamS / WIRE_S;
    state.counters["window_ms"] = windowMs;
    state.counters["window_percent_of_stream"] = streamS > 0 ? windowMs / (10 * streamS) : 0;
    state.counters["upload_ticks"] = run.ticks;
    state.counters["bar_repaints_per_s"] = repaintsPerSecond;
    state.counters["board_late_frames"] = static_cast<double>(board.violations());

    setupWindow->ports()->closePort();
    DestroyForms();
    setPublishedPortsFolder(QString());
}

} // namespace

BENCHMARK(BM_UploadFullSlotAfterReopenAt9600)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

TAVRIN_BENCHMARK_MAIN()
