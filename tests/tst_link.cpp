// The link as the set-up window drives it: frames, the read sweep, the receive
// routing and its logs. Simulated time, scripted port.
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "common/ui/Handlers.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"
#include "comm/TrafficLog.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QCheckBox>
#include <QListWidget>

class LinkTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<SetupWindowFixture>(); }
    void cleanup() { f.reset(); }

    void framesHaveTheirExactBytes_data();
    void framesHaveTheirExactBytes();
    void writeDatoSendsThenPausesWithoutExpectingAReply();
    void sweepSendsAllAddressesTenMillisecondsApart();
    void sweepWithPortClosedIsRefused();
    void blockRoutingFlags_data();
    void blockRoutingFlags();
    void writeFileMessageOnlyForTheWholeText();
    void expectedReplyGoesToDecoderAndClearsFlag();
    void uploadEndClosesDialogAndAnnouncesOnlyWhenAsked();
    void blockStartingWithBPausesOneSecond();
    void logLinesInHexAndText_data();
    void logLinesInHexAndText();
    void logsClearAtExactlyFiveHundredLines();
    void withViewOffNothingIsLoggedButFullTransmitLogStillClears();
    void scrollLockThenDeleteInFileListShowsMonitor();

private:
    void feed(const QByteArray& block) { f->port->feed(block); }
    std::unique_ptr<SetupWindowFixture> f;
};

// ---- Frames ------------------------------------------------------------------

void LinkTest::framesHaveTheirExactBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("read request for address 10 (also the LF value)")
        << SweepReadFrame(10) << hexBytes("23 32 0A 0A 00 00 0A");
    QTest::newRow("parameter write 255 at address 6")
        << ParameterWriteFrame(6, 255) << hexBytes("23 31 06 FF 00 00 0A");
    QTest::newRow("erase of the sector at 0x160000")
        << AddressFrame(Define::ERASESECTOR_CMD, 0x160000) << hexBytes("23 45 00 00 16 00 0A");
    QTest::newRow("firmware word 0x1234")
        << LoaderFrame(Define::WRITEFLASHAPP_CMD, 0x1234) << hexBytes("23 41 34 12 0A");
    QTest::newRow("loader erase") << LoaderFrame(Define::ERASEFLASHAPP_CMD, 0) << hexBytes("23 43 00 00 0A");
    QTest::newRow("close read sequence")
        << NoArgumentFrame(Define::CLOSEREADFLASH_CMD) << hexBytes("23 43 00 00 00 00 0A");
    QTest::newRow("value above a byte is cut to its low bits")
        << ParameterWriteFrame(28, 300) << hexBytes("23 31 1C 2C 00 00 0A");
    QTest::newRow("address above 24 bits is cut")
        << AddressFrame(Define::DATAFILE_CMD, 0x1040000) << hexBytes("23 4C 00 00 04 00 0A");
}

void LinkTest::framesHaveTheirExactBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, bytes);
    QCOMPARE(frame.toHex(' '), bytes.toHex(' '));
}

void LinkTest::writeDatoSendsThenPausesWithoutExpectingAReply()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    setupWindow->board()->link()->setExpectingReply(false);
    const qint64 before = f->sim.clock.now();
    setupWindow->board()->writeValue(255, 6);
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 06 FF 00 00 0A")});
    QCOMPARE(f->sim.clock.now() - before, 100);
    QVERIFY(!setupWindow->board()->expectingReply());
}

void LinkTest::sweepSendsAllAddressesTenMillisecondsApart()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    const qint64 start = f->sim.clock.now();
    setupWindow->parameters()->readParameters();
    f->sim.clock.advance(5000);
    QCOMPARE(f->port->sent.size(), 226);
    for (int a = 0; a < 226; ++a) {
        const auto& s = f->port->sent[a];
        QCOMPARE(s.at - start, 10 * (a + 1));
        const char addr = static_cast<char>(a);
        QCOMPARE(s.bytes, QByteArray("#2") + addr + addr + QByteArray(2, '\0') + '\n');
    }
    QVERIFY(!setupWindow->board()->reading());
    QVERIFY(setupWindow->board()->expectingReply());
}

