// The connection check when the set-up window shows, and the loss of the
// device in the middle of what the link is doing. Simulated time, scripted port.
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "common/ui/Handlers.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "app/Shape.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString PORT_NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";
const QColor GREY(128, 128, 128);
} // namespace

class ConnectionCheckTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<SetupWindowFixture>(); }
    void cleanup() { f.reset(); }

    void connectionCheckWithAnsweringBoard();
    void connectionCheckWithSilentBoard();
    void connectionCheckWithoutPortOnlyComplains();
    void showingWindowAgainRestartsTheCheck();
    void showingWindowWhileBoardIsBusyQueuesNoCheck_data();
    void showingWindowWhileBoardIsBusyQueuesNoCheck();
    void deviceLossDuringSweepClosesAndStopsEverything();
    void deviceLossDuringConnectionCheckClosesTheDialog();
    void deviceLossDuringWriteSaysHowFarItGot();
    void writeOnAClosedPortRefusesAndSendsNothing();

private:
    void feed(const QByteArray& block) { f->port->feed(block); }
    std::unique_ptr<SetupWindowFixture> f;
};

// ---- Connection check ----------------------------------------------------------

void ConnectionCheckTest::connectionCheckWithAnsweringBoard()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    waitDialog->setWindowTitle(QStringLiteral("Verify")); // the last operation's
    setupWindow->show();
    f->sim.clock.advance(1999);
    QVERIFY(!waitDialog->isVisible());
    f->sim.clock.advance(1);
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->windowTitle(), QStringLiteral("waitform"));
    QCOMPARE(waitDialog->layoutHeight(), 70);
    QCOMPARE(waitDialog->message->text(), QString("Wait... Downloading parameters from Kordex in progress."));
    QVERIFY(control<QRadioButton>(setupWindow, "txModeButton")->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 03 00 00 0A")});

    f->sim.clock.advance(300);
    feed(QByteArray(1, '\xFF') + QByteArray(25, '\x00'));
    f->sim.clock.advance(1700);
    QVERIFY(control<QRadioButton>(setupWindow, "setUpModeButton")->isChecked());
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 02 04 00 00 0A"));
    QVERIFY(control<QPushButton>(setupWindow, "readParametersButton")->isEnabled());

    f->port->clearSent();
    f->sim.clock.advance(2000); // step 3 starts the sweep
    QVERIFY(setupWindow->board()->reading());
    f->sim.clock.advance(2000); // step 4, 2 s into the sweep
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(waitDialog->layoutHeight(), 140);
    QCOMPARE(waitDialog->message->text(), QString("Wait... Downloading files to Kordex in progress..."));
    QCOMPARE(f->port->sent.size(), 200);
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 226);
    QVERIFY(!setupWindow->ports()->connectionCheck()->running());
    QVERIFY(f->dialogs.messages.isEmpty());
}

void ConnectionCheckTest::connectionCheckWithSilentBoard()
{
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->show();
    f->sim.clock.advance(3999);
    QVERIFY(f->dialogs.messages.isEmpty());
    f->sim.clock.advance(1);
    QCOMPARE(f->dialogs.messages, QStringList{PORT_NOT_FOUND});
    QVERIFY(!f->port->IsOpen());
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(control<QComboBox>(setupWindow, "portList")->isEnabled());
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isChecked());
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void ConnectionCheckTest::connectionCheckWithoutPortOnlyComplains()
{
    f->setPortList({"COM3"});
    setupWindow->show();
    f->sim.clock.advance(2000);
    QCOMPARE(f->dialogs.messages, QStringList{PORT_NOT_FOUND});
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->ports()->connectionCheck()->running());
}

void ConnectionCheckTest::showingWindowAgainRestartsTheCheck()
{
    f->setPortList({"COM3"});
    setupWindow->show();
    f->sim.clock.advance(2000);
    setupWindow->hide();
    mainWindow->showSetupWindow();
    f->sim.clock.advance(2000);
    QCOMPARE(f->dialogs.messages, QStringList({PORT_NOT_FOUND, PORT_NOT_FOUND}));
}

