// "Write Parameters" in the set-up window: checked before anything is sent,
// paced a hundred milliseconds apart, holding the link, and cancelled between
// frames.
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "app/WaitDialog.h"
#include "comm/ConnectionCheck.h"
#include "params/Board.h"
#include "params/ParameterLayout.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {
QLineEdit* editNamed(const char* name)
{
    return setupWindow->findChild<QLineEdit*>(QString::fromLatin1(name));
}

const QList<int> BANK1_ORDER = {28, 29, 30, 31, 32, 33, 39, 40, 41, 42,  43,  44,  45,  46, 34,
                                47, 35, 36, 24, 25, 26, 27, 37, 38, 174, 175, 176, 177, 178};
const QList<int> BANK2_ORDER = {52, 53, 54, 55, 56, 57, 63, 64, 65, 66, 67,  68,  69,  70,
                                58, 71, 59, 60, 48, 49, 50, 51, 61, 62, 198, 199, 200, 201};
const QList<int> BANK3_ORDER = {76, 77, 78, 79, 80, 81, 87, 88, 89, 90, 91,  92,  93,  94,
                                82, 95, 83, 84, 72, 73, 74, 75, 85, 86, 222, 223, 224, 225};
} // namespace

class ParameterWriteTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void writeSendsAllBanksInOrderHundredMillisecondsApart();
    void writeRefusesBadFieldsAndSendsNothing_data();
    void writeRefusesBadFieldsAndSendsNothing();
    void writeLocksSendingControlsAndShowsProgress();
    void writeKeepsHundredMillisecondsAfterAStall();
    void writeHoldsTheLinkAgainstEveryOtherSender();
    void writeCancelStopsBetweenFramesAndSaysHowFar();

private:
    void fillValidScreen();
    std::unique_ptr<SetupWindowFixture> f;
};

void ParameterWriteTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
}

void ParameterWriteTest::fillValidScreen()
{
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        if (e->isEnabled() || !e->property("permanentlyDisabled").toBool())
            e->setText("1");
    // Chosen rather than read, like every value above: a value neither read nor
    // chosen is never written.
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->setChecked(true);
}

void ParameterWriteTest::writeSendsAllBanksInOrderHundredMillisecondsApart()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    fillValidScreen();
    editNamed("bank1SwingSensitivity")->setText("4660");
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->setChecked(true);
    f->sim.clock.advance(100); // the board has taken SetUp
    f->port->clearSent();
    const qint64 start = f->sim.clock.now();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(20000);

    QCOMPARE(f->port->sent.size(), 85);
    QList<int> addresses;
    for (int i = 0; i < 85; ++i) {
        const ScriptedPort::Sent& s = f->port->sent[i];
        QCOMPARE(s.at - start, 100 * i); // the first at once, then 100 ms after each
        QCOMPARE(s.bytes.size(), 7);
        QCOMPARE(s.bytes.left(2), QByteArray("#1"));
        addresses.append(static_cast<unsigned char>(s.bytes[2]));
    }
    QCOMPARE(addresses, BANK1_ORDER + BANK2_ORDER + BANK3_ORDER);
    QCOMPARE(f->port->sent[18].bytes, hexBytes("23 31 18 12 00 00 0A")); // address 24: high byte
    QCOMPARE(f->port->sent[19].bytes, hexBytes("23 31 19 34 00 00 0A")); // address 25: low byte
    QCOMPARE(f->port->sent[28].bytes, hexBytes("23 31 B2 03 00 00 0A")); // frequency mode Evo
    QVERIFY(!setupWindow->board()->writing());
    QVERIFY(control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
}

void ParameterWriteTest::writeRefusesBadFieldsAndSendsNothing_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("colour of 300") << "bank2ClashGreen"
                                   << "300"
                                   << "Bank 2 Clash green must be between 0 and 255 (it is 300).";
    QTest::newRow("empty field") << "bank2ClashGreen"
                                 << ""
                                 << "'' is not a valid integer value";
    QTest::newRow("not a number") << "bank1SwingSensitivity"
                                  << "12a"
                                  << "'12a' is not a valid integer value";
    QTest::newRow("flicker of 101") << "bank3FlickerWhite"
                                    << "101"
                                    << "";
    QTest::newRow("sensitivity of 70000") << "bank3PowerClashSensitivity"
                                          << "70000"
                                          << "";
}

