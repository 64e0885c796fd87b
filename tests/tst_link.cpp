// The link as the set-up window drives it: frames, the read sweep, the receive
// routing and its logs. Simulated time, scripted port.
#include "Controls.h"
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
#include "ScriptedPort.h"
#include "comm/StreamFramer.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"
#include "params/ui/HeaderPanel.h"
#include "comm/TrafficLog.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QCheckBox>
#include <QListWidget>
#include <QSignalSpy>

namespace {

// A telemetry frame as the board sends it (posx 31292, state SetUp, a byte more).
const QByteArray TELEMETRY = hexBytes("FF 7A 3C F5 33 0E CA 00 05 FF FE 00 00 00 64 00 C8 00 28 0A BC 0C E4 04 07");
// The same values from a board whose frames carry two bytes more.
const QByteArray LONG_TELEMETRY = TELEMETRY + hexBytes("00 01");
const QByteArray SHOT = hexBytes("AA AA 34 12") + QByteArray(98, '\0');
const QByteArray REPLY = hexBytes("32 18 04");

QList<QByteArray> cutEvery(const QByteArray& bytes, qsizetype size)
{
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < bytes.size(); at += size)
        pieces.append(bytes.mid(at, size));
    return pieces;
}

} // namespace

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
    void framerCutsTheStreamIntoMessages_data();
    void framerCutsTheStreamIntoMessages();
    void framerKeepsAMessageCutAnywhere_data();
    void framerKeepsAMessageCutAnywhere();
    void messagesInPiecesAreRoutedWholeAndLoggedAsTheyCame();
    void expectedReplyGoesToDecoderAndClearsFlag();
    void uploadEndClosesDialogAndAnnouncesOnlyWhenAsked();
    void blockStartingWithBHoldsOnlyItsOwnLinkForOneSecond();
    void answerNotAskedForIsDroppedAndCounted();
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
    // Each request costs the window a millisecond of work (logging, painting):
    // the period runs on regardless.
    QObject::connect(setupWindow->board()->link(), &BoardLink::frameSent, [] { Sleep(1); });
    const qint64 start = f->sim.clock.now();
    setupWindow->parameters()->readParameters();
    f->sim.clock.advance(5000);
    QCOMPARE(f->port->sent.size(), 226);
    for (int a = 0; a < 226; ++a) {
        const auto& s = f->port->sent[a];
        QCOMPARE(s.at - start, 10 * (a + 1) + 1); // the work comes before the port has it
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
    // Each log holds only its stored line, as the traffic monitor was designed.
    QCOMPARE(trafficMonitor->sentLog->toPlainText(), QStringLiteral("Memo1"));
    QCOMPARE(trafficMonitor->receivedLog->toPlainText(), QStringLiteral("Memo1"));
    QCOMPARE(trafficMonitor->hexCheck->text(), QStringLiteral("HexCheck"));
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
    feed("OK WRITE FIL");
    f->sim.clock.advance(StreamFramer::QUIET_TIME_MS);
    QVERIFY(f->dialogs.messages.isEmpty());
    // Cut by the port after its sixth character, the text is still the whole text.
    feed("OK WRI");
    feed("TE FILE");
    QCOMPARE(f->dialogs.messages, QStringList{" Scrittura completata "});
}

void LinkTest::framerCutsTheStreamIntoMessages_data()
{
    QTest::addColumn<QList<QByteArray>>("reads");
    QTest::addColumn<QList<QByteArray>>("messages"); // the last ones after a quiet line
    QTest::addColumn<int>("beforeQuiet");            // how many come before the line is quiet
    QTest::newRow("two answers joined") << QList<QByteArray>{hexBytes("32 18 04 32 19 B0")}
                                        << QList<QByteArray>{hexBytes("32 18 04"), hexBytes("32 19 B0")} << 2;
    QTest::newRow("a frame alone in a read, then an answer, a frame, an upload end")
        << QList<QByteArray>{TELEMETRY, REPLY + TELEMETRY + "End."}
        << QList<QByteArray>{TELEMETRY, REPLY, TELEMETRY, "End."} << 4;
    QTest::newRow("frames learnt from their markers")
        << cutEvery(TELEMETRY + TELEMETRY + TELEMETRY, 62) << QList<QByteArray>{TELEMETRY, TELEMETRY, TELEMETRY} << 3;
    QTest::newRow("longer frames learnt from their markers")
        << cutEvery(LONG_TELEMETRY + LONG_TELEMETRY + LONG_TELEMETRY + SHOT, 62)
        << QList<QByteArray>{LONG_TELEMETRY, LONG_TELEMETRY, LONG_TELEMETRY, SHOT} << 4;
    QTest::newRow("a longer frame alone in a read") << QList<QByteArray>{LONG_TELEMETRY}
                                                    << QList<QByteArray>{LONG_TELEMETRY} << 1;
    QTest::newRow("a frame in two pieces, learnt from the quiet after it")
        << QList<QByteArray>{LONG_TELEMETRY.left(20), LONG_TELEMETRY.mid(20)} << QList<QByteArray>{LONG_TELEMETRY} << 0;
    QTest::newRow("a shot and the write-file text") << cutEvery(SHOT + "OK WRITE FILE", 3)
                                                    << QList<QByteArray>{SHOT, "OK WRITE FILE"} << 2;
    QTest::newRow("bytes that fit nothing, before and between")
        << QList<QByteArray>{"xy2", hexBytes("18 04 0D 0A 45 6E 64 2E")}
        << QList<QByteArray>{"xy", REPLY, "\r\n", "End."} << 4;
    QTest::newRow("loader acknowledgements") << QList<QByteArray>{"AAC"} << QList<QByteArray>{"A", "A", "C"} << 3;
    QTest::newRow("a B block up to the next message, a B inside other bytes")
        << QList<QByteArray>{hexBytes("42 05 07") + "End.xB"} << QList<QByteArray>{hexBytes("42 05 07"), "End.", "xB"}
        << 3;
    QTest::newRow("the end mark whole, and an answer for address 69")
        << QList<QByteArray>{"2End", "2En", "d"} << QList<QByteArray>{"2End", "2En", "d"} << 3;
    QTest::newRow("0xAA 0x55 is not a shot") << QList<QByteArray>{hexBytes("AA 55 01")}
                                             << QList<QByteArray>{hexBytes("AA 55 01")} << 1;
    QTest::newRow("half an answer left by a quiet line")
        << QList<QByteArray>{hexBytes("32 18 04 32"), hexBytes("18")}
        << QList<QByteArray>{REPLY, hexBytes("32 18")} << 1;
    QTest::newRow("a shot cut short by a quiet line")
        << QList<QByteArray>{SHOT.left(40)} << QList<QByteArray>{SHOT.left(40)} << 0;
}

