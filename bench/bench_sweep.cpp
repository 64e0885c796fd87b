// The parameter read sweep and "Write Parameters" in real time against the
// simulated board: for the sweep, requests sent, answers decoded and the time
// against the ideal 226 x 10 ms, in the window and in tavrin-cli, the pace of
// the requests as the board saw them; for the write, the smallest gap between
// two parameter frames as the board saw them and the time against 85 x 100 ms.
// A sweep that does not end or leaves a request unanswered, and a write whose
// frames the board did not all take, are errors rather than figures.
#include "BenchMain.h"
#include "Controls.h"
#include "RecordingDialogs.h"
#include "RunCli.h"
#include "RunFailure.h"
#include "SimBoard.h"
#include "ToolOnPort.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "comm/ComPort.h"
#include "comm/Frames.h"
#include "comm/SerialPort.h"
#include "comm/ui/LogMemo.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Globals.h"
#include "common/ui/Application.h"

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
constexpr int MODE_CHANGE_MS = 5000;

int countLines(const QString& text, const QString& prefix)
{
    int count = 0;
    for (QStringView line : QStringView(text).split(u'\n'))
        if (line.startsWith(prefix))
            ++count;
    return count;
}

// Parameter replies in the received blocks the monitor logged, a block of
// several joined replies counting for each of them.
int countAnswers(const QString& text, const QString& prefix)
{
    int bytes = 0;
    for (QStringView line : QStringView(text).split(u'\n'))
        if (line.startsWith(prefix))
            bytes += static_cast<int>(line.split(u' ', Qt::SkipEmptyParts).size()) - 1;
    return bytes / Define::REPLY_LENGTH;
}

// The serial component, noting when each parameter write was handed to it.
class TimedComPort final : public ComPort {
public:
    TimedComPort()
    {
        setBaud(Define::LINK_BAUD);
        setReceiveMode(rmRAW);
        clock.start();
    }
    void Send(const QByteArray& data) override
    {
        if (IsParameterWrite(data))
            sentAtNs.append(clock.nsecsElapsed());
        ComPort::Send(data);
    }
    QElapsedTimer clock;
    QList<qint64> sentAtNs;
};

// The ports folder the tool lists, the simulator's, while a benchmark runs.
class PublishedPorts {
public:
    explicit PublishedPorts(const QString& folder) { setPublishedPortsFolder(folder); }
    ~PublishedPorts() { setPublishedPortsFolder(QString()); }
    PublishedPorts(const PublishedPorts&) = delete;
    PublishedPorts& operator=(const PublishedPorts&) = delete;
};

// The set-up window on the simulator's port.
struct ToolOnBoard {
    explicit ToolOnBoard(const SimBoard& board)
        : ports(board.portsDir())
        , tool(board.portPath())
    {
    }

    // Selects SetUp; why the tool is not on the board in SetUp, empty when it is.
    QString selectSetUp(const SimBoard& board) const
    {
        if (!board.isRunning())
            return QStringLiteral("the simulator did not start: ") + board.errorOutput();
        if (!tool.failure().isEmpty())
            return tool.failure();
        control<QRadioButton>(setupWindow, "setUpModeButton")->click();
        if (!WaitFor([&] { return board.mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, MODE_CHANGE_MS))
            return QStringLiteral("the board did not go into SetUp (%1)").arg(board.violationReport());
        RunEventsFor(SETTLE_MS);
        return {};
    }

    PublishedPorts ports;
    ToolOnPort tool;
};

// Arrival times (ms) of the parameter write frames in the simulator's traffic
// log: when the frame's last byte came. The log has a line per read of the
// port, which may hold part of a frame or several frames.
QList<qint64> writeArrivals(const QString& logPath)
{
    QFile log(logPath);
    QList<qint64> at;
    if (!log.open(QIODevice::ReadOnly))
        return at;
    QByteArray received;
    QList<qint64> receivedAt; // per byte
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || fields[1] != "RX")
            continue;
        for (qsizetype i = 2; i < fields.size(); ++i) {
            received.append(static_cast<char>(fields[i].toInt(nullptr, 16)));
            receivedAt.append(fields[0].toLongLong());
        }
    }
    for (qsizetype i = 0; i + Define::COMAND_LENGHT <= received.size();) {
        const QByteArray frame = received.mid(i, Define::COMAND_LENGHT);
        if (frame[0] != Define::START_CHAR) {
            ++i;
            continue;
        }
        if (IsParameterWrite(frame))
            at.append(receivedAt[i + Define::COMAND_LENGHT - 1]);
        i += Define::COMAND_LENGHT;
    }
    return at;
}

