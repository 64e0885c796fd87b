// The end of each long operation through the program's real message boxes,
// answered from inside their own event loops, on real time against the strict
// simulated board: the operation is gone afterwards and the program still
// talks to the board. Auto calibration ends with the board streaming telemetry;
// the firmware's erase and run end through the window that owns the loader.
#include "AnsweredDialogs.h"
#include "Calibrating.h"
#include "Controls.h"
#include "EndToEndFixture.h"
#include "HexImage.h"
#include "SoundStarts.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "motion/ui/MotionPanel.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "common/Define.h"
#include "firmware/ui/FirmwareWindow.h"

#include <QFile>
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
constexpr int FIRMWARE_BYTES = 2048;
constexpr int FIRMWARE_RECORD_BYTES = 32;
const QString LOADER_DIPS = "Please put the dipswitch in position for bootloader procedure and then press OK";
const QString ACTIVE_DIPS = "Set the dipswitches for active status.";
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
        QString endMessage;                  // how the box that tells of the end begins
        std::function<bool()> over = [] { return true; }; // what comes after the end is done too
    };
    QHash<QString, Row> rows;
    EndToEndFixture e2e;
    std::unique_ptr<AnsweredDialogs> answered;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void OperationEndsEndToEndTest::initTestCase()
{
    rows["Auto calibration"] = {[this] {
                                    QVERIFY(board->controlOk("pose vertical"));
                                    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
                                },
                                [this] {
                                    const int step = CalibrationStep();
                                    if (step == 100)
                                        board->controlOk("pose horizontal");
                                    if ((step == 1 || step == 100) && waitDialog->isVisible())
                                        waitDialog->okButton->click();
                                },
                                "Procedure OK. Kordex has been calibrated with value "};
    rows["row erase"] = {[] { setupWindow->findChild<QPushButton*>("bank1GuardEraseButton")->click(); }, [] {},
                         "Erase bank 1 Guard sounds: done"};
    rows["Erase All"] = {
        [] { control<QPushButton>(setupWindow, "eraseAllButton")->click(); }, [] {},
        "Erase All Sounds: the erase command was sent; the board erases its sound memory on its own."};
    rows["upload"] = {[this] { QVERIFY(StartUpload(f->folder.path(), UPLOAD_SAMPLES)); }, [] {},
                      "Uploading file completed."};
    rows["bulk load"] = {[this] { QVERIFY(StartBulkLoad(f->folder.path(), BULK_SAMPLES)); }, [] {}, "Finito.."};
    rows["firmware erase and run"] = {[this] {
                                          control<QPushButton>(setupWindow, "firmwareButton")->click();
                                          QVERIFY(WaitFor([] { return firmwareWindow->isVisible(); }, STEP_MS));
                                          const QString path = f->folder.filePath("update.hex");
                                          QFile file(path);
                                          QVERIFY(file.open(QIODevice::WriteOnly));
                                          file.write(MakeHexImage(FIRMWARE_BYTES, FIRMWARE_RECORD_BYTES).text);
                                          file.close();
                                          answered->files.enqueue(path);
                                          firmwareWindow->fileButton->click();
                                          firmwareWindow->eraseButton->click();
                                          QVERIFY(WaitFor([] { return firmwareWindow->programButton->isEnabled(); },
                                                          STEP_MS));
                                          firmwareWindow->programButton->click();
                                      },
                                      [] {}, "Programming done: ",
                                      // The way back: the application's modes and a read of the board.
                                      [] { return firmwareWindow->runStep > FirmwareWindow::STOP; }};
}

void OperationEndsEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({},
                       {.recordingPlayer = true, .soundFolder = true, .openPort = true, .waitUntilOpen = true,
                        .setUpMode = true},
                       &why),
             qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
    answered = std::make_unique<AnsweredDialogs>(f->dialogs);
    // The user moves the board's dip switches when the tool asks.
    answered->onShown = [this](const QString& text) {
        if (text == LOADER_DIPS)
            board->controlOk("switch loader");
        if (text == ACTIVE_DIPS)
            board->controlOk("switch app");
    };
}

void OperationEndsEndToEndTest::cleanup()
{
    answered.reset();
    QString report;
    QVERIFY2(e2e.finish(&report), qPrintable(report));
}

void OperationEndsEndToEndTest::operationEndsThroughTheRealMessageBox_data()
{
    QTest::addColumn<QString>("operation");
    for (const char* name :
         {"Auto calibration", "row erase", "Erase All", "upload", "bulk load", "firmware erase and run"})
        QTest::newRow(name) << QString(name);
}

void OperationEndsEndToEndTest::operationEndsThroughTheRealMessageBox()
{
    QFETCH(QString, operation);
    const Row& row = rows[operation];
    row.start();
    QVERIFY(WaitFor([] { return setupWindow->board()->link()->busy(); }, STEP_MS));
    const auto told = [&] {
        row.drive();
        const auto endTold = [&](const QString& text) { return text.startsWith(row.endMessage); };
        return std::any_of(answered->texts.cbegin(), answered->texts.cend(), endTold) && row.over() &&
               !setupWindow->board()->link()->busy();
    };
    QVERIFY2(WaitFor(told, OPERATION_MS), qPrintable(answered->texts.join(" | ")));
    RunEventsFor(AFTERMATH_MS);

    QVERIFY(!setupWindow->board()->link()->busy());
    QVERIFY(setupWindow->findChildren<Operation*>().isEmpty());
    QVERIFY(firmwareWindow->findChildren<Operation*>().isEmpty());
    QVERIFY(!waitDialog->isVisible());
    // The program goes on talking to the board, once the firmware window has
    // let go of it.
    firmwareWindow->close();
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_TX; }, STEP_MS));
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, STEP_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
}

TAVRIN_TEST_MAIN(OperationEndsEndToEndTest)
#include "tst_operation_ends_e2e.moc"
