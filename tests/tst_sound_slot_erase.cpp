// Row erase and erase all on simulated time: their frames and spacing, and how
// they stop: cancelled, the port closed, the device lost, the program closed.
#include "Controls.h"
#include "SoundSlotTest.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "sound/SlotMap.h"

#include <QPushButton>

using namespace Sound;
using namespace SlotScript;

class SoundSlotEraseTest : public QObject, private SoundSlotTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void rowEraseFramesAndSpacing_data();
    void rowEraseFramesAndSpacing();
    void eraseAllAsksThenClosesAndErases_data();
    void eraseAllAsksThenClosesAndErases();
    void deviceLossDuringRowEraseStopsIt();
    void cancelStopsARowEraseBetweenSectors();
    void closingTheProgramMidOperationAsksFirst_data();
    void closingTheProgramMidOperationAsksFirst();
    void portClosedUnderAnEraseStopsItWithTheLossMessage();
};

// ---- Erasing -------------------------------------------------------------------

void SoundSlotEraseTest::rowEraseFramesAndSpacing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("sectors"); // the address's high byte, frame by frame
    QTest::newRow("bank 2 Swing") << "bank2SwingEraseButton" << frame("18 18 19 19 1A 1A 1B 1B 1C 1C 1D 1D");
    QTest::newRow("bank 1 Guard: on, off and both hum sectors")
        << "bank1GuardEraseButton" << frame("00 00 01 01 02 02 03 03");
    QTest::newRow("bank 3 Power Clash") << "bank3PowerClashEraseButton" << frame("38 38 39 39 3A 3A 3B 3B");
    QTest::newRow("bank 1 Clash") << "bank1ClashEraseButton" << frame("0A 0A 0B 0B 0C 0C 0D 0D 0E 0E 0F 0F");
}

void SoundSlotEraseTest::rowEraseFramesAndSpacing()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, sectors);
    setupWindow->board()->setSetUpMode(true);
    const qint64 start = f->sim.clock.now();
    setupWindow->findChild<QPushButton*>(button)->click();
    QVERIFY(setupWindow->board()->link()->busy());
    QVERIFY(!control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
    f->sim.clock.advance(1500 * sectors.size() / 2 - 1);
    QVERIFY(setupWindow->board()->link()->busy()); // until 1000 ms after the last frame
    f->sim.clock.advance(1);
    QVERIFY(!setupWindow->board()->link()->busy());
    QVERIFY(control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());

    const QList<ScriptedPort::Sent> sent = f->port->sent;
    QCOMPARE(sent.size(), sectors.size());
    qint64 at = start;
    for (int i = 0; i < sent.size(); ++i) {
        QByteArray expected = frame("23 45 00 00 00 00 0A");
        expected[4] = sectors[i];
        QCOMPARE(sent[i].bytes.toHex(' '), expected.toHex(' '));
        QCOMPARE(sent[i].at - at, i == 0 ? 0 : (i % 2 ? 500 : 1000));
        at = sent[i].at;
    }
    QVERIFY(setupWindow->board()->expectingReply());
    QVERIFY(f->dialogs.questions.isEmpty());
}

void SoundSlotEraseTest::eraseAllAsksThenClosesAndErases_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("No sends nothing") << false << QList<QByteArray>{} << QStringList{};
    // The board erases on its own time: the end tells only that the command went.
    QTest::newRow("Yes: close, then erase all 100 ms later")
        << true << QList<QByteArray>{frame("23 43 00 00 00 00 0A"), frame("23 44 00 00 00 00 0A")}
        << QStringList{
               "Erase All Sounds: the erase command was sent; the board erases its sound memory on its own."};
}

void SoundSlotEraseTest::eraseAllAsksThenClosesAndErases()
{
    QFETCH(bool, yes);
    setupWindow->board()->setSetUpMode(true);
    f->dialogs.answers.enqueue(yes);
    control<QPushButton>(setupWindow, "eraseAllButton")->click();
    QCOMPARE(f->dialogs.questions, QStringList{"Do you want to erase all sound memory ? "});
    f->sim.clock.advance(1000);
    QTEST(f->sentFrames(), "frames");
    if (yes)
        QCOMPARE(f->port->sent[1].at - f->port->sent[0].at, 100);
    QTEST(f->dialogs.messages, "messages");
    QVERIFY(!setupWindow->board()->link()->busy());
}

