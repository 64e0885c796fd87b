// The parameter read sweep in real time against the simulated board: requests
// sent, answers decoded, and the elapsed time against the ideal 226 x 10 ms.
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
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

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

void BM_ParameterSweep(benchmark::State& state)
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
    SerialForm1->RadioButton9->click();
    RunEventsFor(SETTLE_MS);

    int sent = 0;
    int decoded = 0;
    for (auto _ : state) {
        HiddenForm->Memo1->Clear();
        HiddenForm->Memo2->Clear();
        QElapsedTimer elapsed;
        elapsed.start();
        SerialForm1->ReadBtnClick();
        WaitFor([] { return !SerialForm1->Timer1->Enabled(); }, GIVE_UP_MS);
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

    SerialForm1->ClosePort();
    DestroyForms();
    setPublishedPortsFolder(QString());
}

} // namespace

BENCHMARK(BM_ParameterSweep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

TAVRIN_BENCHMARK_MAIN()