// The bytes the board received, each with the time (ms) of the read that brought it.
struct BoardReceived {
    QByteArray bytes;
    QList<qint64> at;
};

BoardReceived boardReceived(const QString& logPath)
{
    QFile log(logPath);
    BoardReceived received;
    if (!log.open(QIODevice::ReadOnly))
        return received;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3 || fields[1] != "RX")
            continue;
        for (qsizetype i = 2; i < fields.size(); ++i) {
            received.bytes.append(static_cast<char>(fields[i].toInt(nullptr, 16)));
            received.at.append(fields[0].toLongLong());
        }
    }
    return received;
}

// How long the last whole sweep took as the board saw it, from the request for
// address 0 to the one after address 225 would have come, against 226 x 10 ms;
// 0 when the log holds no whole sweep.
double sweepPace(const QString& logPath)
{
    const BoardReceived received = boardReceived(logPath);
    QList<qint64> sweepAt; // the arrival of each request of the sweep under way
    double pace = 0;
    for (qsizetype i = 0; i + Define::COMAND_LENGHT <= received.bytes.size(); ++i) {
        const QByteArray frame = received.bytes.mid(i, Define::COMAND_LENGHT);
        const int address = static_cast<quint8>(frame[2]);
        if (frame != SweepReadFrame(address))
            continue;
        if (address == 0)
            sweepAt.clear();
        if (address != sweepAt.size())
            continue;
        sweepAt.append(received.at[i + Define::COMAND_LENGHT - 1]);
        if (sweepAt.size() == Define::PARAMETER_COUNT) {
            const double ideal = Define::PARAMETER_COUNT * Define::SWEEP_TICK_MS;
            pace = (sweepAt.last() - sweepAt.first() + Define::SWEEP_TICK_MS) / ideal;
        }
        i += Define::COMAND_LENGHT - 1;
    }
    return pace;
}

// Reads the parameters once; why the sweep did not complete, empty when it did.
// A clean sweep tells the user nothing, so anything said (addresses that never
// answered, say) is a failure too. seconds: from the press to the sweep's end.
QString readParameters(const RecordingDialogs& dialogs, int* sent, int* answered, double* seconds)
{
    trafficMonitor->sentLog->Clear();
    trafficMonitor->receivedLog->Clear();
    QElapsedTimer elapsed;
    elapsed.start();
    setupWindow->parameters()->readParameters();
    const bool ended = WaitFor([] { return !setupWindow->board()->reading(); }, GIVE_UP_MS);
    *seconds = elapsed.nsecsElapsed() / 1e9;
    // Let the last answers arrive before counting them.
    RunEventsFor(SETTLE_MS);
    *sent = countLines(trafficMonitor->sentLog->toPlainText(), QStringLiteral("TX-- 23 32"));
    *answered = countAnswers(trafficMonitor->receivedLog->toPlainText(), QStringLiteral("RX-- 32"));
    if (!ended)
        return QStringLiteral("the read sweep did not end within %1 s").arg(GIVE_UP_MS / 1000);
    if (*sent != Define::PARAMETER_COUNT)
        return QStringLiteral("the sweep sent %1 of %2 requests").arg(*sent).arg(Define::PARAMETER_COUNT);
    if (*answered < *sent)
        return QStringLiteral("the board answered %1 of %2 requests").arg(*answered).arg(*sent);
    const QStringList said = dialogs.errors + dialogs.messages;
    if (!said.isEmpty())
        return QStringLiteral("the sweep ended with a message: ") + said.join(u' ');
    return {};
}

