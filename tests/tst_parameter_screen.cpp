// The parameter screen in the set-up window: decoded replies on screen, the
// checked and paced "Write Parameters", row selection, sliders and flicker.
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Globals.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>

namespace {
QByteArray reply(int address, int value)
{
    return QByteArray("2") + static_cast<char>(address) + static_cast<char>(value);
}

QLineEdit* editNamed(const char* name)
{
    return setupWindow->parameters()->edit(QString::fromLatin1(name));
}

const QList<int> BANK1_ORDER = {28, 29, 30, 31, 32, 33, 39, 40, 41, 42,  43,  44,  45,  46, 34,
                                47, 35, 36, 24, 25, 26, 27, 37, 38, 174, 175, 176, 177, 178};
const QList<int> BANK2_ORDER = {52, 53, 54, 55, 56, 57, 63, 64, 65, 66, 67,  68,  69,  70,
                                58, 71, 59, 60, 48, 49, 50, 51, 61, 62, 198, 199, 200, 201};
const QList<int> BANK3_ORDER = {76, 77, 78, 79, 80, 81, 87, 88, 89, 90, 91,  92,  93,  94,
                                82, 95, 83, 84, 72, 73, 74, 75, 85, 86, 222, 223, 224, 225};
} // namespace

class ParameterScreenTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void repliesFillTheScreen_data();
    void repliesFillTheScreen();
    void statusReplySelectsSetUpAndSendsOnlyWhenItChanges();
    void bankReplySelectsAndWritesTheDefaultBank();
    void serialNumberBytesFillTheHeader();
    void valueLabelsSpeakCaptionAndValue_data();
    void valueLabelsSpeakCaptionAndValue();
    void endReplyShowsValueThenMessage();

    void writeSendsAllBanksInOrderHundredMillisecondsApart();
    void writeRefusesBadFieldsAndSendsNothing_data();
    void writeRefusesBadFieldsAndSendsNothing();
    void writeLocksSendingControlsAndShowsProgress();
    void writeKeepsHundredMillisecondsAfterAStall();
    void writeHoldsTheLinkAgainstEveryOtherSender();
    void writeCancelStopsBetweenFramesAndSaysHowFar();

    void rowCaptionSelectsRowForSliders();
    void slidersBeforeAnyRowChangeNothing();
    void flickerEditsClampAboveHundred();
    void setUpModeSwitchesPanelsAndSliders();
    void everyControlHasAnAccessibleName();

private:
    void feed(const QByteArray& block)
    {
        setupWindow->board()->link()->setExpectingReply(true);
        f->port->feed(block);
    }
    void fillValidScreen();
    std::unique_ptr<SetupWindowFixture> f;
};

void ParameterScreenTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
}

void ParameterScreenTest::repliesFillTheScreen_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("unset red shows its substitute") << QList{reply(28, 255)} << "bank1GuardRed"
                                                    << "25";
    QTest::newRow("unset white shows 255") << QList{reply(45, 255)} << "bank1GuardWhite"
                                           << "255";
    QTest::newRow("sensitivity pair") << QList{reply(24, 0x12), reply(25, 0x34)} << "bank1SwingSensitivity"
                                      << "4660";
    QTest::newRow("signed calibration") << QList{reply(8, 0xFF), reply(9, 0xFF)} << "verticalCalibration"
                                        << "-1";
    QTest::newRow("unset bank 2 flicker shows 0") << QList{reply(198, 255)} << "bank2FlickerRed"
                                                  << "0";
    QTest::newRow("unset bank 1 flicker ends clamped") << QList{reply(174, 255)} << "bank1FlickerRed"
                                                       << "100";
    QTest::newRow("release") << QList{reply(1, 7)} << "releaseNumber"
                             << "7.0";
    QTest::newRow("old serial") << QList{reply(12, 0x01), reply(13, 0x2C)} << "oldSerialNumber"
                                << "300";
    QTest::newRow("only the first reply of a block") << QList{reply(30, 9) + reply(31, 8)} << "bank1SwingRed"
                                                     << "";
}

