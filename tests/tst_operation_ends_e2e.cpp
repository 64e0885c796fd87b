// The end of each long operation through the program's real message boxes,
// answered from inside their own event loops, on real time against the strict
// simulated board: the operation is gone afterwards and the program still
// talks to the board. Auto calibration ends with the board streaming telemetry.
#include "AnsweredDialogs.h"
#include "BoardFixture.h"
#include "Calibrating.h"
#include "RecordingPlayer.h"
#include "SoundStarts.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QPushButton>
#include <QRadioButton>
#include <functional>

namespace {
constexpr int STEP_MS = 15000;
constexpr int OPERATION_MS = 90000;
// After the last box: long enough for every deferred deletion and a few
// telemetry frames to run.
constexpr int AFTERMATH_MS = 500;
constexpr int UPLOAD_SAMPLES = 12000;
constexpr int BULK_SAMPLES = 100;
} // namespace

class OperationEndsEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void operationEndsThroughTheRealMessageBox_data();
    void operationEndsThroughTheRealMessageBox();

private:
    struct Row {
        std::function<void()> start;
        std::function<void()> drive = [] {}; // what the user does while it runs (OK to a prompt)
        QString endMessage;                  // how the last box the user answers begins
    };
    QHash<QString, Row> rows;
    std::unique_ptr<BoardFixture> e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void OperationEndsEndToEndTest::initTestCase()
{
    rows["Auto calibration"] = {[this] {
                                    QVERIFY(board->controlOk("pose vertical"));
                                    SerialForm1->SpeedButton73->click();
                                },
                                [this] {
                                    const int step = CalibrationStep();
                                    if (step == 100)
                                        board->controlOk("pose horizontal");
                                    if ((step == 1 || step == 100) && waitform->isVisible())
                                        waitform->Button1->click();
                                },
                                "Procedure OK. Kordex has been calibrated with value "};
    rows["row erase"] = {[] { SerialForm1->findChild<QPushButton*>("SpeedButton1")->click(); }, [] {},
                         "Erase bank 1 Guard sounds: done"};
    rows["Erase All"] = {[] { SerialForm1->SpeedButton6->click(); }, [] {}, "Erase All Sounds: done"};
    rows["upload"] = {[this] { QVERIFY(StartUpload(f->folder.path(), UPLOAD_SAMPLES)); }, [] {},
                      "Uploading file completed."};
    rows["bulk load"] = {[this] { QVERIFY(StartBulkLoad(f->folder.path(), BULK_SAMPLES)); }, [] {}, "Finito.."};
}

void OperationEndsEndToEndTest::init()
{
    e2e = std::make_unique<BoardFixture>();
    QString why;
    QVERIFY2(e2e->ready(&why), qPrintable(why));
    board = &e2e->board;
    f = &e2e->windows;
    SerialForm1->setMediaPlayer(std::make_unique<RecordingPlayer>());
    SerialForm1->SoundFolder = f->folder.path();
    RICHIESTA = true;
    QVERIFY(e2e->openBoardPort());
    QVERIFY(WaitFor([&] { return board->portState() == "open"; }, STEP_MS));
    SerialForm1->RadioButton9->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, STEP_MS));
    QVERIFY(e2e->waitUntilBoardIsReady());
}

void OperationEndsEndToEndTest::cleanup()
{
    QString report;
    const bool paced = e2e->paced(&report);
    e2e.reset();
    QVERIFY2(paced, qPrintable(report));
}

void OperationEndsEndToEndTest::operationEndsThroughTheRealMessageBox_data()
{
    QTest::addColumn<QString>("operation");
    for (const QString& name : {"Auto calibration", "row erase", "Erase All", "upload", "bulk load"})
        QTest::newRow(qPrintable(name)) << name;
}

void OperationEndsEndToEndTest::operationEndsThroughTheRealMessageBox()
{
    QFETCH(QString, operation);
    const Row& row = rows[operation];
    const AnsweredDialogs answered(f->dialogs);
    row.start();
    QVERIFY(WaitFor([] { return SerialForm1->Link->busy(); }, STEP_MS));
    const auto told = [&] {
        row.drive();
        return !answered.texts.isEmpty() && answered.texts.last().startsWith(row.endMessage);
    };
    QVERIFY2(WaitFor(told, OPERATION_MS), qPrintable(answered.texts.join(" | ")));
    RunEventsFor(AFTERMATH_MS);

    QVERIFY(!SerialForm1->Link->busy());
    QVERIFY(SerialForm1->findChildren<Operation*>().isEmpty());
    QVERIFY(!waitform->isVisible());
    // The program goes on talking to the board.
    SerialForm1->RadioButton13->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_TX; }, STEP_MS));
    SerialForm1->RadioButton9->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, STEP_MS));
    QVERIFY(e2e->waitUntilBoardIsReady());
}

TAVRIN_TEST_MAIN(OperationEndsEndToEndTest)
#include "tst_operation_ends_e2e.moc"