void BM_ParameterSweep(benchmark::State& state)
{
    SimBoard board;
    RecordingDialogs dialogs;
    const ToolOnBoard session(board);
    if (Failed(state, session.selectSetUp(board)))
        return;

    int sent = 0;
    int answered = 0;
    int blocks = 0;
    double pace = 0;
    QTemporaryDir logs;
    for (auto _ : state) {
        double seconds = 0;
        dialogs.clear();
        const QString logPath = logs.filePath(QStringLiteral("sweep-%1.log").arg(state.iterations()));
        board.controlOk(QStringLiteral("log ") + logPath);
        if (Failed(state, readParameters(dialogs, &sent, &answered, &seconds)))
            break;
        board.controlOk(QStringLiteral("log off"));
        blocks = countLines(trafficMonitor->receivedLog->toPlainText(), QStringLiteral("RX-- 32"));
        pace = std::max(pace, sweepPace(logPath));
        state.SetIterationTime(seconds);
    }
    if (pace == 0 && !state.error_occurred())
        state.SkipWithError("the board saw no whole sweep");
    state.counters["requests_sent"] = sent;
    state.counters["answers_received"] = answered;
    state.counters["answer_blocks"] = blocks;
    state.counters["ideal_ms"] = Define::PARAMETER_COUNT * Define::SWEEP_TICK_MS;
    // The slowest sweep's requests as the board saw them, against 226 x 10 ms.
    state.counters["request_pace_ratio"] = pace;
}

// tavrin-cli's read: the pace of its sweep's requests as the board saw them.
void BM_CliSweep(benchmark::State& state)
{
    SimBoard board;
    QTemporaryDir logs;
    double pace = 0;
    for (auto _ : state) {
        const QString logPath = logs.filePath(QStringLiteral("cli-%1.log").arg(state.iterations()));
        board.controlOk(QStringLiteral("log ") + logPath);
        QElapsedTimer elapsed;
        elapsed.start();
        if (Failed(state, BenchCli::runCli({"read", "--port", board.portPath(), "--quiet"}, board.portsDir())))
            break;
        state.SetIterationTime(elapsed.nsecsElapsed() / 1e9);
        board.controlOk(QStringLiteral("log off"));
        pace = std::max(pace, sweepPace(logPath));
    }
    if (pace == 0)
        state.SkipWithError("the board saw no whole sweep");
    state.counters["request_pace_ratio"] = pace;
}

// One press of "Write Parameters" as the tool and the board saw it.
struct WriteRun {
    bool ended = false;
    qint64 ms = 0;
    QList<qint64> sentAtUs; // when the tool handed each parameter frame to the port
    QList<qint64> arrivedAtMs; // when the board had each of them
    qint64 dropped = 0;        // frames the board dropped for coming during its pause
};

qint64 smallestGap(const QList<qint64>& times)
{
    qint64 smallest = std::numeric_limits<qint64>::max();
    for (qsizetype i = 1; i < times.size(); ++i)
        smallest = std::min(smallest, times[i] - times[i - 1]);
    return smallest;
}