void ParameterWriteTest::writeRefusesBadFieldsAndSendsNothing()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    setupWindow->show();
    setupWindow->ports()->connectionCheck()->stop(); // no connection check in this test
    fillValidScreen();
    QLineEdit* bad = setupWindow->findChild<QLineEdit*>(edit);
    if (edit.contains("Flicker")) {
        // The flicker edits clamp as they change: the bad value goes to the
        // screen's model as a file or a paste might leave it.
        QSignalBlocker quiet(bad);
        bad->setText(text);
        setupWindow->board()->screen().type(*Params::fieldByEdit(edit), text);
    } else {
        bad->setText(text);
    }
    f->port->clearSent();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(20000);
    QVERIFY(f->port->sent.isEmpty());
    QCOMPARE(f->dialogs.errors.size(), 1);
    if (!message.isEmpty())
        QCOMPARE(f->dialogs.errors[0], message);
    QVERIFY(f->dialogs.errors[0].contains(text));
    QVERIFY(setupWindow->focusWidget());
    QCOMPARE(setupWindow->focusWidget()->objectName(), edit);
}

void ParameterWriteTest::writeLocksSendingControlsAndShowsProgress()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    fillValidScreen();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(1000);
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->progressBar->maximum(), 85);
    QCOMPARE(waitDialog->progressBar->value(), 11); // the first frame leaves at once
    QVERIFY(!control<QPushButton>(setupWindow, "readParametersButton")->isEnabled());
    QVERIFY(!control<QRadioButton>(setupWindow, "activeModeButton")->isEnabled());
    QVERIFY(!control<QRadioButton>(setupWindow, "defaultBank2Button")->isEnabled());
    QVERIFY(!control<QPushButton>(setupWindow, "closeButton")->isEnabled());
    f->sim.clock.advance(8000);
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(control<QPushButton>(setupWindow, "readParametersButton")->isEnabled());
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isEnabled());
    QVERIFY(control<QPushButton>(setupWindow, "closeButton")->isEnabled());
}

void ParameterWriteTest::writeKeepsHundredMillisecondsAfterAStall()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    fillValidScreen();
    f->port->clearSent();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(450);
    // Some handler holds the window thread for 60 ms just before the next tick.
    f->sim.clock.pause(60);
    f->sim.clock.advance(20000);

    QCOMPARE(f->port->sent.size(), 85);
    for (int i = 1; i < 85; ++i)
        QVERIFY2(f->port->sent[i].at - f->port->sent[i - 1].at >= 100, qPrintable(QString::number(i)));
    QCOMPARE(f->port->sent[5].at - f->port->sent[4].at, 110); // late by the stall, never early after it
    QCOMPARE(f->port->sent[6].at - f->port->sent[5].at, 100);
}

void ParameterWriteTest::writeHoldsTheLinkAgainstEveryOtherSender()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    fillValidScreen();
    setupWindow->board()->link()->sendRead(6); // the default bank, answered during the write
    f->port->clearSent();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(250);
    // The user closes the window and chooses "Go" again; a reply selects another
    // default bank; the program selects TX and starts a read sweep.
    setupWindow->close();
    setupWindow->show();
    f->port->feed(hexBytes("32 06 02"));
    control<QRadioButton>(setupWindow, "txModeButton")->setChecked(true);
    setupWindow->parameters()->readParameters();
    setupWindow->parameters()->writeParameters(); // a second write is refused
    QCOMPARE(f->dialogs.messages.last(), QString("Write Parameters is running. Wait until it has finished."));
    f->sim.clock.advance(9000);

    const QList<QByteArray> frames = f->sentFrames();
    QVERIFY(frames.size() >= 85);
    for (int i = 0; i < 85; ++i)
        QCOMPARE(frames[i].left(2), QByteArray("#1"));
    QVERIFY(!frames.mid(0, 85).contains(hexBytes("23 31 02 03 00 00 0A"))); // no TX in between
    QVERIFY(!frames.mid(0, 85).contains(hexBytes("23 32 00 00 00 00 0A"))); // no read in between
    // After the write the reply is routed; no connection check was queued behind it.
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank2Button")->isChecked());
}

void ParameterWriteTest::writeCancelStopsBetweenFramesAndSaysHowFar()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    fillValidScreen();
    f->sim.clock.advance(100);
    f->port->clearSent();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    f->sim.clock.advance(1950); // frames at 0, 100, ... 1900 ms
    waitDialog->cancelButton->click();
    f->sim.clock.settle(); // the end's message comes once the click's handler has returned
    QCOMPARE(f->dialogs.questions, QStringList{"Stop Write Parameters?"});
    QCOMPARE(f->dialogs.messages,
             QStringList{"Write Parameters was stopped after 20 of 85 values: the board now holds the new "
                         "values up to there and its former values after."});
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 20);
    QVERIFY(!setupWindow->board()->writing());
    QVERIFY(!waitDialog->isVisible());
}

TAVRIN_TEST_MAIN(ParameterWriteTest)
#include "tst_parameter_write.moc"
