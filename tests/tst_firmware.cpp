// The firmware window and the hand-over from the set-up window, on simulated
// time with a scripted port standing in for the board's loader: the window's
// buttons and file checks, and the way from the set-up window to it.
#include "Controls.h"
#include "FirmwareWindowTest.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "comm/ui/PortPanel.h"
#include "common/Globals.h"
#include "firmware/HandOver.h"
#include "firmware/ui/FirmwareWindow.h"
#include "params/ui/HeaderPanel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

using namespace FirmwareScript;

namespace {
const QString ERASE_TIMEOUT =
    "Comunication error.....  Timeout.\nThe loader did not confirm the erase within "
    "4 s. Check that the board's switches are on the loader and its led is blue, then "
    "press \"Erase\" again.";
const QString ERASE_QUESTION =
    "Erase the board's application? The board does nothing until a new one is programmed.";
const QString BLUE_LED = "Check the led must be blue.  If yes, press program button";
const QString LOADER_DIPS = "Please put the dipswitch in position for bootloader procedure and then press OK";
const QString FW_QUESTION = "Do you want to load updated firmware ?";
} // namespace

class FirmwareTest : public QObject, private FirmwareWindowTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void eraseAsksThenWaitsForTheLoadersC();
    void eraseAnsweredNoSendsNothing();
    void unansweredEraseSaysWhatToDo();
    void fileChangedSinceChosenIsRefusedAtErase();
    void buttonStatesFollowTheRun();
    void fileSummaryAndProgressShowWordsAndTime();
    void damagedFileNeverReachesErase_data();
    void damagedFileNeverReachesErase();
    void fileChooserStartsAtHomeThenAtTheLastFolder();
    void fwIsOnlyOfferedInSetUpMode();
    void fwAnsweredNoDoesNothing();
    void fwHandOverClosesAsksReopensAndShowsTheWindow();
    void fwHandOverStopsWhenThePortDoesNotReopen();
};

// ---- Window -------------------------------------------------------------------

void FirmwareTest::eraseAsksThenWaitsForTheLoadersC()
{
    chooseFile(writeHex(THREE_RECORDS));
    f->port->clearSent();
    firmwareWindow->eraseButton->click();
    QCOMPARE(f->dialogs.questions, QStringList{ERASE_QUESTION});
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 43 00 00 0A")});
    QVERIFY(setupWindow->board()->expectingReply());
    QCOMPARE(READY, 0);
    f->sim.clock.advance(3000);
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(f->dialogs.messages.isEmpty());
    f->port->feed("C");
    tick();
    QCOMPARE(f->dialogs.messages, QStringList{BLUE_LED});
    QVERIFY(firmwareWindow->programButton->isEnabled());
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(f->sentFrames().size(), 1);
}

void FirmwareTest::eraseAnsweredNoSendsNothing()
{
    chooseFile(writeHex(THREE_RECORDS));
    f->port->clearSent();
    f->dialogs.answers.enqueue(false);
    firmwareWindow->eraseButton->click();
    QCOMPARE(f->dialogs.questions, QStringList{ERASE_QUESTION});
    f->sim.clock.advance(5000);
    QVERIFY(f->sentFrames().isEmpty());
    QVERIFY(f->dialogs.messages.isEmpty());
    QVERIFY(firmwareWindow->eraseButton->isEnabled());
    QVERIFY(!firmwareWindow->programButton->isEnabled());
}

void FirmwareTest::unansweredEraseSaysWhatToDo()
{
    chooseFile(writeHex(THREE_RECORDS));
    firmwareWindow->eraseButton->click();
    f->sim.clock.advance(199 * TICK);
    QVERIFY(f->dialogs.messages.isEmpty());
    tick(); // 4 s without the "C"
    QCOMPARE(f->dialogs.messages, QStringList{ERASE_TIMEOUT});
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(firmwareWindow->eraseButton->isEnabled());
    QVERIFY(!setupWindow->board()->link()->busy());
    f->port->feed("C"); // too late
    f->sim.clock.advance(1000);
    QVERIFY(!firmwareWindow->programButton->isEnabled());
}

void FirmwareTest::fileChangedSinceChosenIsRefusedAtErase()
{
    const QString path = writeHex(THREE_RECORDS);
    chooseFile(path);
    writeHex(":0400000001020304F2\n:03000400010203F3\n:00000001FF\n");
    f->port->clearSent();
    f->dialogs.clear();
    firmwareWindow->eraseButton->click();
    QCOMPARE(f->dialogs.messages,
             QStringList{path +
                         " cannot be sent to the board, line 2: odd byte count 3: the last byte would be "
                         "dropped and every later word moved by one byte."});
    QVERIFY(f->dialogs.questions.isEmpty());
    QVERIFY(f->sentFrames().isEmpty());
    QVERIFY(!firmwareWindow->eraseButton->isEnabled());
    QVERIFY(firmwareWindow->fileSummary->text().isEmpty());
}

void FirmwareTest::buttonStatesFollowTheRun()
{
    auto states = [] {
        return QString("%1%2%3")
            .arg(firmwareWindow->fileButton->isEnabled())
            .arg(firmwareWindow->eraseButton->isEnabled())
            .arg(firmwareWindow->programButton->isEnabled());
    };
    QCOMPARE(states(), QString("100"));
    QCOMPARE(firmwareWindow->startTime->text(), QString("........."));
    chooseFile(writeHex(THREE_RECORDS));
    QCOMPARE(states(), QString("110"));
    QCOMPARE(firmwareWindow->startTime->text(), QString("...."));
    QCOMPARE(firmwareWindow->endTime->text(), QString("...."));
    firmwareWindow->eraseButton->click();
    QCOMPARE(states(), QString("000")); // waiting for the loader
    f->port->feed("C");
    tick();
    QCOMPARE(states(), QString("111"));
    f->dialogs.clear();
    firmwareWindow->programButton->click();
    QCOMPARE(states(), QString("000"));
    runAcknowledging(4);
    QCOMPARE(states(), QString("000"));
    runAcknowledging(3); // the end, port closed, the dip-switch message
    QCOMPARE(f->dialogs.messages, (QStringList{DONE_FOUR_WORDS, ACTIVE_DIPS}));
    QCOMPARE(states(), QString("100"));
}