void LinkTest::framerCutsTheStreamIntoMessages()
{
    QFETCH(QList<QByteArray>, reads);
    QFETCH(QList<QByteArray>, messages);
    QFETCH(int, beforeQuiet);
    StreamFramer framer;
    QList<QByteArray> got;
    for (const QByteArray& read : reads)
        got += framer.push(read);
    QCOMPARE(got, messages.mid(0, beforeQuiet));
    got += framer.flush();
    QCOMPARE(got, messages);
    QVERIFY(!framer.waiting());
}

void LinkTest::framerKeepsAMessageCutAnywhere_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("answer") << REPLY;
    QTest::newRow("telemetry frame") << TELEMETRY;
    QTest::newRow("shot") << SHOT;
    QTest::newRow("upload end") << QByteArray("End.");
    QTest::newRow("write-file text") << QByteArray("OK WRITE FILE");
}

void LinkTest::framerKeepsAMessageCutAnywhere()
{
    QFETCH(QByteArray, message);
    for (qsizetype cut = 1; cut < message.size(); ++cut) {
        StreamFramer framer;
        // Frames are known by then, as in a stream; each message follows an answer.
        QCOMPARE(framer.push(TELEMETRY + TELEMETRY + TELEMETRY + REPLY).size(), 4);
        QVERIFY2(framer.push(message.left(cut)).isEmpty(), qPrintable(QString::number(cut)));
        QCOMPARE(framer.push(message.mid(cut) + REPLY), (QList<QByteArray>{message, REPLY}));
    }
}

