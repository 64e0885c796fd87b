// The parameter read sweep and "Write Parameters" in real time against the
// simulated board: for the sweep, requests sent, answers decoded and the time
// against the ideal 226 x 10 ms; for the write, the smallest gap between two
// parameter frames as the board saw them and the time against 85 x 100 ms.
#include "BenchMain.h"
#include "SimBoard.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "comm/ComPort.h"
#include "comm/Hidden.h"
#include "comm/LogMemo.h"
#include "comm/SerialPort.h"
#include "common/Application.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>
#include <limits>

namespace {

constexpr int SETTLE_MS = 500;
constexpr int GIVE_UP_MS = 20000;

int countLines(const QString& text, const QString& prefix)
{
    int count = 0;
    for (QStringView line : QStringView(text).split(u'\n'))
        if (line.startsWith(prefix))
            ++count;
    return count;
}

// The serial component, noting when each frame was handed to it.
class TimedComPort final : public TComPort {
public:
    TimedComPort()
    {
        setBaud(Define::LINK_BAUD);
        setReceiveMode(rmRAW);
        clock.start();
    }
    void Send(const QByteArray& data) override
    {
        sentAtNs.append(clock.nsecsElapsed());
        TComPort::Send(data);
    }
    QElapsedTimer clock;
    QList<qint64> sentAtNs;
};

// Opens the simulator's port in the set-up window and selects SetUp.
bool connectToBoard(const SimBoard& board, benchmark::State& state)
{
    if (!board.isRunning()) {
        state.SkipWithError("the simulator did not start");
        return false;
    }
    setPublishedPortsFolder(board.portsDir());
    CreateForms();
    SerialForm1->InitSeriale();
    SerialForm1->cbports->setCurrentIndex(SerialForm1->cbports->findText(board.portPath()));
    SerialForm1->OpenPort();
    SerialForm1->RadioButton9->click();
    RunEventsFor(SETTLE_MS);
    return true;
}

void disconnectFromBoard()
{
    SerialForm1->ClosePort();
    DestroyForms();
    setPublishedPortsFolder(QString());
}

// Arrival times (ms) of the parameter write frames in the simulator's traffic log.
QList<qint64> writeArrivals(const QString& logPath)
{
    QFile log(logPath);
    QList<qint64> at;
    if (!log.open(QIODevice::ReadOnly))
        return at;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 3 && fields[1] == "RX" && fields[2] == "23" && fields[3] == "31")
            at.append(fields[0].toLongLong());
    }
    return at;
}

void BM_ParameterSweep(benchmark::State& state)
{
    SimBoard board;
    if (!connectToBoard(board, state))
        return;

    int sent = 0;
    int decoded = 0;
    for (auto _ : state) {
        HiddenForm->Memo1->Clear();
        HiddenForm->Memo2->Clear();
        QElapsedTimer elapsed;
        elapsed.start();
        SerialForm1->ReadBtnClick();
        WaitFor([] { return !SerialForm1->ReadingParameters(); }, GIVE_UP_MS);
        const double sweepSeconds = elapsed.nsecsElapsed() / 1e9;
        // Let the last answers arrive before counting them.
        RunEventsFor(SETTLE_MS);
        sent = countLines(HiddenForm->Memo1->toPlainText(), QStringLiteral("TX-- 23 32"));
        decoded = countLines(HiddenForm->Memo2->toPlainText(), QStringLiteral("RX-- 32"));
        state.SetIterationTime(sweepSeconds);
    }
    state.counters["requests_sent"] = sent;
    state.counters["answers_received"] = decoded;
    state.counters["ideal_ms"] = Define::PARAMETER_COUNT * Define::SWEEP_TICK_MS;
    disconnectFromBoard();
}

void BM_ParameterWrite(benchmark::State& state)
{
    SimBoard board;
    if (!connectToBoard(board, state))
        return;
    SerialForm1->ReadBtnClick(); // the screen holds the board's own values
    WaitFor([] { return !SerialForm1->ReadingParameters(); }, GIVE_UP_MS);
    RunEventsFor(SETTLE_MS);
    auto timed = std::make_unique<TimedComPort>();
    TimedComPort* sender = timed.get();
    SerialForm1->ComPort1->Close();
    SerialForm1->setComPort(std::move(timed));
    SerialForm1->OpenPort();
    SerialForm1->RadioButton9->click();
    RunEventsFor(SETTLE_MS);
    QTemporaryDir folder;
    const QString logPath = folder.filePath(QStringLiteral("traffic.log"));
    board.controlOk(QStringLiteral("log ") + logPath);

    qint64 smallestGap = std::numeric_limits<qint64>::max();
    qint64 smallestSenderGapUs = std::numeric_limits<qint64>::max();
    double ratio = 0;
    qsizetype frames = 0;
    for (auto _ : state) {
        QFile::remove(logPath);
        board.controlOk(QStringLiteral("log ") + logPath);
        sender->sentAtNs.clear();
        QElapsedTimer elapsed;
        elapsed.start();
        SerialForm1->SpeedButton5->click();
        WaitFor([] { return !SerialForm1->WritingParameters(); }, GIVE_UP_MS);
        const qint64 ms = elapsed.elapsed();
        state.SetIterationTime(ms / 1e3);
        RunEventsFor(SETTLE_MS);
        const QList<qint64> at = writeArrivals(logPath);
        frames = at.size();
        for (qsizetype i = 1; i < at.size(); ++i)
            smallestGap = std::min(smallestGap, at[i] - at[i - 1]);
        ratio = static_cast<double>(ms) / (frames * Define::WRITE_PAUSE_MS);
        for (qsizetype i = 1; i < sender->sentAtNs.size(); ++i)
            smallestSenderGapUs =
                std::min(smallestSenderGapUs, (sender->sentAtNs[i] - sender->sentAtNs[i - 1]) / 1000);
    }
    board.controlOk(QStringLiteral("log off"));
    state.counters["frames_seen"] = static_cast<double>(frames);
    state.counters["smallest_gap_ms"] = static_cast<double>(smallestGap);
    state.counters["smallest_sender_gap_us"] = static_cast<double>(smallestSenderGapUs);
    state.counters["time_over_ideal"] = ratio;
    disconnectFromBoard();
}

} // namespace

BENCHMARK(BM_ParameterSweep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ParameterWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

TAVRIN_BENCHMARK_MAIN()