// ---- Device loss ---------------------------------------------------------------

void SoundSlotEraseTest::deviceLossDuringRowEraseStopsIt()
{
    setupWindow->board()->setSetUpMode(true);
    setupWindow->sounds()->slotControls()->eraseRow(Sound::SoundRow::Swing, 1);
    f->sim.clock.advance(2000); // frames at 0, 500, 1500, 2000
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(
        f->dialogs.messages[0].startsWith("Erase bank 2 Swing sounds stopped after 4 of 12 erase frames: "
                                          "the connection to /dev/ttyACM0 was lost."),
        qPrintable(f->dialogs.messages[0]));
    f->sim.clock.advance(20000);
    QCOMPARE(f->port->sent.size(), 4);
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(runningTimers(), QStringList());
}

void SoundSlotEraseTest::cancelStopsARowEraseBetweenSectors()
{
    setupWindow->board()->setSetUpMode(true);
    setupWindow->findChild<QPushButton*>("bank2SwingEraseButton")->click(); // bank 2 Swing: sectors 0x18 to 0x1D
    f->sim.clock.advance(600); // inside the first sector: its second frame is due at 500 ms
    waitDialog->cancelButton->click();
    QCOMPARE(f->dialogs.questions.last(), QString("Stop \"Erase bank 2 Swing sounds\" after the sector being erased?"));
    QVERIFY(setupWindow->board()->link()->busy()); // the sector being erased gets its 1000 ms
    f->sim.clock.advance(1000);
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{frame("23 45 00 00 18 00 0A"), frame("23 45 00 00 18 00 0A")}));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Erase bank 2 Swing sounds was stopped after 1 of 6 sectors; the other sectors of the row "
                         "keep what they held."});
    f->sim.clock.advance(10000);
    QCOMPARE(f->sentFrames().size(), 2);
}

void SoundSlotEraseTest::closingTheProgramMidOperationAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("No: the erase goes on") << false;
    QTest::newRow("Yes: the program ends") << true;
}

void SoundSlotEraseTest::closingTheProgramMidOperationAsksFirst()
{
    QFETCH(bool, answer);
    mainWindow->show();
    setupWindow->board()->setSetUpMode(true);
    setupWindow->findChild<QPushButton*>("bank1GuardEraseButton")->click(); // bank 1 Guard, 8 frames
    f->sim.clock.advance(1000); // the first sector's two frames, 500 ms apart
    f->dialogs.answers.enqueue(answer);
    mainWindow->close();
    QCOMPARE(f->dialogs.questions.last(),
             QString("Erase bank 1 Guard sounds is running (2 of 8 erase frames done). Closing now leaves the rest "
                     "undone. Close anyway?"));
    QCOMPARE(mainWindow->isVisible(), !answer);
    if (!answer) {
        f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, 20000);
        QCOMPARE(f->sentFrames().size(), 8);
    }
}

void SoundSlotEraseTest::portClosedUnderAnEraseStopsItWithTheLossMessage()
{
    setupWindow->board()->setSetUpMode(true);
    setupWindow->sounds()->slotControls()->eraseRow(Sound::SoundRow::Swing, 1);
    f->sim.clock.advance(600); // frames at 0 and 500
    f->port->Close();          // whatever closed it, the next frame has nowhere to go
    f->sim.clock.advance(20000);
    QCOMPARE(f->port->sent.size(), 2);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Erase bank 2 Swing sounds stopped after 2 of 12 erase frames: the connection to "
                         "/dev/ttyACM0 was lost.\nPlug it in again, choose the port and press \"Open \"."});
    QVERIFY(!setupWindow->board()->link()->busy());
}

TAVRIN_TEST_MAIN(SoundSlotEraseTest)
#include "tst_sound_slot_erase.moc"