void LinkTest::sweepWithPortClosedIsRefused()
{
    setupWindow->parameters()->readParameters();
    f->sim.clock.advance(3000);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Read Parameters needs an open port: open the board's port first."});
    QVERIFY(!setupWindow->board()->expectingReply());
    QCOMPARE(trafficMonitor->sentLog->LinesCount(), 1); // its stored line only
}

// ---- Receive routing ---------------------------------------------------------

void LinkTest::blockRoutingFlags_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("replyExpected");
    // writeFileDone, parameterReply, telemetry, uploadEnd, pauseForB, shot
    QTest::addColumn<QString>("routes");
    const QByteArray ff24 = QByteArray(1, '\xFF') + QByteArray(23, '\x01');
    QTest::newRow("whole write-file text") << QByteArray("OK WRITE FILE") << false << "100000";
    QTest::newRow("write-file text with trailing LF") << QByteArray("OK WRITE FILE\n") << false << "000000";
    QTest::newRow("25 bytes from 0xFF while a reply is expected") << ff24 + '\x02' << true << "011000";
    QTest::newRow("24 bytes from 0xFF are not telemetry") << ff24 << false << "000000";
    QTest::newRow("upload end") << QByteArray("End.") << false << "000100";
    QTest::newRow("upload end with more text") << QByteArray("End..") << false << "000000";
    QTest::newRow("reply starting with B also pauses") << QByteArray("B\x05\x07") << true << "010010";
    QTest::newRow("one byte 0xAA does nothing") << QByteArray("\xAA") << false << "000000";
    QTest::newRow("shot start") << QByteArray("\xAA\xAA\x01\x00") << false << "000001";
    QTest::newRow("empty block") << QByteArray() << true << "000000";
}

void LinkTest::blockRoutingFlags()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, replyExpected);
    QFETCH(QString, routes);
    const BlockRoutes r = ClassifyBlock(block, replyExpected);
    const QString got = QString("%1%2%3%4%5%6")
                            .arg(r.writeFileDone)
                            .arg(r.parameterReply)
                            .arg(r.telemetry)
                            .arg(r.uploadEnd)
                            .arg(r.pauseForB)
                            .arg(r.shot);
    QCOMPARE(got, routes);
}

void LinkTest::writeFileMessageOnlyForTheWholeText()
{
    f->setPortList({"COM3"});
    f->openPort();
    feed("OK WRI");
    feed("TE FILE");
    QVERIFY(f->dialogs.messages.isEmpty());
    feed("OK WRITE FILE");
    QCOMPARE(f->dialogs.messages, QStringList{" Scrittura completata "});
}

void LinkTest::expectedReplyGoesToDecoderAndClearsFlag()
{
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->board()->link()->setExpectingReply(true);
    feed("A");
    QCOMPARE(READY, 1);
    QVERIFY(!setupWindow->board()->expectingReply());
    READY = 0;
    feed("C");
    QCOMPARE(READY, 0); // no reply expected: not decoded
}

void LinkTest::uploadEndClosesDialogAndAnnouncesOnlyWhenAsked()
{
    f->setPortList({"COM3"});
    f->openPort();
    RICHIESTA = false;
    waitDialog->show();
    feed("End.");
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(f->dialogs.messages.isEmpty());
    RICHIESTA = true;
    waitDialog->show();
    feed("End.");
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(f->dialogs.messages, QStringList{"Uploading file completed."});
}

void LinkTest::blockStartingWithBPausesOneSecond()
{
    f->setPortList({"COM3"});
    f->openPort();
    feed("Bxyz");
    QCOMPARE(f->sim.clock.pauses.size(), 1);
    QCOMPARE(f->sim.clock.pauses[0].ms, 1000);
    feed("xB");
    QCOMPARE(f->sim.clock.pauses.size(), 1);
}