void FirmwareTest::fileSummaryAndProgressShowWordsAndTime()
{
    chooseFile(writeHex(THREE_RECORDS));
    QCOMPARE(firmwareWindow->fileSummary->text(),
             QString("0x0000-0x0007, 8 bytes, 4 words\n4 lines, programming takes about 1 s"));
    QVERIFY(f->sentFrames().isEmpty());
    erase();
    firmwareWindow->programButton->click();
    QCOMPARE(firmwareWindow->runProgress->text(), QString("0 of 4 words written, about 1 s left"));
    runAcknowledging(1);
    QCOMPARE(firmwareWindow->runProgress->text(), QString("2 of 4 words written, about 1 s left"));
    runAcknowledging(3);
    QCOMPARE(firmwareWindow->runProgress->text(), QString("4 of 4 words written, about 0 s left"));
}

void FirmwareTest::damagedFileNeverReachesErase_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("fault");
    QTest::newRow("wrong checksum on line 2")
        << QByteArray(":0400000001020304F2\n:0400000001020304F3\n:00000001FF\n")
        << "line 2: checksum 0xF3, computed 0xF2";
    QTest::newRow("no end-of-file record")
        << QByteArray(":0400000001020304F2\n") << "line 2: the file ends without an end-of-file record";
    QTest::newRow("line without colon")
        << QByteArray(":0400000001020304F2\n0400000001020304F2\n:00000001FF\n")
        << "line 2: no start code ':'";
}

void FirmwareTest::damagedFileNeverReachesErase()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, fault);
    const QString path = writeHex(content);
    chooseFile(path);
    QCOMPARE(f->dialogs.messages, QStringList{path + " cannot be sent to the board, " + fault + "."});
    QVERIFY(!firmwareWindow->eraseButton->isEnabled());
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(f->sentFrames().isEmpty());
}

void FirmwareTest::fileChooserStartsAtHomeThenAtTheLastFolder()
{
    const QString path = writeHex(THREE_RECORDS);
    chooseFile(path);
    chooseFile(path);
    QCOMPARE(f->dialogs.fileFolders, (QStringList{QDir::homePath(), f->folder.path()}));
    QVERIFY(f->dialogs.fileFilter.contains("*.hex"));
}

// ---- Hand-over ----------------------------------------------------------------

void FirmwareTest::fwIsOnlyOfferedInSetUpMode()
{
    QVERIFY(!control<QPushButton>(setupWindow, "firmwareButton")->isEnabled());
    QCOMPARE(control<QPushButton>(setupWindow, "firmwareButton")->toolTip(), QString("Upload new firmware"));
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(control<QPushButton>(setupWindow, "firmwareButton")->isEnabled());
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QVERIFY(!control<QPushButton>(setupWindow, "firmwareButton")->isEnabled());
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    control<QRadioButton>(setupWindow, "activeModeButton")->click();
    QVERIFY(!control<QPushButton>(setupWindow, "firmwareButton")->isEnabled());
}

void FirmwareTest::fwAnsweredNoDoesNothing()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    f->port->clearSent();
    f->dialogs.answers.enqueue(false);
    control<QPushButton>(setupWindow, "firmwareButton")->click();
    QCOMPARE(f->dialogs.questions, QStringList{FW_QUESTION});
    f->sim.clock.advance(2000);
    QVERIFY(f->sentFrames().isEmpty());
    QVERIFY(f->port->IsOpen());
    QVERIFY(!firmwareWindow->isVisible());
}

void FirmwareTest::fwHandOverClosesAsksReopensAndShowsTheWindow()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    f->port->clearSent();
    const int opened = f->port->openCount;
    control<QPushButton>(setupWindow, "firmwareButton")->click();
    QCOMPARE(f->dialogs.questions, QStringList{FW_QUESTION});
    // Closed, asked, opened, window shown, timer running; one column each.
    QStringList seen;
    for (int t = 0; t < 5; ++t) {
        f->sim.clock.advance(200);
        seen << QString("%1%2%3%4%5")
                    .arg(f->port->closeCount)
                    .arg(f->dialogs.messages.size())
                    .arg(f->port->openCount - opened)
                    .arg(firmwareWindow->isVisible())
                    .arg(setupWindow->header()->handOver().timer()->Enabled());
    }
    QCOMPARE(seen, (QStringList{"10001", "11001", "11101", "11111", "11110"}));
    QCOMPARE(f->dialogs.messages, QStringList{LOADER_DIPS});
    QVERIFY(f->sentFrames().isEmpty());
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isChecked());
}

void FirmwareTest::fwHandOverStopsWhenThePortDoesNotReopen()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    control<QPushButton>(setupWindow, "firmwareButton")->click();
    f->port->failOpenReason = "The device is gone.";
    f->sim.clock.advance(3000);
    QCOMPARE(f->dialogs.errors.size(), 1);
    QVERIFY(!setupWindow->header()->handOver().timer()->Enabled());
    QVERIFY(!firmwareWindow->isVisible());
}

TAVRIN_TEST_MAIN(FirmwareTest)
#include "tst_firmware.moc"