void ParameterScreenTest::repliesFillTheScreen()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, control);
    QFETCH(QString, text);
    for (const QByteArray& r : replies)
        feed(r);
    QLineEdit* e = setupWindow->parameters()->edit(control);
    const QString shown = e ? e->text() : setupWindow->findChild<QLabel*>(control)->text();
    QCOMPARE(shown, text);
    QVERIFY(f->dialogs.errors.isEmpty());
}

void ParameterScreenTest::statusReplySelectsSetUpAndSendsOnlyWhenItChanges()
{
    feed(reply(2, 2));
    QVERIFY(setupWindow->ports()->activeModeButton->isChecked());
    QVERIFY(f->port->sent.isEmpty());
    feed(reply(2, 4));
    QVERIFY(setupWindow->ports()->setUpModeButton->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
    QVERIFY(setupWindow->parameters()->writeParametersButton->isEnabled());
    feed(reply(2, 4));
    QCOMPARE(f->port->sent.size(), 1);
}

void ParameterScreenTest::bankReplySelectsAndWritesTheDefaultBank()
{
    feed(reply(6, 2));
    QVERIFY(setupWindow->parameters()->defaultBank2Button->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 06 02 00 00 0A")});
    feed(reply(6, 255));
    QVERIFY(setupWindow->parameters()->defaultBank1Button->isChecked());
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 06 01 00 00 0A"));
}

void ParameterScreenTest::serialNumberBytesFillTheHeader()
{
    const int bytes[] = {0x00, 0x00, 0x05, 0xF3, 0x00, 0x00, 0x01, 0x2C};
    for (int i = 0; i < 8; ++i)
        feed(reply(100 + i, bytes[i]));
    QCOMPARE(setupWindow->header()->serialLot->text(), QString("1523"));
    QCOMPARE(setupWindow->header()->serialRunningNumber->text(), QString("300"));
    QCOMPARE(setupWindow->header()->serialNumber->text(), QString("1523-0300"));
}

void ParameterScreenTest::valueLabelsSpeakCaptionAndValue_data()
{
    QList<QByteArray> serial;
    const int bytes[] = {0x00, 0x00, 0x05, 0xF3, 0x00, 0x00, 0x01, 0x2C};
    for (int i = 0; i < 8; ++i)
        serial << reply(100 + i, bytes[i]);
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("nothing read yet") << QList<QByteArray>{} << "serialNumber"
                                      << "Serial number";
    QTest::newRow("serial number header") << serial << "serialNumber"
                                          << "Serial number: 1523-0300";
    QTest::newRow("lot") << serial << "serialLot"
                         << "Serial number, lot: 1523";
    QTest::newRow("running serial") << serial << "serialRunningNumber"
                                    << "Serial number, running serial: 300";
    QTest::newRow("release") << QList{reply(1, 7)} << "releaseNumber"
                             << "Firmware release: 7.0";
    QTest::newRow("old serial") << QList{reply(12, 0x01), reply(13, 0x2C)} << "oldSerialNumber"
                                << "Old-format serial number: 300";
}

void ParameterScreenTest::valueLabelsSpeakCaptionAndValue()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, label);
    QFETCH(QString, spoken);
    for (const QByteArray& r : replies)
        feed(r);
    auto* shown = setupWindow->findChild<QLabel*>(label);
    QCOMPARE(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name), spoken);
}

void ParameterScreenTest::endReplyShowsValueThenMessage()
{
    feed("2End");
    QCOMPARE(editNamed("bank2GuardWhite")->text(), QString("110"));
    QCOMPARE(f->dialogs.messages, QStringList{"r"});
}

void ParameterScreenTest::fillValidScreen()
{
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        if (e->isEnabled() || !e->property("permanentlyDisabled").toBool())
            e->setText("1");
    // Chosen rather than read, like every value above: a value neither read nor
    // chosen is never written.
    setupWindow->parameters()->frequencyEvoButton->setChecked(true);
}

