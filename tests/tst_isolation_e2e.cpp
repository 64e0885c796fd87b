// Nothing but Cancel reaches a running operation, end to end. Each operation
// runs twice against the strict simulated board: once undisturbed, once while
// every enabled control, menu item and shortcut of the open windows is pressed
// (found by walking the widget tree), by click, animated click and the
// accessibility press, and the set-up window is closed and opened again. The
// board must receive exactly the same bytes both times.
#include "BoardFixture.h"
#include "RecordingPlayer.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/Main.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>
#include <functional>

namespace {
constexpr int STEP_MS = 15000;
constexpr int OPERATION_MS = 60000;
constexpr int DISTURBANCE_ROUNDS = 3;
constexpr int ROUND_GAP_MS = 250;

void writeSound(const QString& path, int samples)
{
    QByteArray bytes("RIFF");
    bytes.resize(Define::WAV_HEADER_BYTES, '\0');
    for (int i = 0; i < samples; ++i)
        bytes.append(char(i & 0xFF)).append(char((i >> 8) & 0xFF));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The bytes of the board's traffic log's RX lines, in order, without their times.
QByteArray receivedBytes(const QString& logPath)
{
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 3 && fields[1] == "RX")
            for (qsizetype i = 2; i < fields.size(); ++i)
                bytes += QByteArray::fromHex(fields[i]);
    }
    return bytes;
}
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

private:
    QByteArray run(const QString& operation, bool disturbed);
    void setUpMode();
    int disturb();

    QHash<QString, std::function<void()>> starts;
    int disturbances = 0;
    std::unique_ptr<BoardFixture> e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void IsolationEndToEndTest::initTestCase()
{
    starts["Write Parameters"] = [] {
        // The screen must hold the board's values before they can be written back.
        SerialForm1->SpeedButton4->click();
        const auto read = [] {
            for (QLineEdit* e : SerialForm1->GroupBox2->findChildren<QLineEdit*>())
                if (e->isEnabled() && e->text().isEmpty())
                    return false;
            return true;
        };
        QVERIFY(WaitFor(read, STEP_MS));
        RunEventsFor(ROUND_GAP_MS);
        SerialForm1->SpeedButton5->click();
    };
    starts["row erase"] = [] { SerialForm1->findChild<QPushButton*>("SpeedButton1")->click(); };
    starts["Erase All"] = [] { SerialForm1->SpeedButton6->click(); };
    starts["upload"] = [this] {
        writeSound(f->folder.filePath("sound.wav"), 12000);
        SerialForm1->FillFileList();
        SerialForm1->FileListBox1->setCurrentRow(0);
        SerialForm1->Swing11Click();
    };
}

void IsolationEndToEndTest::init()
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
}

void IsolationEndToEndTest::cleanup()
{
    QString report;
    const bool paced = e2e->paced(&report);
    e2e.reset();
    QVERIFY2(paced, qPrintable(report));
}

void IsolationEndToEndTest::cleanupTestCase()
{
    qInfo("%d operations x %d disturbances", int(starts.size()), disturbances / int(starts.size()));
}

void IsolationEndToEndTest::setUpMode()
{
    SerialForm1->RadioButton9->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, STEP_MS));
    QVERIFY(e2e->waitUntilBoardIsReady());
}

// Presses everything that is enabled in the windows shown, the wait dialog's
// Cancel excepted. Returns the number of presses.
int IsolationEndToEndTest::disturb()
{
    int presses = 0;
    const auto running = [] { return SerialForm1->Link->busy(); };
    const auto press = [&presses, running](QAbstractButton* button, int round) {
        if (!running() || !button->isEnabled() || !button->isVisible() || button->window() == waitform)
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
            if (!window->isVisible() || window == waitform)
                continue;
            for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
                press(button, round);
        }
        QList<QAction*> actions = MainForm->menuBar()->actions();
        for (QMenu* menu : MainForm->menuBar()->findChildren<QMenu*>())
            actions += menu->actions();
        for (QMenu* menu : SerialForm1->PopupMenu1->findChildren<QMenu*>())
            actions += menu->actions();
        actions += SerialForm1->PopupMenu1->actions();
        for (QAction* action : actions)
            if (running() && action->isEnabled() && !action->menu()) {
                action->trigger();
                ++presses;
            }
        if (!running())
            break;
        QTest::keyClick(SerialForm1->FileListBox1, Qt::Key_F12);
        SerialForm1->hide();
        SerialForm1->show();
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
    setUpMode();
    if (!board->controlOk("log " + log.fileName()))
        return {};
    starts[operation]();
    if (!WaitFor([] { return SerialForm1->Link->busy(); }, STEP_MS))
        return {};
    if (disturbed)
        disturbances += disturb();
    if (!WaitFor([] { return !SerialForm1->Link->busy() && !waitform->isVisible(); }, OPERATION_MS))
        return {};
    QTest::qWait(Define::WRITE_PAUSE_MS); // the last frame reaches the board
    board->controlOk("log off");
    return receivedBytes(log.fileName());
}

void IsolationEndToEndTest::onlyCancelReachesARunningOperation_data()
{
    QTest::addColumn<QString>("operation");
    for (const QString& name : {"Write Parameters", "row erase", "Erase All", "upload"})
        QTest::newRow(qPrintable(name)) << name;
}

void IsolationEndToEndTest::onlyCancelReachesARunningOperation()
{
    QFETCH(QString, operation);
    const QByteArray undisturbed = run(operation, false);
    QVERIFY(!undisturbed.isEmpty());
    const QStringList undisturbedMessages = std::exchange(f->dialogs.messages, {});
    const QByteArray disturbed = run(operation, true);
    QCOMPARE(disturbed.toHex(' '), undisturbed.toHex(' '));
    // Besides the refusals, which name the running operation, the user is told
    // exactly what an undisturbed run tells: no success for work not done.
    QStringList told = f->dialogs.messages;
    told.removeIf([](const QString& m) { return m.endsWith(" is running. Wait until it has finished."); });
    QCOMPARE(told, undisturbedMessages);
}

TAVRIN_TEST_MAIN(IsolationEndToEndTest)
#include "tst_isolation_e2e.moc"
