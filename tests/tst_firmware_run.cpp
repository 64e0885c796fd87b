// The firmware window's programming run, on simulated time with a scripted port
// standing in for the board's loader: the pace of the words, the loader's
// replies, and the ends of a run, good and bad.
#include "Controls.h"
#include "FirmwareWindowTest.h"
#include "HexImage.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/BoardLink.h"
#include "firmware/ui/FirmwareWindow.h"
#include "firmware/LoaderOperations.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace FirmwareScript;

namespace {
const QString NO_APPLICATION =
    "The board has no complete application now. Leave its switches on the loader and "
    "run \"Erase\" and \"Program\" again.";
const QString TIMEOUT_MESSAGE = "Comunication error.....  Timeout.\n" + NO_APPLICATION;
const QByteArray MODE_ACTIVE = hexBytes("23 31 02 01 00 00 0A");
const QByteArray MODE_SETUP = hexBytes("23 31 02 04 00 00 0A");
const QByteArray READ_ADDRESS_0 = hexBytes("23 32 00 00 00 00 0A");
} // namespace

class FirmwareRunTest : public QObject, private FirmwareWindowTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void promptlyAcknowledgedFileWalksTheBoardBack();
    void onlyAnAorCReplyReleasesTheNextLine_data();
    void onlyAnAorCReplyReleasesTheNextLine();
    void badFieldStopsTheRunAfterTheWordsBeforeIt();
    void silentBoardStopsAfterTwoHundredTicks();
    void slowButAnsweringBoardIsNotCutOff();
    void stoppedRunNeedsANewEraseThenStartsAtTheFirstLine();
    void gaugeMaximumIsTheFileSizeOverFifty();
    void blankLinesAfterTheEndFinishNormally();
    void fileThatCannotBeOpenedDoesNotStart();
    void secondRunAlsoUsesTwentyMillisecondTicks();
    void failedReopenStopsWithOneMessage();
    void deviceLostStopsTheRunAndSaysHowFar();
    void deviceLostDuringTheEraseSaysWhatTheBoardHolds();
};

// ---- Programming run ---------------------------------------------------------

void FirmwareRunTest::promptlyAcknowledgedFileWalksTheBoardBack()
{
    startRun(THREE_RECORDS);
    const qint64 start = f->sim.clock.now();
    QCOMPARE(firmwareWindow->startTime->text(), QString::number(start));
    QVERIFY(setupWindow->board()->link()->busy());

    runAcknowledging(4);
    // Words low byte first; 4 ms after each word; one line per tick.
    const QList<ScriptedPort::Sent> sent = f->port->sent;
    QCOMPARE(sent.size(), 4);
    QCOMPARE(sent[0].bytes, hexBytes("23 41 02 01 0A"));
    QCOMPARE(sent[1].bytes, hexBytes("23 41 04 03 0A"));
    QCOMPARE(sent[2].bytes, hexBytes("23 41 02 01 0A"));
    QCOMPARE(sent[3].bytes, hexBytes("23 41 94 0C 0A"));
    QCOMPARE(sent[0].at - start, 20);
    QCOMPARE(sent[1].at - start, 24);
    QCOMPARE(sent[2].at - start, 40);
    QCOMPARE(sent[3].at - start, 60);
    QCOMPARE(firmwareWindow->endTime->text(), QString());
    QCOMPARE(control<QLineEdit>(setupWindow, "flashData")->text(), QString("3220")); // 0x0C94
    QCOMPARE(control<QLineEdit>(setupWindow, "flashAddress")->text(), QString("6"));

    tick(); // the fifth finds the end of the file
    QCOMPARE(firmwareWindow->endTime->text(), QString::number(start + 100));
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(f->dialogs.messages, QStringList{DONE_FOUR_WORDS});
    QCOMPARE(f->port->closeCount, 0);
    tick();
    QCOMPARE(f->port->closeCount, 1);
    tick();
    QCOMPARE(f->dialogs.messages, (QStringList{DONE_FOUR_WORDS, ACTIVE_DIPS}));
    const int opened = f->port->openCount;
    f->sim.clock.advance(500);
    QCOMPARE(f->port->openCount, opened + 1);
    f->port->clearSent();
    f->sim.clock.advance(500);
    QCOMPARE(f->sentFrames(), QList<QByteArray>{MODE_ACTIVE});
    f->sim.clock.advance(500);
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{MODE_ACTIVE, MODE_SETUP, MODE_SETUP}));
    f->sim.clock.advance(500 + 10);
    // The second set-up write waits out the board's 100 ms after the first, so
    // the sweep may be a few frames on by now; it began at address 0.
    QCOMPARE(f->sentFrames().value(3), READ_ADDRESS_0);
    f->sim.clock.advance(3000);
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    QCOMPARE(f->sentFrames().size(), 3 + 226);
    QVERIFY(f->dialogs.errors.isEmpty());
}

