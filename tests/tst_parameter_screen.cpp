// The parameter screen in the set-up window: decoded replies on screen, the
// checked and paced "Write Parameters", row selection, sliders and flicker.
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "comm/Hidden.h"
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
    return SerialForm1->edit(QString::fromLatin1(name));
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
        SerialForm1->Link->setExpectingReply(true);
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
    QTest::newRow("unset red shows its substitute") << QList{reply(28, 255)} << "Edit9"
                                                    << "25";
    QTest::newRow("unset white shows 255") << QList{reply(45, 255)} << "Edit48"
                                           << "255";
    QTest::newRow("sensitivity pair") << QList{reply(24, 0x12), reply(25, 0x34)} << "Edit2"
                                      << "4660";
    QTest::newRow("signed calibration") << QList{reply(8, 0xFF), reply(9, 0xFF)} << "Edit43"
                                        << "-1";
    QTest::newRow("unset bank 2 flicker shows 0") << QList{reply(198, 255)} << "RFBK2"
                                                  << "0";
    QTest::newRow("unset bank 1 flicker ends clamped") << QList{reply(174, 255)} << "RFBK1"
                                                       << "100";
    QTest::newRow("release") << QList{reply(1, 7)} << "Label1"
                             << "7.0";
    QTest::newRow("old serial") << QList{reply(12, 0x01), reply(13, 0x2C)} << "SN_OLD"
                                << "300";
    QTest::newRow("only the first reply of a block") << QList{reply(30, 9) + reply(31, 8)} << "Edit51"
                                                     << "";
}

void ParameterScreenTest::repliesFillTheScreen()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, control);
    QFETCH(QString, text);
    for (const QByteArray& r : replies)
        feed(r);
    QLineEdit* e = SerialForm1->edit(control);
    const QString shown = e ? e->text() : SerialForm1->findChild<QLabel*>(control)->text();
    QCOMPARE(shown, text);
    QVERIFY(f->dialogs.errors.isEmpty());
}

void ParameterScreenTest::statusReplySelectsSetUpAndSendsOnlyWhenItChanges()
{
    feed(reply(2, 2));
    QVERIFY(SerialForm1->RadioButton10->isChecked());
    QVERIFY(f->port->sent.isEmpty());
    feed(reply(2, 4));
    QVERIFY(SerialForm1->RadioButton9->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
    QVERIFY(SerialForm1->SpeedButton5->isEnabled());
    feed(reply(2, 4));
    QCOMPARE(f->port->sent.size(), 1);
}

void ParameterScreenTest::bankReplySelectsAndWritesTheDefaultBank()
{
    feed(reply(6, 2));
    QVERIFY(SerialForm1->Def2->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 06 02 00 00 0A")});
    feed(reply(6, 255));
    QVERIFY(SerialForm1->Def1->isChecked());
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 06 01 00 00 0A"));
}

void ParameterScreenTest::serialNumberBytesFillTheHeader()
{
    const int bytes[] = {0x00, 0x00, 0x05, 0xF3, 0x00, 0x00, 0x01, 0x2C};
    for (int i = 0; i < 8; ++i)
        feed(reply(100 + i, bytes[i]));
    QCOMPARE(SerialForm1->Label14->text(), QString("1523"));
    QCOMPARE(SerialForm1->Label43->text(), QString("300"));
    QCOMPARE(SerialForm1->Label21->text(), QString("1523-0300"));
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
    QTest::newRow("nothing read yet") << QList<QByteArray>{} << "Label21"
                                      << "Serial number";
    QTest::newRow("serial number header") << serial << "Label21"
                                          << "Serial number: 1523-0300";
    QTest::newRow("lot") << serial << "Label14"
                         << "Serial number, lot: 1523";
    QTest::newRow("running serial") << serial << "Label43"
                                    << "Serial number, running serial: 300";
    QTest::newRow("release") << QList{reply(1, 7)} << "Label1"
                             << "Firmware release: 7.0";
    QTest::newRow("old serial") << QList{reply(12, 0x01), reply(13, 0x2C)} << "SN_OLD"
                                << "Old-format serial number: 300";
}

void ParameterScreenTest::valueLabelsSpeakCaptionAndValue()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, label);
    QFETCH(QString, spoken);
    for (const QByteArray& r : replies)
        feed(r);
    auto* shown = SerialForm1->findChild<QLabel*>(label);
    QCOMPARE(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name), spoken);
}

void ParameterScreenTest::endReplyShowsValueThenMessage()
{
    feed("2End");
    QCOMPARE(editNamed("Edit19")->text(), QString("110"));
    QCOMPARE(f->dialogs.messages, QStringList{"r"});
}