// Why the write did not reach the board whole; empty when the board took every
// parameter frame the tool sent.
QString writeFailure(const WriteRun& run, const RecordingDialogs& dialogs, const SimBoard& board)
{
    if (!run.ended)
        return QStringLiteral("\"Write Parameters\" did not end within %1 s").arg(GIVE_UP_MS / 1000);
    if (!dialogs.errors.isEmpty())
        return QStringLiteral("the tool reported an error: ") + dialogs.errors.join(u' ');
    if (run.sentAtUs.isEmpty())
        return QStringLiteral("\"Write Parameters\" sent nothing: ") + dialogs.messages.join(u' ');
    if (run.arrivedAtMs.size() != run.sentAtUs.size())
        return QStringLiteral("the board saw %1 of %2 parameter frames")
            .arg(run.arrivedAtMs.size())
            .arg(run.sentAtUs.size());
    // The tool's own spacing says which side let two frames come too close.
    if (run.dropped != 0)
        return QStringLiteral("the board dropped %1 frames that came during its pause (the tool handed its "
                              "frames to the port at least %2 ms apart): %3")
            .arg(run.dropped)
            .arg(smallestGap(run.sentAtUs) / 1e3, 0, 'f', 1)
            .arg(board.violationReport());
    return {};
}

// Presses "Write Parameters" and waits for its end and the board's last frame.
WriteRun writeParameters(TimedComPort& sender, const QString& logPath, const SimBoard& board)
{
    WriteRun run;
    sender.sentAtNs.clear();
    const qint64 violationsBefore = board.violations();
    QElapsedTimer elapsed;
    elapsed.start();
    setupWindow->findChild<QPushButton*>(QStringLiteral("writeParametersButton"))->click();
    run.ended = WaitFor([] { return !setupWindow->board()->writing(); }, GIVE_UP_MS);
    run.ms = elapsed.elapsed();
    RunEventsFor(SETTLE_MS);
    for (const qint64 ns : sender.sentAtNs)
        run.sentAtUs.append(ns / 1000);
    run.arrivedAtMs = writeArrivals(logPath);
    run.dropped = board.violations() - violationsBefore;
    return run;
}

void BM_ParameterWrite(benchmark::State& state)
{
    SimBoard board;
    RecordingDialogs dialogs;
    ToolOnBoard session(board);
    if (Failed(state, session.selectSetUp(board)))
        return;
    // The screen holds the board's own values.
    int sent = 0;
    int answered = 0;
    double seconds = 0;
    if (Failed(state, readParameters(dialogs, &sent, &answered, &seconds)))
        return;
    auto timed = std::make_unique<TimedComPort>();
    TimedComPort* sender = timed.get();
    setupWindow->board()->serialPort()->Close();
    setupWindow->board()->setPort(std::move(timed));
    if (Failed(state, session.tool.open()) || Failed(state, session.selectSetUp(board)))
        return;
    QTemporaryDir folder;
    const QString logPath = folder.filePath(QStringLiteral("traffic.log"));

    qint64 smallestArrivalGapMs = std::numeric_limits<qint64>::max();
    qint64 smallestSenderGapUs = std::numeric_limits<qint64>::max();
    double ratio = 0;
    qsizetype frames = 0;
    for (auto _ : state) {
        QFile::remove(logPath);
        if (!board.controlOk(QStringLiteral("log ") + logPath)) {
            state.SkipWithError("the simulator did not start its traffic log");
            break;
        }
        dialogs.clear();
        const WriteRun run = writeParameters(*sender, logPath, board);
        if (Failed(state, writeFailure(run, dialogs, board)))
            break;
        state.SetIterationTime(run.ms / 1e3);
        frames = run.arrivedAtMs.size();
        smallestArrivalGapMs = std::min(smallestArrivalGapMs, smallestGap(run.arrivedAtMs));
        smallestSenderGapUs = std::min(smallestSenderGapUs, smallestGap(run.sentAtUs));
        ratio = static_cast<double>(run.ms) / (frames * Define::WRITE_PAUSE_MS);
    }
    board.controlOk(QStringLiteral("log off"));
    state.counters["frames_seen"] = static_cast<double>(frames);
    state.counters["smallest_gap_ms"] = static_cast<double>(smallestArrivalGapMs);
    state.counters["smallest_sender_gap_us"] = static_cast<double>(smallestSenderGapUs);
    state.counters["time_over_ideal"] = ratio;
}

} // namespace

BENCHMARK(BM_ParameterSweep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ParameterWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CliSweep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

TAVRIN_BENCHMARK_MAIN()