void LinkTest::logLinesInHexAndText_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("line");
    QTest::newRow("hex") << QByteArray("\x32\x01\x10") << true << "RX-- 32 01 10";
    QTest::newRow("text, printable") << QByteArray("End.") << false << "RX-- E n d .";
    QTest::newRow("text, control bytes as pictures")
        << QByteArray("2\x00\x0A", 3) << false << QString("RX-- 2 ") + QChar(0x2400) + " " + QChar(0x240A);
    QTest::newRow("text, Latin-1 signs and letters as themselves")
        << QByteArray("\xAA\xB0\xE8\xFF") << false << QString::fromUtf8("RX-- \u00AA \u00B0 \u00E8 \u00FF");
    QTest::newRow("text, C1 controls in hex") << QByteArray("\x80\x9F") << false << "RX-- \\x80 \\x9F";
    QTest::newRow("text, DEL as its picture")
        << QByteArray("\x7F") << false << QString("RX-- ") + QChar(0x2421);
}

void LinkTest::logLinesInHexAndText()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, hex);
    QFETCH(QString, line);
    f->setPortList({"COM3"});
    f->openPort();
    trafficMonitor->hexCheck->setChecked(hex);
    feed(block);
    QCOMPARE(trafficMonitor->receivedLog->toPlainText().split('\n').last(), line);
}

void LinkTest::logsClearAtExactlyFiveHundredLines()
{
    f->setPortList({"COM3"});
    f->openPort();
    // The log's first line counts: 499 blocks bring the log to 500 lines.
    for (int i = 0; i < 498; ++i)
        feed("x");
    QCOMPARE(trafficMonitor->receivedLog->LinesCount(), 499);
    feed("x");
    QCOMPARE(trafficMonitor->receivedLog->LinesCount(), 0);
    feed("y");
    QCOMPARE(trafficMonitor->receivedLog->toPlainText(), QString("RX-- 79"));
}

void LinkTest::withViewOffNothingIsLoggedButFullTransmitLogStillClears()
{
    f->setPortList({"COM3"});
    f->openPort();
    trafficMonitor->sentLog->Clear();
    trafficMonitor->receivedLog->Clear();
    for (int i = 0; i < 500; ++i)
        trafficMonitor->sentLog->Add("line");
    trafficMonitor->viewCheck->setChecked(false);
    feed("x");
    QCOMPARE(trafficMonitor->receivedLog->LinesCount(), 0);
    setupWindow->board()->writeValue(1, 1);
    QCOMPARE(trafficMonitor->sentLog->LinesCount(), 0);
    QCOMPARE(f->port->sent.size(), 1); // sent all the same
}

void LinkTest::scrollLockThenDeleteInFileListShowsMonitor()
{
    setupWindow->show();
    const int width = setupWindow->width();
    QTest::keyClick(setupWindow->sounds()->browser()->soundFileList, Qt::Key_ScrollLock);
    QTest::keyClick(setupWindow->sounds()->browser()->soundFileList, Qt::Key_A);
    QTest::keyClick(setupWindow->sounds()->browser()->soundFileList, Qt::Key_Delete);
    QVERIFY(!trafficMonitor->isVisible());
    QTest::keyClick(setupWindow->sounds()->browser()->soundFileList, Qt::Key_ScrollLock);
    QTest::keyClick(setupWindow->sounds()->browser()->soundFileList, Qt::Key_Delete);
    QVERIFY(trafficMonitor->isVisible());
    QCOMPARE(setupWindow->width(), width + 300);
    QCOMPARE(CellText(trafficMonitor->telemetryGrid, 0, 9), QString("Battery "));
}

TAVRIN_TEST_MAIN(LinkTest)
#include "tst_link.moc"