void FirmwareRunTest::onlyAnAorCReplyReleasesTheNextLine_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("released");
    QTest::newRow("A alone") << QByteArray("A") << true;
    QTest::newRow("C alone") << QByteArray("C") << true;
    QTest::newRow("A with more after it") << QByteArray("A\x01") << true;
    QTest::newRow("another first byte") << QByteArray("X") << false;
    QTest::newRow("A after another byte") << QByteArray("xA") << false;
}

void FirmwareRunTest::onlyAnAorCReplyReleasesTheNextLine()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, released);
    startRun(THREE_RECORDS);
    tick();
    f->port->feed(reply);
    f->port->feed("A"); // too late: the first reply consumed the expectation
    tick();
    QCOMPARE(wordFrames().size(), released ? 3 : 2);
}

void FirmwareRunTest::badFieldStopsTheRunAfterTheWordsBeforeIt()
{
    // The whole-file check keeps such a line from the window; the run stops on its own too.
    Hex::HexSummary summary;
    summary.words = 2;
    FirmwareRun run(*setupWindow->board()->link(), {":0400000001020G04F2", ":00000001FF"}, summary);
    QSignalSpy finished(&run, &Operation::finished);
    QVERIFY(run.start());
    tick();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 41 02 01 0A")});
    QCOMPARE(f->sim.clock.pauses.last().ms, 4);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toBool(), false);
    QVERIFY(finished[0][1].toString().startsWith("The file is not in Intel Hex format. "));
    QVERIFY(!setupWindow->board()->link()->busy());
}

void FirmwareRunTest::silentBoardStopsAfterTwoHundredTicks()
{
    startRun(THREE_RECORDS);
    tick();
    QCOMPARE(wordFrames().size(), 2);
    f->sim.clock.advance(199 * TICK);
    QVERIFY(f->dialogs.messages.isEmpty());
    tick(); // 4 s of silence
    QCOMPARE(f->dialogs.messages, QStringList{TIMEOUT_MESSAGE});
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    QVERIFY(!setupWindow->board()->link()->busy());
    f->sim.clock.advance(10000);
    QCOMPARE(f->sentFrames().size(), 2);
    QVERIFY(f->port->IsOpen());
}

void FirmwareRunTest::slowButAnsweringBoardIsNotCutOff()
{
    startRun(THREE_RECORDS);
    for (int line = 0; line < 3; ++line) {
        tick();
        f->sim.clock.advance(150 * TICK); // 3 s for each line
        f->port->feed("A");
    }
    runAcknowledging(2);
    QCOMPARE(f->dialogs.messages, QStringList{DONE_FOUR_WORDS});
    QVERIFY(!firmwareWindow->endTime->text().isEmpty());
    QCOMPARE(wordFrames().size(), 4);
}

void FirmwareRunTest::stoppedRunNeedsANewEraseThenStartsAtTheFirstLine()
{
    startRun(THREE_RECORDS);
    runAcknowledging(1);
    f->sim.clock.advance(201 * TICK); // the next line, then 4 s of silence
    QCOMPARE(f->dialogs.messages, QStringList{TIMEOUT_MESSAGE});
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(firmwareWindow->eraseButton->isEnabled());
    f->port->clearSent();
    erase();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 43 00 00 0A")});
    firmwareWindow->programButton->click();
    QCOMPARE(setupWindow->board()->link()->progress().done, 0);
    f->port->clearSent();
    runAcknowledging(1);
    QCOMPARE(wordFrames(), (QList<QByteArray>{hexBytes("23 41 02 01 0A"), hexBytes("23 41 04 03 0A")}));
    QCOMPARE(setupWindow->board()->link()->progress().total, 4);
}

