// The firmware window and the hand-over from the set-up window, on simulated
// time with a scripted port standing in for the board's loader.
#include "HexImage.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include <QSignalSpy>

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Framework.h"
#include "common/Globals.h"
#include "firmware/ui/FirmwareWindow.h"
#include "firmware/LoaderOperations.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QByteArray THREE_RECORDS = ":0400000001020304F2\n"
                                 ":020004000102F7\n"
                                 ":020006000C9458\n"
                                 ":00000001FF\n";
const QString NO_APPLICATION =
    "The board has no complete application now. Leave its switches on the loader and "
    "run \"Erase\" and \"Program\" again.";
const QString TIMEOUT_MESSAGE = "Comunication error.....  Timeout.\n" + NO_APPLICATION;
const QString ERASE_TIMEOUT =
    "Comunication error.....  Timeout.\nThe loader did not confirm the erase within "
    "4 s. Check that the board's switches are on the loader and its led is blue, then "
    "press \"Erase\" again.";
const QString ERASE_QUESTION =
    "Erase the board's application? The board does nothing until a new one is programmed.";
const QString DONE_FOUR_WORDS = "Programming done: 4 words written. The board has its new application.";
const QString BLUE_LED = "Check the led must be blue.  If yes, press program button";
const QString ACTIVE_DIPS = "Set the dipswitches for active status.";
const QString LOADER_DIPS = "Please put the dipswitch in position for bootloader procedure and then press OK";
const QString FW_QUESTION = "Do you want to load updated firmware ?";
const QByteArray MODE_ACTIVE = hexBytes("23 31 02 01 00 00 0A");
const QByteArray MODE_SETUP = hexBytes("23 31 02 04 00 00 0A");
const QByteArray READ_ADDRESS_0 = hexBytes("23 32 00 00 00 00 0A");
constexpr int TICK = 20;

} // namespace

class FirmwareTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void eraseAsksThenWaitsForTheLoadersC();
    void eraseAnsweredNoSendsNothing();
    void unansweredEraseSaysWhatToDo();
    void fileChangedSinceChosenIsRefusedAtErase();
    void buttonStatesFollowTheRun();
    void fileSummaryAndProgressShowWordsAndTime();
    void damagedFileNeverReachesErase_data();
    void damagedFileNeverReachesErase();
    void fileChooserStartsAtHomeThenAtTheLastFolder();
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

    void fwIsOnlyOfferedInSetUpMode();
    void fwAnsweredNoDoesNothing();
    void fwHandOverClosesAsksReopensAndShowsTheWindow();
    void fwHandOverStopsWhenThePortDoesNotReopen();

private:
    QString writeHex(const QByteArray& content, const QString& name = "app.hex");
    void chooseFile(const QString& path);
    // "Erase", answered Yes, and the loader's "C" at the next tick.
    void erase();
    void startRun(const QByteArray& content);
    // Advances one tick at a time, answering "A" after each tick that sent words.
    void runAcknowledging(int ticks);
    QList<QByteArray> wordFrames() const;
    void tick() { f->sim.clock.advance(TICK); }

    std::unique_ptr<SetupWindowFixture> f;
};

void FirmwareTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    firmwareWindow->timeOfDay = [this] { return QString::number(f->sim.clock.now()); };
    f->port->clearSent();
}

QString FirmwareTest::writeHex(const QByteArray& content, const QString& name)
{
    const QString path = f->folder.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

void FirmwareTest::chooseFile(const QString& path)
{
    f->dialogs.files.enqueue(path);
    firmwareWindow->fileButton->click();
}

void FirmwareTest::erase()
{
    firmwareWindow->eraseButton->click();
    f->port->feed("C");
    tick();
}

void FirmwareTest::startRun(const QByteArray& content)
{
    chooseFile(writeHex(content));
    erase();
    f->port->clearSent();
    f->dialogs.clear();
    firmwareWindow->programButton->click();
}

void FirmwareTest::runAcknowledging(int ticks)
{
    for (int i = 0; i < ticks; ++i) {
        const auto before = f->port->sent.size();
        tick();
        if (f->port->sent.size() > before && f->port->sent.last().bytes.startsWith("#A"))
            f->port->feed("A");
    }
}

QList<QByteArray> FirmwareTest::wordFrames() const
{
    QList<QByteArray> words;
    for (const QByteArray& frame : f->sentFrames())
        if (frame.startsWith("#A"))
            words.append(frame);
    return words;
}

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

// ---- Programming run ---------------------------------------------------------

void FirmwareTest::promptlyAcknowledgedFileWalksTheBoardBack()
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
    QCOMPARE(setupWindow->header()->flashData->text(), QString("3220")); // 0x0C94
    QCOMPARE(setupWindow->header()->flashAddress->text(), QString("6"));

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

void FirmwareTest::onlyAnAorCReplyReleasesTheNextLine_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("released");
    QTest::newRow("A alone") << QByteArray("A") << true;
    QTest::newRow("C alone") << QByteArray("C") << true;
    QTest::newRow("A with more after it") << QByteArray("A\x01") << true;
    QTest::newRow("another first byte") << QByteArray("X") << false;
    QTest::newRow("A after another byte") << QByteArray("xA") << false;
}