void ParameterScreenTest::writeSendsAllBanksInOrderHundredMillisecondsApart()
{
    setupWindow->ports()->setUpModeButton->click();
    fillValidScreen();
    editNamed("bank1SwingSensitivity")->setText("4660");
    setupWindow->parameters()->frequencyEvoButton->setChecked(true);
    f->sim.clock.advance(100); // the board has taken SetUp
    f->port->clearSent();
    const qint64 start = f->sim.clock.now();
    setupWindow->parameters()->writeParametersButton->click();
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
    QVERIFY(setupWindow->parameters()->writeParametersButton->isEnabled());
}

void ParameterScreenTest::writeRefusesBadFieldsAndSendsNothing_data()
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

void ParameterScreenTest::writeRefusesBadFieldsAndSendsNothing()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    setupWindow->ports()->setUpModeButton->click();
    setupWindow->show();
    setupWindow->ports()->connectionCheck->stop(); // no connection check in this test
    fillValidScreen();
    QLineEdit* bad = setupWindow->parameters()->edit(edit);
    {
        // The flicker edits clamp as they change; block that to put a bad value in.
        QSignalBlocker quiet(bad);
        bad->setText(text);
    }
    f->port->clearSent();
    setupWindow->parameters()->writeParametersButton->click();
    f->sim.clock.advance(20000);
    QVERIFY(f->port->sent.isEmpty());
    QCOMPARE(f->dialogs.errors.size(), 1);
    if (!message.isEmpty())
        QCOMPARE(f->dialogs.errors[0], message);
    QVERIFY(f->dialogs.errors[0].contains(text));
    QVERIFY(setupWindow->focusWidget());
    QCOMPARE(setupWindow->focusWidget()->objectName(), edit);
}

void ParameterScreenTest::writeLocksSendingControlsAndShowsProgress()
{
    setupWindow->ports()->setUpModeButton->click();
    fillValidScreen();
    setupWindow->parameters()->writeParametersButton->click();
    f->sim.clock.advance(1000);
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->progressBar->maximum(), 85);
    QCOMPARE(waitDialog->progressBar->value(), 11); // the first frame leaves at once
    QVERIFY(!setupWindow->parameters()->readParametersButton->isEnabled());
    QVERIFY(!setupWindow->ports()->activeModeButton->isEnabled());
    QVERIFY(!setupWindow->parameters()->defaultBank2Button->isEnabled());
    QVERIFY(!setupWindow->ports()->closeButton->isEnabled());
    f->sim.clock.advance(8000);
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(setupWindow->parameters()->readParametersButton->isEnabled());
    QVERIFY(setupWindow->ports()->activeModeButton->isEnabled());
    QVERIFY(setupWindow->ports()->closeButton->isEnabled());
}

