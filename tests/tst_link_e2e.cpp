// The link end to end: the real windows and serial component against the
// simulated board on a pseudo-terminal, on real time.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "app/WaitDialog.h"
#include "comm/ComPort.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"
#include "comm/SerialPort.h"
#include "common/Define.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString PORT_NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";
constexpr int CHECK_DONE_MS = 15000; // 8 s of connection check, with room for a slow machine
} // namespace

class LinkEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void portListShowsTheSimulatedBoard();
    void portListFollowsAPlugWhileNoPortIsOpen();
    void connectionCheckPutsBoardInSetUpAndReadsItsParameters();
    void silentBoardIsReportedAndPortClosed();
    void unplugDuringSweepClosesPortOnce();
    void secondCopyLeavesTheSavedPortAlone();

private:
    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void LinkEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({}, {}, &why), qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
}

void LinkEndToEndTest::cleanup()
{
    QString report;
    QVERIFY2(e2e.finish(&report), qPrintable(report));
}

void LinkEndToEndTest::portListShowsTheSimulatedBoard()
{
    setupWindow->ports()->listPorts();
    QVERIFY(control<QComboBox>(setupWindow, "portList")->findText(board->portPath()) >= 0);
}

void LinkEndToEndTest::connectionCheckPutsBoardInSetUpAndReadsItsParameters()
{
    QVERIFY(e2e.openBoardPort());
    setupWindow->show();
    QVERIFY(WaitFor([&] { return waitDialog->isVisible(); }, CHECK_DONE_MS));
    QVERIFY(WaitFor([&] { return control<QRadioButton>(setupWindow, "setUpModeButton")->isChecked(); },
                    CHECK_DONE_MS));
    QVERIFY(WaitFor([&] { return !waitDialog->isVisible(); }, CHECK_DONE_MS));
    QVERIFY(WaitFor([&] { return !setupWindow->board()->reading(); }, CHECK_DONE_MS));
    RunEventsFor(300); // the last answers
    QCOMPARE(board->mode(), Define::STATO_TAVRIN_COMMAND_MODE_NOTX);
    QVERIFY(f->dialogs.messages.isEmpty());

    // The sweep's answers reach the traffic monitor and the screen.
    QVERIFY(trafficMonitor->sentLog->toPlainText().contains("TX-- 23 32 E1 E1 00 00 0A"));
    QVERIFY(trafficMonitor->receivedLog->toPlainText().contains("RX-- 32 "));
    const QString release = QString::number(board->param(Define::ADDR_VERSIONE)) + ".0";
    if (control<ValueLabel>(setupWindow, "releaseNumber")->text() != release ||
        !control<ValueLabel>(setupWindow, "serialNumber")->text().contains('-')) {
        // A loaded machine read two answers as one block; a second read fills the gap.
        setupWindow->parameters()->readParameters();
        QVERIFY(WaitFor([&] { return !setupWindow->board()->reading(); }, CHECK_DONE_MS));
        RunEventsFor(300);
    }
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), release);
    QVERIFY(control<ValueLabel>(setupWindow, "serialNumber")->text().contains('-'));
    // What a screen reader speaks: the caption and the value.
    const auto spoken = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    QCOMPARE(spoken(control<ValueLabel>(setupWindow, "releaseNumber")), "Firmware release: " + release);
    QCOMPARE(spoken(control<ValueLabel>(setupWindow, "serialNumber")),
             "Serial number: " + control<ValueLabel>(setupWindow, "serialNumber")->text());
    QVERIFY(control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
}

void LinkEndToEndTest::silentBoardIsReportedAndPortClosed()
{
    QVERIFY(board->controlOk("silent on"));
    QVERIFY(e2e.openBoardPort());
    setupWindow->show();
    QVERIFY(WaitFor([&] { return f->dialogs.messages == QStringList{PORT_NOT_FOUND}; }, CHECK_DONE_MS));
    QVERIFY(!setupWindow->board()->serialPort()->IsOpen());
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(control<QComboBox>(setupWindow, "portList")->isEnabled());
}

void LinkEndToEndTest::unplugDuringSweepClosesPortOnce()
{
    QVERIFY(e2e.openBoardPort());
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, CHECK_DONE_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    setupWindow->parameters()->readParameters();
    QVERIFY(WaitFor([&] { return trafficMonitor->receivedLog->LinesCount() > 10; }, CHECK_DONE_MS));
    QVERIFY(board->controlOk("unplug"));
    QVERIFY(WaitFor([&] { return !setupWindow->board()->serialPort()->IsOpen(); }, CHECK_DONE_MS));
    QVERIFY(!setupWindow->board()->reading());
    QVERIFY(control<QComboBox>(setupWindow, "portList")->isEnabled());
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isChecked());
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].contains(board->portPath()));
    RunEventsFor(300);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void LinkEndToEndTest::portListFollowsAPlugWhileNoPortIsOpen()
{
    setupWindow->ports()->listPorts();
    control<QComboBox>(setupWindow, "portList")
        ->setCurrentIndex(control<QComboBox>(setupWindow, "portList")->findText(board->portPath()));
    SimBoard::Options options;
    options.portsDir = board->portsDir();
    options.name = "plugged-later";
    auto later = std::make_unique<SimBoard>(options);
    QVERIFY2(later->isRunning(), qPrintable(later->errorOutput()));
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->findText(later->portPath()), -1);

    control<QComboBox>(setupWindow, "portList")->showPopup(); // the user opens the list
    control<QComboBox>(setupWindow, "portList")->hidePopup();
    QVERIFY(control<QComboBox>(setupWindow, "portList")->findText(later->portPath()) >= 0);
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->currentText(), board->portPath());

    // While a port is open the list stays as it is.
    QVERIFY(e2e.openBoardPort());
    const QString gone = later->portPath();
    later.reset();
    setupWindow->ports()->refreshPortList();
    QVERIFY(control<QComboBox>(setupWindow, "portList")->findText(gone) >= 0);
    setupWindow->ports()->closePort();
    setupWindow->ports()->refreshPortList();
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->findText(gone), -1);
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->currentText(), board->portPath());
}

void LinkEndToEndTest::secondCopyLeavesTheSavedPortAlone()
{
    // Another copy of the tool holds the board's port, so this one lists it not.
    ComPort first;
    first.setPort(board->portPath());
    first.Open();
    const QByteArray saved = board->portPath().toLocal8Bit() + "\r\n0\r\n";
    f->writeSettings(saved);
    mainWindow->show();
    QCOMPARE(control<QComboBox>(setupWindow, "portList")->findText(board->portPath()), -1);
    QVERIFY(!setupWindow->board()->serialPort()->IsOpen());
    setupWindow->show();
    setupWindow->close();
    QCOMPARE(f->readSettings(), saved);
    QVERIFY(f->dialogs.messages.isEmpty());
}

TAVRIN_TEST_MAIN(LinkEndToEndTest)
#include "common/ui/ValueLabel.h"
#include "tst_link_e2e.moc"
