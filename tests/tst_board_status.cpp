// The board status buttons and the default bank as the set-up window sends
// them. Simulated time, scripted port.
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "common/ui/Handlers.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "comm/BoardLink.h"

#include <QPushButton>
#include <QRadioButton>

class BoardStatusTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<SetupWindowFixture>(); }
    void cleanup() { f.reset(); }

    void statusButtonsWithoutPortSendNothing();
    void statusButtonsSendModeAndSwitchSetUpControls();
    void reselectingSelectedButtonSendsNothing();
    void defaultBankButtonSendsBankWrite();

private:
    std::unique_ptr<SetupWindowFixture> f;
};

// ---- Board status and default bank ----------------------------------------------

void BoardStatusTest::statusButtonsWithoutPortSendNothing()
{
    f->setPortList({"COM3"});
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(control<QRadioButton>(setupWindow, "setUpModeButton")->isChecked());
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(!control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
}

void BoardStatusTest::statusButtonsSendModeAndSwitchSetUpControls()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    setupWindow->board()->link()->setExpectingReply(false);
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
    QVERIFY(control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
    QVERIFY(setupWindow->board()->expectingReply());
    QCOMPARE(f->sim.clock.pauses.size(), 0);
    control<QRadioButton>(setupWindow, "activeModeButton")->click();
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 02 01 00 00 0A"));
    QVERIFY(!control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 02 03 00 00 0A"));
    QVERIFY(!control<QPushButton>(setupWindow, "readParametersButton")->isEnabled());
}

void BoardStatusTest::reselectingSelectedButtonSendsNothing()
{
    f->setPortList({"COM3"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    f->port->clearSent();
    SelectRadioButton(control<QRadioButton>(setupWindow, "setUpModeButton"));
    QVERIFY(f->port->sent.isEmpty());
    // The main window's start-up calls the handler directly: it acts because SetUp is selected.
    setupWindow->ports()->setUpModeChosen();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
}

void BoardStatusTest::defaultBankButtonSendsBankWrite()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    setupWindow->board()->link()->setExpectingReply(false);
    control<QRadioButton>(setupWindow, "defaultBank2Button")->click();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 06 02 00 00 0A")});
    QVERIFY(setupWindow->board()->expectingReply());
    QVERIFY(!control<QRadioButton>(setupWindow, "defaultBank1Button")->isChecked());
    SelectRadioButton(control<QRadioButton>(setupWindow, "defaultBank3Button"));
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 06 03 00 00 0A"));
    QVERIFY(!control<QRadioButton>(setupWindow, "defaultBank2Button")->isChecked());
}

TAVRIN_TEST_MAIN(BoardStatusTest)
#include "tst_board_status.moc"
