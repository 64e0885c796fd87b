// A full slot uploaded through the whole tool against the simulated board, real
// time: the window thread's time in the upload (the file read and converted
// before the erase, then every tick of the stream with its sends and
// progress) against the wire time of the samples, and the progress bar's
// repaints per second while the stream runs.
#include "BenchMain.h"
#include "PaintCounter.h"
#include "SimBoard.h"
#include "SoundFiles.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/SerialPort.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Globals.h"
#include "sound/UploadOperation.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int SAMPLE_BYTES = 64955; // the most a one-sector slot takes after the header
constexpr int GIVE_UP_MS = 30000;
constexpr quint32 SWING_1 = 0x040000;

void BM_UploadFullSlot(benchmark::State& state)
{
    SimBoard board;
    if (!board.isRunning()) {
        state.SkipWithError("the simulator did not start");
        return;
    }
    setPublishedPortsFolder(board.portsDir());
    CreateForms();
    SerialForm1->InitSeriale();
    SerialForm1->cbports->setCurrentIndex(SerialForm1->cbports->findText(board.portPath()));
    SerialForm1->OpenPort();
    SerialForm1->ComPort1->setBaud(Define::LINK_BAUD);

    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("full.wav")));
    file.open(QIODevice::WriteOnly);
    QByteArray content = BoardFormatHeader();
    content.resize(Define::WAV_HEADER_BYTES + SAMPLE_BYTES, '\0');
    for (int i = Define::WAV_HEADER_BYTES; i < content.size(); ++i)
        content[i] = char(i * 7);
    file.write(content);
    file.close();
    SerialForm1->SoundFolder = folder.path();
    SerialForm1->FillFileList();
    SerialForm1->FileListBox1->setCurrentRow(0);
    RICHIESTA = true;

    // The window thread's share: every tick of the upload, timed as it runs.
    qint64 tickNs = 0;
    int ticks = 0;
    qint64 streamFirst = -1;
    qint64 streamLast = 0;
    const auto timeTicks = [&] {
        auto* upload = qobject_cast<UploadOperation*>(SerialForm1->Link->current());
        if (!upload)
            return;
        SlotWriter& writer = upload->writer();
        writer.findChild<WindowTimer*>(QStringLiteral("UploadTimer"))
            ->setOnTimer([&writer, &tickNs, &ticks, &streamFirst, &streamLast] {
                QElapsedTimer t;
                t.start();
                writer.tick();
                tickNs += t.nsecsElapsed();
                ++ticks;
                if (SerialForm1->Link->done() > 0) {
                    if (streamFirst < 0)
                        streamFirst = appClock().now();
                    streamLast = appClock().now();
                }
            });
    };
    PaintCounter counter;
    waitform->ProgressBar1->installEventFilter(&counter);

    double windowMs = 0;
    double repaintsPerSecond = 0;
    for (auto _ : state) {
        tickNs = 0;
        ticks = 0;
        streamFirst = -1;
        QElapsedTimer t;
        t.start();
        SerialForm1->WriteSector(SWING_1); // reads, checks and converts the file, sends the first erase
        const qint64 startNs = t.nsecsElapsed();
        timeTicks();
        int paintsBefore = 0;
        WaitFor(
            [&] {
                if (streamFirst < 0)
                    paintsBefore = counter.paints;
                return SerialForm1->Link->done() == SerialForm1->Link->total();
            },
            GIVE_UP_MS);
        const int streamPaints = counter.paints - paintsBefore;
        WaitFor([] { return !SerialForm1->Link->busy(); }, GIVE_UP_MS);
        windowMs = (startNs + tickNs) / 1e6;
        const double streamSeconds = std::max<qint64>(1, streamLast - streamFirst) / 1e3;
        repaintsPerSecond = streamPaints / streamSeconds;
        state.SetIterationTime(windowMs / 1e3);
    }
    const double wireMs = 1e3 * SAMPLE_BYTES * Define::UART_BITS_PER_BYTE / Define::LINK_BAUD;
    state.counters["window_ms"] = windowMs;
    state.counters["wire_ms"] = wireMs;
    state.counters["window_percent_of_wire"] = 100 * windowMs / wireMs;
    state.counters["upload_ticks"] = ticks;
    state.counters["bar_repaints_per_s"] = repaintsPerSecond;
    state.counters["board_upload_bytes"] = static_cast<double>(board.counter(QStringLiteral("upload_bytes")));

    SerialForm1->ClosePort();
    DestroyForms();
    setPublishedPortsFolder(QString());
}

} // namespace

BENCHMARK(BM_UploadFullSlot)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2);

TAVRIN_BENCHMARK_MAIN()