void ParameterScreenTest::fillValidScreen()
{
    for (QLineEdit* e : SerialForm1->findChildren<QLineEdit*>())
        if (e->isEnabled() || !e->property("permanentlyDisabled").toBool())
            e->setText("1");
    // Chosen rather than read, like every value above: a value neither read nor
    // chosen is never written.
    SerialForm1->highcheck->setChecked(true);
}

void ParameterScreenTest::writeSendsAllBanksInOrderHundredMillisecondsApart()
{
    SerialForm1->RadioButton9->click();
    fillValidScreen();
    editNamed("Edit2")->setText("4660");
    SerialForm1->highcheck->setChecked(true);
    f->sim.clock.advance(100); // the board has taken SetUp
    f->port->clearSent();
    const qint64 start = f->sim.clock.now();
    SerialForm1->SpeedButton5->click();
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
    QVERIFY(!SerialForm1->WritingParameters());
    QVERIFY(SerialForm1->SpeedButton5->isEnabled());
}

void ParameterScreenTest::writeRefusesBadFieldsAndSendsNothing_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("colour of 300") << "Edit33"
                                   << "300"
                                   << "Bank 2 Clash green must be between 0 and 255 (it is 300).";
    QTest::newRow("empty field") << "Edit33"
                                 << ""
                                 << "'' is not a valid integer value";
    QTest::newRow("not a number") << "Edit2"
                                  << "12a"
                                  << "'12a' is not a valid integer value";
    QTest::newRow("flicker of 101") << "WFBK3"
                                    << "101"
                                    << "";
    QTest::newRow("sensitivity of 70000") << "Edit77"
                                          << "70000"
                                          << "";
}

void ParameterScreenTest::writeRefusesBadFieldsAndSendsNothing()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    SerialForm1->RadioButton9->click();
    SerialForm1->show();
    SerialForm1->Check->stop(); // no connection check in this test
    fillValidScreen();
    QLineEdit* bad = SerialForm1->edit(edit);
    {
        // The flicker edits clamp as they change; block that to put a bad value in.
        QSignalBlocker quiet(bad);
        bad->setText(text);
    }
    f->port->clearSent();
    SerialForm1->SpeedButton5->click();
    f->sim.clock.advance(20000);
    QVERIFY(f->port->sent.isEmpty());
    QCOMPARE(f->dialogs.errors.size(), 1);
    if (!message.isEmpty())
        QCOMPARE(f->dialogs.errors[0], message);
    QVERIFY(f->dialogs.errors[0].contains(text));
    QVERIFY(SerialForm1->focusWidget());
    QCOMPARE(SerialForm1->focusWidget()->objectName(), edit);
}

void ParameterScreenTest::writeLocksSendingControlsAndShowsProgress()
{
    SerialForm1->RadioButton9->click();
    fillValidScreen();
    SerialForm1->SpeedButton5->click();
    f->sim.clock.advance(1000);
    QVERIFY(waitform->isVisible());
    QCOMPARE(waitform->ProgressBar1->maximum(), 85);
    QCOMPARE(waitform->ProgressBar1->value(), 11); // the first frame leaves at once
    QVERIFY(!SerialForm1->SpeedButton4->isEnabled());
    QVERIFY(!SerialForm1->RadioButton10->isEnabled());
    QVERIFY(!SerialForm1->Def2->isEnabled());
    QVERIFY(!SerialForm1->CloseButton->isEnabled());
    f->sim.clock.advance(8000);
    QVERIFY(!waitform->isVisible());
    QVERIFY(SerialForm1->SpeedButton4->isEnabled());
    QVERIFY(SerialForm1->RadioButton10->isEnabled());
    QVERIFY(SerialForm1->CloseButton->isEnabled());
}

void ParameterScreenTest::writeKeepsHundredMillisecondsAfterAStall()
{
    SerialForm1->RadioButton9->click();
    fillValidScreen();
    f->port->clearSent();
    SerialForm1->SpeedButton5->click();
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
    SerialForm1->RadioButton9->click();
    fillValidScreen();
    f->port->clearSent();
    SerialForm1->SpeedButton5->click();
    f->sim.clock.advance(250);
    // The user closes the window and chooses "Go" again; a reply selects another
    // default bank; the program selects TX and starts a read sweep.
    SerialForm1->close();
    SerialForm1->show();
    f->port->feed(hexBytes("32 06 02"));
    SerialForm1->RadioButton13->setChecked(true);
    SerialForm1->ReadBtnClick();
    SerialForm1->SpeedButton5Click(); // a second write is refused
    QCOMPARE(f->dialogs.messages.last(), QString("Write Parameters is running. Wait until it has finished."));
    f->sim.clock.advance(9000);

    const QList<QByteArray> frames = f->sentFrames();
    QVERIFY(frames.size() >= 85);
    for (int i = 0; i < 85; ++i)
        QCOMPARE(frames[i].left(2), QByteArray("#1"));
    QVERIFY(!frames.mid(0, 85).contains(hexBytes("23 31 02 03 00 00 0A"))); // no TX in between
    QVERIFY(!frames.mid(0, 85).contains(hexBytes("23 32 00 00 00 00 0A"))); // no read in between
    // After the write the reply is routed; no connection check was queued behind it.
    QVERIFY(SerialForm1->Def2->isChecked());
}

