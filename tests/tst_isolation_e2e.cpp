// Nothing but Cancel reaches a running operation, end to end. Each operation
// runs twice against the strict simulated board: once undisturbed, once while
// every enabled control, menu item and shortcut of the open windows is pressed
// (found by walking the widget tree), by click, animated click and the
// accessibility press, and the set-up window is closed and opened again. The
// board must receive exactly the same bytes both times, and the user be told
// the same, but for refusals naming the running operation.
#include "Calibrating.h"
#include "Controls.h"
#include "EndToEndFixture.h"
#include "HexImage.h"
#include "SoundStarts.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "motion/ui/MotionPanel.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "common/Define.h"
#include "firmware/ui/FirmwareWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <functional>

namespace {
constexpr int STEP_MS = 15000;
constexpr int OPERATION_MS = 90000;
constexpr int FIRMWARE_BYTES = 2048;
constexpr int FIRMWARE_RECORD_BYTES = 32;
constexpr int DISTURBANCE_ROUNDS = 3;
constexpr int ROUND_GAP_MS = 250;
constexpr char CALIBRATION_FIRST_ADDRESS = 8; // vertical low byte .. horizontal high byte
constexpr char CALIBRATION_LAST_ADDRESS = 11;
} // namespace

class IsolationEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void onlyCancelReachesARunningOperation_data();
    void onlyCancelReachesARunningOperation();
    void setUpWindowSendsNothingWhileTheBoardIsOnItsLoader();

private:
    QByteArray run(const QString& operation, bool disturbed);
    // The traffic with the calibration's measured values blanked.
    static QByteArray withoutMeasuredValues(QByteArray traffic);
    void setUpMode();
    // Presses everything while `still` holds.
    int disturb(const std::function<bool()>& still);

    struct Row {
        std::function<void()> start;                      // returns once the operation holds the link
        std::function<void()> drive = [] {};              // what the user does while it runs (OK to a prompt)
        std::function<bool()> over = [] { return true; }; // besides the link let go: what comes after it
    };
    QHash<QString, Row> rows;
    void handOver();
    int disturbances = 0;
    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void IsolationEndToEndTest::initTestCase()
{
    rows["read sweep"] = {[] { control<QPushButton>(setupWindow, "readParametersButton")->click(); }};
    rows["Write Parameters"] = {[] {
        // The screen must hold the board's values before they can be written back.
        control<QPushButton>(setupWindow, "readParametersButton")->click();
        const auto read = [] {
            for (QLineEdit* e : control<QGroupBox>(setupWindow, "parameterGroup")->findChildren<QLineEdit*>())
                if (e->isEnabled() && e->text().isEmpty())
                    return false;
            return !setupWindow->board()->link()->busy();
        };
        QVERIFY(WaitFor(read, STEP_MS));
        RunEventsFor(ROUND_GAP_MS);
        control<QPushButton>(setupWindow, "writeParametersButton")->click();
    }};
    rows["row erase"] = {[] { setupWindow->findChild<QPushButton*>("bank1GuardEraseButton")->click(); }};
    rows["Erase All"] = {[] { control<QPushButton>(setupWindow, "eraseAllButton")->click(); }};
    rows["upload"] = {[this] { QVERIFY(StartUpload(f->folder.path(), 12000)); }};
    // Two files of the base set: the gaps between them are part of the load.
    rows["bulk load"] = {[this] { QVERIFY(StartBulkLoad(f->folder.path(), 100)); }};
    rows["calibration"] = {[this] {
                               QVERIFY(board->controlOk("pose vertical"));
                               control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
                           },
                           [] {
                               const int step = CalibrationStep();
                               if ((step == 1 || step == 100) && waitDialog->isVisible())
                                   waitDialog->okButton->click();
                           }};
    rows["firmware run"] = {[this] {
                                handOver();
                                const QString path = f->folder.filePath("update.hex");
                                QFile file(path);
                                QVERIFY(file.open(QIODevice::WriteOnly));
                                file.write(MakeHexImage(FIRMWARE_BYTES, FIRMWARE_RECORD_BYTES).text);
                                file.close();
                                f->dialogs.files.enqueue(path);
                                firmwareWindow->fileButton->click();
                                firmwareWindow->eraseButton->click();
                                QVERIFY(
                                    WaitFor([] { return firmwareWindow->programButton->isEnabled(); }, STEP_MS));
                                firmwareWindow->programButton->click();
                            },
                            [] {},
                            // The way back: the application's modes and a read of the board.
                            [] { return firmwareWindow->runStep > FirmwareWindow::STOP; }};
}

void IsolationEndToEndTest::handOver()
{
    control<QPushButton>(setupWindow, "firmwareButton")->click();
    QVERIFY(WaitFor([] { return firmwareWindow->isVisible() && !setupWindow->board()->handingOver(); }, STEP_MS));
}

void IsolationEndToEndTest::init()
{
    QString why;
    QVERIFY2(
        e2e.start({}, {.recordingPlayer = true, .soundFolder = true, .openPort = true, .waitUntilOpen = true},
                  &why),
        qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
    e2e.moveDipSwitchesWhenAsked();
}

void IsolationEndToEndTest::cleanup()
{
    QString report;
    QVERIFY2(e2e.finish(&report), qPrintable(report));
}

void IsolationEndToEndTest::cleanupTestCase()
{
    qInfo("%d operations x %d disturbances on average (%d in all)", int(rows.size()),
          disturbances / int(rows.size()), disturbances);
}

void IsolationEndToEndTest::setUpMode()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, STEP_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
}