void LinkTest::messagesInPiecesAreRoutedWholeAndLoggedAsTheyCame()
{
    f->setPortList({"COM3"});
    f->openPort();
    BoardLink& link = *setupWindow->board()->link();
    QSignalSpy frames(&link, &BoardLink::telemetry);
    QSignalSpy shots(&link, &BoardLink::shot);
    trafficMonitor->receivedLog->Clear();
    // Three frames in pieces as a bridge's packets cut them, the last joined to a shot.
    const QByteArray stream = TELEMETRY + TELEMETRY + TELEMETRY + SHOT;
    for (const QByteArray& piece : cutEvery(stream, 62))
        feed(piece);
    QCOMPARE(frames.size(), 3);
    for (const QList<QVariant>& frame : frames)
        QCOMPARE(frame.at(0).toByteArray(), TELEMETRY);
    QCOMPARE(shots.size(), 1);
    QCOMPARE(shots.at(0).at(0).toByteArray(), SHOT);
    QCOMPARE(trafficMonitor->receivedLog->LinesCount(), 3); // one line per read
    // An answer in two pieces, the second after 40 ms, is one answer.
    QVERIFY(link.sendRead(1));
    feed(hexBytes("32 01"));
    f->sim.clock.advance(StreamFramer::QUIET_TIME_MS - 10);
    feed(hexBytes("07"));
    QVERIFY(!link.expectingReply());
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
    // The window was busy past the quiet time while the rest of a frame waited
    // at the port: the line was not quiet, the frame is whole.
    feed(TELEMETRY.left(20));
    f->port->inputWaiting = true;
    f->sim.clock.advance(StreamFramer::QUIET_TIME_MS * 2);
    f->port->inputWaiting = false;
    feed(TELEMETRY.mid(20));
    QCOMPARE(frames.size(), 4);
    // Half a frame left by a quiet line goes on as it came: not telemetry.
    feed(TELEMETRY.left(20));
    f->sim.clock.advance(StreamFramer::QUIET_TIME_MS);
    feed(TELEMETRY);
    QCOMPARE(frames.size(), 5);
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

void LinkTest::blockStartingWithBHoldsOnlyItsOwnLinkForOneSecond()
{
    f->setPortList({"COM3"});
    f->openPort();
    BoardLink& link = *setupWindow->board()->link();
    // A second board on a link of its own, as the command line drives several.
    BoardLink other;
    auto otherPort = std::make_unique<ScriptedPort>();
    ScriptedPort& second = *otherPort;
    other.setPort(std::move(otherPort));
    second.Open();
    QSignalSpy shots(&link, &BoardLink::shot);
    f->port->clearSent();
    const qint64 start = f->sim.clock.now();
    feed("BUSY");
    feed(SHOT); // the board's next message: routed once its pause is over
    QVERIFY(link.sendsWaiting());
    QVERIFY(link.sendFrame(hexBytes("23 32 05 05 00 00 0A")));
    f->sim.clock.advance(30);
    QVERIFY(link.send("raw"));
    QVERIFY(other.sendFrame(hexBytes("23 32 06 06 00 00 0A")));
    QCOMPARE(second.sent.size(), 1);
    QCOMPARE(second.sent[0].at - start, 30);
    QVERIFY(f->sim.clock.pauses.isEmpty()); // nothing else waited
    f->sim.clock.advance(969);
    QVERIFY(f->port->sent.isEmpty());
    QCOMPARE(shots.size(), 0);
    f->sim.clock.advance(1);
    QCOMPARE(shots.size(), 1);
    QCOMPARE(f->port->sent.size(), 1);
    QCOMPARE(f->port->sent[0].at - start, 1000);
    QCOMPARE(f->port->sent[0].bytes, hexBytes("23 32 05 05 00 00 0A"));
    // What followed 30 ms after keeps its gap.
    f->sim.clock.advance(30);
    QCOMPARE(f->port->sent.size(), 2);
    QCOMPARE(f->port->sent[1].at - start, 1030);
    QCOMPARE(f->port->sent[1].bytes, QByteArray("raw"));
    QVERIFY(!link.sendsWaiting());
    // Once all has left, frames go at once again.
    QVERIFY(link.sendFrame(hexBytes("23 32 07 07 00 00 0A")));
    QCOMPARE(f->port->sent.size(), 3);
    QCOMPARE(f->port->sent[2].at - start, 1030);
}

void LinkTest::answerNotAskedForIsDroppedAndCounted()
{
    f->setPortList({"COM3"});
    f->openPort();
    BoardLink& link = *setupWindow->board()->link();
    QSignalSpy decoded(&link, &BoardLink::parameterReply);
    QSignalSpy answered(&link, &BoardLink::readAnswered);
    QVERIFY(link.sendRead(1));
    // Answers for addresses no read awaits: a Bank 1 colour, then the lot of
    // the serial number, while the release's read is pending.
    const QList<QByteArray> strays{hexBytes("32 18 4D"), hexBytes("32 64 00"), hexBytes("32 65 00"),
                                   hexBytes("32 66 05"), hexBytes("32 67 F3")};
    for (const QByteArray& stray : strays)
        feed(stray);
    QCOMPARE(decoded.size(), 0);
    QCOMPARE(link.reads().strays(), 5);
    QVERIFY(link.expectingReply());
    QVERIFY(link.reads().awaiting(1));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialNumber")->text(), QString());
    QCOMPARE(control<ValueLabel>(setupWindow, "serialLot")->text(), QString());
    QCOMPARE(trafficMonitor->receivedLog->toPlainText().split('\n').last(),
             QString("dropped: an answer for address 103 that was not asked for (5 so far)"));
    // The pending read still gets its own answer.
    feed(hexBytes("32 01 07"));
    QCOMPARE(answered.size(), 1);
    QCOMPARE(answered.at(0).at(0).toInt(), 1);
    QCOMPARE(answered.at(0).at(1).toInt(), 7);
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
    // A second answer to a read already answered is nobody's either.
    feed(hexBytes("32 01 09"));
    QCOMPARE(link.reads().strays(), 6);
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
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
    // An answer no read awaited has a line of its own after it.
    QCOMPARE(trafficMonitor->receivedLog->toPlainText().split('\n').filter(QStringLiteral("RX-")).last(), line);
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
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_ScrollLock);
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_A);
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_Delete);
    QVERIFY(!trafficMonitor->isVisible());
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_ScrollLock);
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_Delete);
    QVERIFY(trafficMonitor->isVisible());
    QCOMPARE(setupWindow->width(), width + 300);
    QCOMPARE(CellText(trafficMonitor->telemetryGrid, 0, 9), QString("Battery "));
}

TAVRIN_TEST_MAIN(LinkTest)
#include "common/ui/ValueLabel.h"
#include "tst_link.moc"