void FirmwareTest::onlyAnAorCReplyReleasesTheNextLine()
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

void FirmwareTest::badFieldStopsTheRunAfterTheWordsBeforeIt()
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

void FirmwareTest::silentBoardStopsAfterTwoHundredTicks()
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

void FirmwareTest::slowButAnsweringBoardIsNotCutOff()
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

void FirmwareTest::stoppedRunNeedsANewEraseThenStartsAtTheFirstLine()
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

void FirmwareTest::gaugeMaximumIsTheFileSizeOverFifty()
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

void FirmwareTest::blankLinesAfterTheEndFinishNormally()
{
    startRun(THREE_RECORDS + "\n\n");
    const qint64 start = f->sim.clock.now();
    runAcknowledging(5);
    QCOMPARE(f->dialogs.messages, QStringList{DONE_FOUR_WORDS});
    QCOMPARE(firmwareWindow->endTime->text(), QString::number(start + 5 * TICK));
    runAcknowledging(2);
    QCOMPARE(f->dialogs.messages, (QStringList{DONE_FOUR_WORDS, ACTIVE_DIPS}));
}

void FirmwareTest::fileThatCannotBeOpenedDoesNotStart()
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

void FirmwareTest::secondRunAlsoUsesTwentyMillisecondTicks()
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

void FirmwareTest::failedReopenStopsWithOneMessage()
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

void FirmwareTest::deviceLostStopsTheRunAndSaysHowFar()
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

void FirmwareTest::deviceLostDuringTheEraseSaysWhatTheBoardHolds()
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

// ---- Hand-over ----------------------------------------------------------------

void FirmwareTest::fwIsOnlyOfferedInSetUpMode()
{
    QVERIFY(!setupWindow->header()->firmwareButton->isEnabled());
    QCOMPARE(setupWindow->header()->firmwareButton->toolTip(), QString("Upload new firmware"));
    setupWindow->ports()->setUpModeButton->click();
    QVERIFY(setupWindow->header()->firmwareButton->isEnabled());
    setupWindow->ports()->txModeButton->click();
    QVERIFY(!setupWindow->header()->firmwareButton->isEnabled());
    setupWindow->ports()->setUpModeButton->click();
    setupWindow->ports()->activeModeButton->click();
    QVERIFY(!setupWindow->header()->firmwareButton->isEnabled());
}

void FirmwareTest::fwAnsweredNoDoesNothing()
{
    setupWindow->ports()->setUpModeButton->click();
    f->port->clearSent();
    f->dialogs.answers.enqueue(false);
    setupWindow->header()->firmwareButton->click();
    QCOMPARE(f->dialogs.questions, QStringList{FW_QUESTION});
    f->sim.clock.advance(2000);
    QVERIFY(f->sentFrames().isEmpty());
    QVERIFY(f->port->IsOpen());
    QVERIFY(!firmwareWindow->isVisible());
}

void FirmwareTest::fwHandOverClosesAsksReopensAndShowsTheWindow()
{
    setupWindow->ports()->setUpModeButton->click();
    f->port->clearSent();
    const int opened = f->port->openCount;
    setupWindow->header()->firmwareButton->click();
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
                    .arg(setupWindow->header()->handOverTimer->Enabled());
    }
    QCOMPARE(seen, (QStringList{"10001", "11001", "11101", "11111", "11110"}));
    QCOMPARE(f->dialogs.messages, QStringList{LOADER_DIPS});
    QVERIFY(f->sentFrames().isEmpty());
    QVERIFY(setupWindow->ports()->activeModeButton->isChecked());
}

void FirmwareTest::fwHandOverStopsWhenThePortDoesNotReopen()
{
    setupWindow->ports()->setUpModeButton->click();
    setupWindow->header()->firmwareButton->click();
    f->port->failOpenReason = "The device is gone.";
    f->sim.clock.advance(3000);
    QCOMPARE(f->dialogs.errors.size(), 1);
    QVERIFY(!setupWindow->header()->handOverTimer->Enabled());
    QVERIFY(!firmwareWindow->isVisible());
}

TAVRIN_TEST_MAIN(FirmwareTest)
#include "tst_firmware.moc"