void FirmwareRunTest::gaugeMaximumIsTheFileSizeOverFifty()
{
    QByteArray content;
    for (int r = 0; r < 19; ++r)
        content += HexRecord(16 * r, 0, QByteArray(16, char(r)));
    content += HexRecord(0x0130, 0, QByteArray(70, '\x5A'));
    content += ":00000001FF\n";
    QCOMPARE(content.size(), 1000);
    startRun(content);
    QCOMPARE(firmwareWindow->linesSentBar->maximum(), 20);
    runAcknowledging(3);
    QCOMPARE(firmwareWindow->linesSentBar->value(), 2);
}

void FirmwareRunTest::blankLinesAfterTheEndFinishNormally()
{
    startRun(THREE_RECORDS + "\n\n");
    const qint64 start = f->sim.clock.now();
    runAcknowledging(5);
    QCOMPARE(f->dialogs.messages, QStringList{DONE_FOUR_WORDS});
    QCOMPARE(firmwareWindow->endTime->text(), QString::number(start + 5 * TICK));
    runAcknowledging(2);
    QCOMPARE(f->dialogs.messages, (QStringList{DONE_FOUR_WORDS, ACTIVE_DIPS}));
}

void FirmwareRunTest::fileThatCannotBeOpenedDoesNotStart()
{
    const QString path = writeHex(THREE_RECORDS);
    chooseFile(path);
    erase();
    QFile::remove(path);
    f->port->clearSent();
    f->dialogs.clear();
    firmwareWindow->programButton->click();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages.first().startsWith("Cannot open " + path + ": "),
             qPrintable(f->dialogs.messages.first()));
    QVERIFY(f->dialogs.messages.first().endsWith(".\n" + NO_APPLICATION));
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    QVERIFY(!setupWindow->board()->link()->busy());
    f->sim.clock.advance(5000);
    QVERIFY(f->sentFrames().isEmpty());
    QCOMPARE(f->port->closeCount, 0);
}

void FirmwareRunTest::secondRunAlsoUsesTwentyMillisecondTicks()
{
    startRun(THREE_RECORDS);
    runAcknowledging(7);
    f->sim.clock.advance(5000); // back in the application, parameters read
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    startRun(THREE_RECORDS);
    const qint64 start = f->sim.clock.now();
    runAcknowledging(3);
    QCOMPARE(f->port->sent.size(), 4);
    QCOMPARE(f->port->sent[0].at - start, 20);
    QCOMPARE(f->port->sent[3].at - start, 60);
}

void FirmwareRunTest::failedReopenStopsWithOneMessage()
{
    startRun(THREE_RECORDS);
    runAcknowledging(7);
    f->port->failOpenReason = "The device is gone.";
    f->sim.clock.advance(5000);
    QCOMPARE(f->dialogs.errors.size(), 1);
    QVERIFY(f->dialogs.errors.first().endsWith("The device is gone."));
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    QVERIFY(f->sentFrames().size() == 4);
}

void FirmwareRunTest::deviceLostStopsTheRunAndSaysHowFar()
{
    startRun(THREE_RECORDS);
    runAcknowledging(2);
    f->port->vanish();
    QCOMPARE(f->dialogs.messages,
             QStringList{"Program stopped after 3 of 4 words: the connection to COM3 was lost.\n" +
                         NO_APPLICATION + "\nPlug it in again, choose the port and press \"Open \"."});
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    QVERIFY(!setupWindow->board()->link()->busy());
    f->sim.clock.advance(10000);
    QCOMPARE(wordFrames().size(), 3);
}

void FirmwareRunTest::deviceLostDuringTheEraseSaysWhatTheBoardHolds()
{
    chooseFile(writeHex(THREE_RECORDS));
    firmwareWindow->eraseButton->click();
    tick();
    f->port->vanish();
    QCOMPARE(f->dialogs.messages,
             QStringList{"Erase stopped after 1 of 1 frames: the connection to COM3 was lost.\n" +
                         NO_APPLICATION + "\nPlug it in again, choose the port and press \"Open \"."});
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(firmwareWindow->eraseButton->isEnabled());
    QVERIFY(!setupWindow->board()->link()->busy());
}

TAVRIN_TEST_MAIN(FirmwareRunTest)
#include "tst_firmware_run.moc"