void ConnectionCheckTest::showingWindowWhileBoardIsBusyQueuesNoCheck_data()
{
    QTest::addColumn<bool>("loader");
    QTest::newRow("an operation holds the link") << false;
    QTest::newRow("the board goes over to its loader") << true;
}

void ConnectionCheckTest::showingWindowWhileBoardIsBusyQueuesNoCheck()
{
    // A check queued now would put the board into TX and SetUp and read it again
    // once the operation is over, or talk to the loader.
    QFETCH(bool, loader);
    f->setPortList({"COM3"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    f->sim.clock.advance(100);
    f->port->clearSent();
    if (loader)
        setupWindow->header()->updateFirmware();
    else
        QVERIFY(setupWindow->board()->link()->begin(
            {"Erase All Sounds", "erase frames", 2, BoardLink::Blocks::Deferred, {}}));
    setupWindow->show();
    f->sim.clock.advance(3000);
    if (!loader)
        setupWindow->board()->link()->end();
    f->sim.clock.advance(10000);
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(f->dialogs.messages.filter(PORT_NOT_FOUND).isEmpty());
    QVERIFY(!setupWindow->ports()->connectionCheck()->running());
}

// ---- Device loss ---------------------------------------------------------------

void ConnectionCheckTest::deviceLossDuringSweepClosesAndStopsEverything()
{
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    setupWindow->parameters()->readParameters();
    f->sim.clock.advance(500);
    f->port->vanish();
    QVERIFY(!setupWindow->board()->reading());
    QCOMPARE(control<Shape>(setupWindow, "portOpenIndicator")->BrushColor(), GREY);
    QVERIFY(control<QComboBox>(setupWindow, "portList")->isEnabled());
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isChecked());
    QVERIFY(!control<QGroupBox>(setupWindow, "modeBox")->isEnabled());
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].contains("/dev/ttyACM0"));
    QVERIFY(f->dialogs.messages[0].contains("lost"));
    const int logged = trafficMonitor->sentLog->LinesCount();
    f->sim.clock.advance(5000);
    QCOMPARE(trafficMonitor->sentLog->LinesCount(), logged);
    QCOMPARE(f->port->closeCount, 1);
}

void ConnectionCheckTest::deviceLossDuringConnectionCheckClosesTheDialog()
{
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->show();
    f->sim.clock.advance(2000);
    QVERIFY(waitDialog->isVisible());
    f->port->vanish();
    QVERIFY(!waitDialog->isVisible());
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void ConnectionCheckTest::deviceLossDuringWriteSaysHowFarItGot()
{
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        e->setText("1");
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->setChecked(true);
    setupWindow->board()->link()->sendRead(6); // the default bank, answered during the write
    f->port->clearSent();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->port->feed(hexBytes("32 06 02")); // an answer the write keeps for later
    f->sim.clock.advance(1950);
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].startsWith(
        "Write Parameters stopped after 20 of 85 values: the connection to /dev/ttyACM0 was lost."));
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!control<QPushButton>(setupWindow, "writeParametersButton")
                 ->isEnabled()); // set-up controls off, as after closing
    QVERIFY(!setupWindow->board()->link()->busy());
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 20);
    QVERIFY(!control<QRadioButton>(setupWindow, "defaultBank2Button")->isChecked()); // the kept answer died with the link
}

void ConnectionCheckTest::writeOnAClosedPortRefusesAndSendsNothing()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    setupWindow->board()->setSetUpMode(true);
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        e->setText("1");
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->setChecked(true);
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Write Parameters needs an open port: open the board's port first."});
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(!waitDialog->isVisible());
}

TAVRIN_TEST_MAIN(ConnectionCheckTest)
#include "tst_connection_check.moc"