void ParameterScreenTest::writeCancelStopsBetweenFramesAndSaysHowFar()
{
    SerialForm1->RadioButton9->click();
    fillValidScreen();
    f->sim.clock.advance(100);
    f->port->clearSent();
    SerialForm1->SpeedButton5->click();
    f->sim.clock.advance(1950); // frames at 0, 100, ... 1900 ms
    waitform->Button2->click();
    f->sim.clock.settle(); // the end's message comes once the click's handler has returned
    QCOMPARE(f->dialogs.questions, QStringList{"Stop Write Parameters?"});
    QCOMPARE(f->dialogs.messages,
             QStringList{"Write Parameters was stopped after 20 of 85 values: the board now holds the new "
                         "values up to there and its former values after."});
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 20);
    QVERIFY(!SerialForm1->WritingParameters());
    QVERIFY(!waitform->isVisible());
}

void ParameterScreenTest::rowCaptionSelectsRowForSliders()
{
    SerialForm1->RadioButton9->click();
    auto* label17 = SerialForm1->findChild<QLabel*>("Label17");
    QTest::mouseClick(label17, Qt::LeftButton);
    QCOMPARE(SerialForm1->Leds->text(), QString("LEDs Bar Brigthness active on BANK2 Clash"));
    SerialForm1->TrackBar4->setValue(54);
    QCOMPARE(editNamed("Edit35")->text(), QString("200"));
    SerialForm1->TrackBar1->setValue(254);
    QCOMPARE(editNamed("Edit32")->text(), QString("0"));
    SerialForm1->TrackBar1->setValue(0);
    QCOMPARE(editNamed("Edit32")->text(), QString("254"));
    QVERIFY(!label17->styleSheet().isEmpty());
    QVERIFY(SerialForm1->findChild<QLabel*>("Label51")->styleSheet().isEmpty());
}

void ParameterScreenTest::slidersBeforeAnyRowChangeNothing()
{
    SerialForm1->RadioButton9->click();
    SerialForm1->TrackBar2->setValue(100);
    for (QLineEdit* e : SerialForm1->findChildren<QLineEdit*>())
        if (!SerialForm1->GroupBox13->isAncestorOf(e)) // the sound skip counts start at "0"
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
    QCOMPARE(SerialForm1->Leds->text(), QString("LED  parameters"));
}

void ParameterScreenTest::flickerEditsClampAboveHundred()
{
    editNamed("GFBK3")->setText("150");
    QCOMPARE(editNamed("GFBK3")->text(), QString("100"));
    editNamed("GFBK3")->setText("-5");
    QCOMPARE(editNamed("GFBK3")->text(), QString("-5"));
    editNamed("GFBK3")->setText("");
    QCOMPARE(f->dialogs.errors, QStringList{"'' is not a valid integer value"});
    QCOMPARE(editNamed("GFBK3")->text(), QString(""));
}

void ParameterScreenTest::setUpModeSwitchesPanelsAndSliders()
{
    QVERIFY(!SerialForm1->RowPanels[0]->isEnabled());
    SerialForm1->RadioButton9->click();
    QCOMPARE(SerialForm1->RowPanels.size(), 12);
    for (QFrame* panel : SerialForm1->RowPanels)
        QVERIFY(panel->isEnabled());
    QVERIFY(SerialForm1->TrackBar3->isEnabled());
    QVERIFY(!SerialForm1->findChild<QLineEdit*>("Edit49")->isEnabled());
    SerialForm1->RadioButton10->click();
    QVERIFY(!SerialForm1->RowPanels[11]->isEnabled());
    QVERIFY(!SerialForm1->TrackBar3->isEnabled());
}

void ParameterScreenTest::everyControlHasAnAccessibleName()
{
    for (QWidget* window : std::initializer_list<QWidget*>{SerialForm1, HiddenForm, waitform}) {
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
    QCOMPARE(editNamed("Edit36")->accessibleName(), QString("Bank 2 Clash sensitivity"));
}

TAVRIN_TEST_MAIN(ParameterScreenTest)
#include "tst_parameter_screen.moc"