void ParameterScreenTest::writeKeepsHundredMillisecondsAfterAStall()
{
    setupWindow->ports()->setUpModeButton->click();
    fillValidScreen();
    f->port->clearSent();
    setupWindow->parameters()->writeParametersButton->click();
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

void ParameterScreenTest::writeHoldsTheLinkAgainstEveryOtherSender()
{
    setupWindow->ports()->setUpModeButton->click();
    fillValidScreen();
    f->port->clearSent();
    setupWindow->parameters()->writeParametersButton->click();
    f->sim.clock.advance(250);
    // The user closes the window and chooses "Go" again; a reply selects another
    // default bank; the program selects TX and starts a read sweep.
    setupWindow->close();
    setupWindow->show();
    f->port->feed(hexBytes("32 06 02"));
    setupWindow->ports()->txModeButton->setChecked(true);
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
    QVERIFY(setupWindow->parameters()->defaultBank2Button->isChecked());
}

void ParameterScreenTest::writeCancelStopsBetweenFramesAndSaysHowFar()
{
    setupWindow->ports()->setUpModeButton->click();
    fillValidScreen();
    f->sim.clock.advance(100);
    f->port->clearSent();
    setupWindow->parameters()->writeParametersButton->click();
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

void ParameterScreenTest::rowCaptionSelectsRowForSliders()
{
    setupWindow->ports()->setUpModeButton->click();
    auto* bank2ClashCaption = setupWindow->findChild<QLabel*>("bank2ClashCaption");
    QTest::mouseClick(bank2ClashCaption, Qt::LeftButton);
    QCOMPARE(setupWindow->parameters()->ledRowHeading->text(), QString("LEDs Bar Brigthness active on BANK2 Clash"));
    setupWindow->parameters()->whiteBrightness->setValue(54);
    QCOMPARE(editNamed("bank2ClashWhite")->text(), QString("200"));
    setupWindow->parameters()->redBrightness->setValue(254);
    QCOMPARE(editNamed("bank2ClashRed")->text(), QString("0"));
    setupWindow->parameters()->redBrightness->setValue(0);
    QCOMPARE(editNamed("bank2ClashRed")->text(), QString("254"));
    QVERIFY(!bank2ClashCaption->styleSheet().isEmpty());
    QVERIFY(setupWindow->findChild<QLabel*>("bank1GuardCaption")->styleSheet().isEmpty());
}

void ParameterScreenTest::slidersBeforeAnyRowChangeNothing()
{
    setupWindow->ports()->setUpModeButton->click();
    setupWindow->parameters()->greenBrightness->setValue(100);
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        if (!setupWindow->sounds()->fileInfo()->isAncestorOf(e)) // the sound skip counts start at "0"
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
    QCOMPARE(setupWindow->parameters()->ledRowHeading->text(), QString("LED  parameters"));
}

void ParameterScreenTest::flickerEditsClampAboveHundred()
{
    editNamed("bank3FlickerGreen")->setText("150");
    QCOMPARE(editNamed("bank3FlickerGreen")->text(), QString("100"));
    editNamed("bank3FlickerGreen")->setText("-5");
    QCOMPARE(editNamed("bank3FlickerGreen")->text(), QString("-5"));
    editNamed("bank3FlickerGreen")->setText("");
    QCOMPARE(f->dialogs.errors, QStringList{"'' is not a valid integer value"});
    QCOMPARE(editNamed("bank3FlickerGreen")->text(), QString(""));
}

void ParameterScreenTest::setUpModeSwitchesPanelsAndSliders()
{
    QVERIFY(!setupWindow->parameters()->rowPanels[0]->isEnabled());
    setupWindow->ports()->setUpModeButton->click();
    QCOMPARE(setupWindow->parameters()->rowPanels.size(), 12);
    for (QFrame* panel : setupWindow->parameters()->rowPanels)
        QVERIFY(panel->isEnabled());
    QVERIFY(setupWindow->parameters()->blueBrightness->isEnabled());
    QVERIFY(!setupWindow->findChild<QLineEdit*>("bank1GuardSensitivityUnused")->isEnabled());
    setupWindow->ports()->activeModeButton->click();
    QVERIFY(!setupWindow->parameters()->rowPanels[11]->isEnabled());
    QVERIFY(!setupWindow->parameters()->blueBrightness->isEnabled());
}

void ParameterScreenTest::everyControlHasAnAccessibleName()
{
    for (QWidget* window : std::initializer_list<QWidget*>{setupWindow, trafficMonitor, waitDialog}) {
        QList<QWidget*> controls;
        for (QLineEdit* w : window->findChildren<QLineEdit*>())
            if (!qobject_cast<QComboBox*>(w->parentWidget()))
                controls.append(w);
        for (QAbstractButton* w : window->findChildren<QAbstractButton*>())
            if (!qobject_cast<QTableWidget*>(w->parentWidget())) // a grid's own corner button
                controls.append(w);
        for (QSlider* w : window->findChildren<QSlider*>())
            controls.append(w);
        for (QComboBox* w : window->findChildren<QComboBox*>())
            controls.append(w);
        for (QWidget* w : controls)
            QVERIFY2(!w->accessibleName().isEmpty(),
                     qPrintable(window->objectName() + "/" + w->objectName()));
    }
    QCOMPARE(editNamed("bank2ClashSensitivity")->accessibleName(), QString("Bank 2 Clash sensitivity"));
}

TAVRIN_TEST_MAIN(ParameterScreenTest)
#include "tst_parameter_screen.moc"