// Presses everything that is enabled in the windows shown, the wait dialog's
// Cancel excepted. Returns the number of presses.
int IsolationEndToEndTest::disturb(const std::function<bool()>& running)
{
    int presses = 0;
    const auto press = [&presses, running](QAbstractButton* button, int round) {
        if (!running() || !button->isEnabled() || !button->isVisible() || button->window() == waitDialog)
            return;
        ++presses;
        if (round == 0) {
            button->click();
        } else if (round == 1) {
            button->animateClick();
        } else if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button)) {
            if (QAccessibleActionInterface* actions = accessible->actionInterface())
                actions->doAction(QAccessibleActionInterface::pressAction());
        }
    };
    for (int round = 0; round < DISTURBANCE_ROUNDS; ++round) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || window == waitDialog)
                continue;
            for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
                press(button, round);
        }
        QList<QAction*> actions = mainWindow->menuBar()->actions();
        for (QMenu* menu : mainWindow->menuBar()->findChildren<QMenu*>())
            actions += menu->actions();
        for (QMenu* menu : control<QMenu>(setupWindow, "slotMenu")->findChildren<QMenu*>())
            actions += menu->actions();
        actions += control<QMenu>(setupWindow, "slotMenu")->actions();
        for (QAction* action : actions)
            if (running() && action->isEnabled() && !action->menu()) {
                action->trigger();
                ++presses;
            }
        if (!running())
            break;
        QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_F12);
        setupWindow->hide();
        setupWindow->show();
        presses += 2;
        RunEventsFor(ROUND_GAP_MS);
    }
    return presses;
}

QByteArray IsolationEndToEndTest::run(const QString& operation, bool disturbed)
{
    QTemporaryFile log;
    if (!log.open())
        return {};
    firmwareWindow->close(); // the firmware window of an earlier run owns the board while it is open
    setUpMode();
    if (!board->controlOk("log " + log.fileName()))
        return {};
    const Row& row = rows[operation];
    row.start();
    if (!WaitFor([] { return setupWindow->board()->link()->busy(); }, STEP_MS))
        return {};
    if (disturbed)
        disturbances += disturb([] { return setupWindow->board()->link()->busy(); });
    const auto ended = [&row] {
        row.drive();
        return !setupWindow->board()->link()->busy() && !waitDialog->isVisible() && row.over();
    };
    if (!WaitFor(ended, OPERATION_MS))
        return {};
    QTest::qWait(Define::WRITE_PAUSE_MS); // the last frame reaches the board
    board->controlOk("log off");
    return withoutMeasuredValues(SimBoard::receivedBytes(log.fileName()));
}

QByteArray IsolationEndToEndTest::withoutMeasuredValues(QByteArray traffic)
{
    // The calibration writes what it measured, and the board's readings carry
    // noise: two runs write the same frames with values a few counts apart.
    for (qsizetype i = 0; i + 3 < traffic.size(); ++i)
        if (traffic.at(i) == '#' && traffic.at(i + 1) == '1' && traffic.at(i + 2) >= CALIBRATION_FIRST_ADDRESS
            && traffic.at(i + 2) <= CALIBRATION_LAST_ADDRESS)
            traffic[i + 3] = 0;
    return traffic;
}

void IsolationEndToEndTest::onlyCancelReachesARunningOperation_data()
{
    QTest::addColumn<QString>("operation");
    for (const char* name : {"read sweep", "Write Parameters", "row erase", "Erase All", "upload",
                                "bulk load", "calibration", "firmware run"})
        QTest::newRow(name) << QString(name);
}

void IsolationEndToEndTest::onlyCancelReachesARunningOperation()
{
    QFETCH(QString, operation);
    const QByteArray undisturbed = run(operation, false);
    QVERIFY(!undisturbed.isEmpty());
    // The calibration's message holds what the sensor measured, noise included.
    const auto withoutFigures = [](QStringList messages) {
        static const QRegularExpression measured(QStringLiteral("with value \\d+ and \\d+"));
        for (QString& m : messages)
            m.replace(measured, QStringLiteral("with value V and H"));
        return messages;
    };
    const QStringList undisturbedMessages = withoutFigures(std::exchange(f->dialogs.messages, {}));
    const QByteArray disturbed = run(operation, true);
    QCOMPARE(disturbed.toHex(' '), undisturbed.toHex(' '));
    // Besides the refusals, which name the running operation, the user is told
    // exactly what an undisturbed run tells: no success for work not done.
    QStringList told = withoutFigures(f->dialogs.messages);
    told.removeIf([](const QString& m) { return m.endsWith(" is running. Wait until it has finished."); });
    // The firmware run's way back holds no link, but the board is still the firmware window's.
    told.removeAll("The firmware update is running. Wait until it has finished.");
    QCOMPARE(told, undisturbedMessages);
}

void IsolationEndToEndTest::setUpWindowSendsNothingWhileTheBoardIsOnItsLoader()
{
    setUpMode();
    handOver();
    QTemporaryFile log;
    QVERIFY(log.open());
    QVERIFY(board->controlOk("log " + log.fileName()));
    // Everything but the firmware window's own buttons (its erase is the loader's).
    const auto onLoader = [] { return firmwareWindow->isVisible(); };
    for (QPushButton* own : firmwareWindow->findChildren<QPushButton*>())
        own->setEnabled(false);
    disturbances += disturb(onLoader);
    QVERIFY(firmwareWindow->isVisible());
    RunEventsFor(Define::WRITE_PAUSE_MS);
    QVERIFY(board->controlOk("log off"));
    QCOMPARE(SimBoard::receivedBytes(log.fileName()).toHex(' '), QByteArray());
    QCOMPARE(setupWindow->ports()->connectionCheck()->running(), false);
    QVERIFY(f->dialogs.messages.contains("The firmware update is running. Wait until it has finished."));
}

TAVRIN_TEST_MAIN(IsolationEndToEndTest)
#include "tst_isolation_e2e.moc"
