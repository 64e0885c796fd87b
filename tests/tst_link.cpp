// The link as the set-up window drives it: frames, the read sweep, the receive
// routing and its logs, the settings file, the connection check, board status
// and default bank, and the loss of the device. Simulated time, scripted port.
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "common/ui/Handlers.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/Shape.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "comm/Frames.h"
#include "comm/ui/TrafficMonitor.h"
#include "comm/ui/LogMemo.h"
#include "comm/TrafficLog.h"
#include "common/ui/Application.h"
#include "common/BuildConfig.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

namespace {
const QString PORT_NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";
const QColor YELLOW(255, 255, 0);
const QColor GREY(128, 128, 128);
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
    void expectedReplyGoesToDecoderAndClearsFlag();
    void uploadEndClosesDialogAndAnnouncesOnlyWhenAsked();
    void blockStartingWithBPausesOneSecond();
    void logLinesInHexAndText_data();
    void logLinesInHexAndText();
    void logsClearAtExactlyFiveHundredLines();
    void withViewOffNothingIsLoggedButFullTransmitLogStillClears();

    void savedPortAtSavedPositionOpensAtStartSpeed();
    void savedPortElsewhereIsSelectedButNotOpened();
    void missingSettingsFileIsReportedAndNeverCreated();
    void badIndexLineShowsConversionErrorAndOpensNothing();
    void closingWindowSavesLastOpenedPortWithNewIndex();
    void closingMainWindowLeavesTheSetUpCloseHandlerAlone_data();
    void closingMainWindowLeavesTheSetUpCloseHandlerAlone();
    void settingsFileIsKeptWhenNoPortWasChosen_data();
    void settingsFileIsKeptWhenNoPortWasChosen();
    void unreadableSettingsFileSaysWhy_data();
    void unreadableSettingsFileSaysWhy();
    void overlongSettingsLinesAreInvalid_data();
    void overlongSettingsLinesAreInvalid();
    void savingWorksWhereOnlyTheFileIsWritable();
    void installerLeavesASettingsFileEveryUserCanWrite();
    void openFailureShowsReasonAndKeepsListDisabledUntilClose();
    void openFailureAtStartKeepsSetUpWindowClosed();
    void openWithEmptyListIsAListIndexError();

    void connectionCheckWithAnsweringBoard();
    void connectionCheckWithSilentBoard();
    void connectionCheckWithoutPortOnlyComplains();
    void showingWindowAgainRestartsTheCheck();
    void showingWindowWhileBoardIsBusyQueuesNoCheck_data();
    void showingWindowWhileBoardIsBusyQueuesNoCheck();

    void statusButtonsWithoutPortSendNothing();
    void statusButtonsSendModeAndSwitchSetUpControls();
    void reselectingSelectedButtonSendsNothing();
    void defaultBankButtonSendsBankWrite();

    void scrollLockThenDeleteInFileListShowsMonitor();

    void deviceLossDuringSweepClosesAndStopsEverything();
    void deviceLossDuringConnectionCheckClosesTheDialog();
    void deviceLossDuringWriteSaysHowFarItGot();
    void writeOnAClosedPortRefusesAndSendsNothing();

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

// ---- Settings file and port panel ---------------------------------------------

void LinkTest::savedPortAtSavedPositionOpensAtStartSpeed()
{
    f->writeSettings("COM4\r\n1\r\n");
    f->setPortList({"COM3", "COM4"});
    setupWindow->ports()->openSavedPort();
    QCOMPARE(setupWindow->ports()->portList->currentText(), QString("COM4"));
    QVERIFY(f->port->IsOpen());
    QCOMPARE(f->port->Port(), QString("COM4"));
    QCOMPARE(f->port->Baud(), 9600u);
    QCOMPARE(f->port->Parity(), ptNONE);
    QCOMPARE(f->port->StopBits(), sbONE);
    QVERIFY(f->port->rts);
    QCOMPARE(setupWindow->ports()->portOpenIndicator->BrushColor(), YELLOW);
    QVERIFY(!setupWindow->ports()->portList->isEnabled());
    QVERIFY(setupWindow->ports()->modeBox->isEnabled());
    QCOMPARE(trafficMonitor->receivedLog->LinesCount(), 0);
}

void LinkTest::savedPortElsewhereIsSelectedButNotOpened()
{
    f->writeSettings("COM4\r\n1\r\n");
    f->setPortList({"COM3", "COM5"});
    setupWindow->ports()->openSavedPort();
    QCOMPARE(setupWindow->ports()->portList->currentIndex(), 1);
    QVERIFY(!f->port->IsOpen());
    QCOMPARE(f->port->openCount, 0);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void LinkTest::missingSettingsFileIsReportedAndNeverCreated()
{
    f->setPortList({"COM3"});
    setupWindow->ports()->openSavedPort();
    const QString expected = "FILE INESISTENTE : " + f->settingsPath();
    QCOMPARE(f->dialogs.messages, QStringList{expected});
    setupWindow->close();
    QCOMPARE(f->dialogs.messages, QStringList({expected, expected}));
    QVERIFY(!QFile::exists(f->settingsPath()));
}

void LinkTest::badIndexLineShowsConversionErrorAndOpensNothing()
{
    f->writeSettings("COM3\r\nfirst\r\n");
    f->setPortList({"COM3"});
    runGuarded([] { setupWindow->ports()->openSavedPort(); });
    QCOMPARE(f->dialogs.errors, QStringList{"'first' is not a valid integer value"});
    QCOMPARE(f->port->openCount, 0);
}

void LinkTest::closingWindowSavesLastOpenedPortWithNewIndex()
{
    f->writeSettings("COM9\r\n0\r\n");
    f->setPortList({"COM3", "COM4"});
    f->openPort(0);
    setupWindow->ports()->closePort();
    setupWindow->ports()->portList->setCurrentIndex(1);
    setupWindow->close();
    QCOMPARE(f->readSettings(), QByteArray("COM3\r\n1\r\n"));
}

void LinkTest::closingMainWindowLeavesTheSetUpCloseHandlerAlone_data()
{
    QTest::addColumn<QByteArray>("settings"); // empty: no settings file
    QTest::newRow("no settings file") << QByteArray();
    QTest::newRow("port open, another entry picked") << QByteArray("COM4\r\n1\r\n");
}

void LinkTest::closingMainWindowLeavesTheSetUpCloseHandlerAlone()
{
    QFETCH(QByteArray, settings);
    if (!settings.isEmpty())
        f->writeSettings(settings);
    f->setPortList({"COM3", "COM4"});
    mainWindow->show();
    f->sim.clock.advance(1000); // the set-up window opens
    QVERIFY(setupWindow->isVisible());
    setupWindow->ports()->portList->setCurrentIndex(0);
    f->dialogs.clear();
    // The user closes the main window while the program runs.
    QTimer::singleShot(0, mainWindow, [] { mainWindow->close(); });
    QApplication::exec();
    QCOMPARE(f->dialogs.messages, QStringList{});
    QCOMPARE(f->readSettings(), settings);
    QVERIFY(!f->port->IsOpen());
}

void LinkTest::settingsFileIsKeptWhenNoPortWasChosen_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<int>("picked"); // -1: the user picks nothing
    QTest::newRow("no port found (another copy holds it)") << QStringList{} << -1;
    QTest::newRow("saved port gone, another one listed") << QStringList{"COM3"} << -1;
    QTest::newRow("an entry picked but never opened") << QStringList{"COM3", "COM4"} << 1;
}

void LinkTest::settingsFileIsKeptWhenNoPortWasChosen()
{
    QFETCH(QStringList, ports);
    QFETCH(int, picked);
    f->writeSettings("COM4\r\n0\r\n");
    f->setPortList(ports);
    setupWindow->ports()->openSavedPort();
    setupWindow->show();
    if (picked >= 0)
        setupWindow->ports()->portList->setCurrentIndex(picked);
    setupWindow->close();
    QCOMPARE(f->readSettings(), QByteArray("COM4\r\n0\r\n"));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void LinkTest::unreadableSettingsFileSaysWhy_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no read permission") << false << "Permission denied";
    QTest::newRow("a folder in its place") << true << "file to open is a directory";
}

void LinkTest::unreadableSettingsFileSaysWhy()
{
    QFETCH(bool, folder);
    QFETCH(QString, reason);
    if (folder) {
        QVERIFY(QDir().mkpath(f->settingsPath()));
    } else {
        if (::geteuid() == 0)
            QSKIP("the administrator reads every file");
        f->writeSettings("COM3\r\n0\r\n");
        QVERIFY(QFile::setPermissions(f->settingsPath(), QFileDevice::WriteOwner));
    }
    f->setPortList({"COM3"});
    setupWindow->ports()->openSavedPort();
    QCOMPARE(f->dialogs.messages,
             QStringList{"Cannot read the settings file " + f->settingsPath() + ": " + reason});
    QCOMPARE(f->port->openCount, 0);
}

void LinkTest::overlongSettingsLinesAreInvalid_data()
{
    const QByteArray huge(10 * 1024 * 1024, '7');
    const QByteArray blanks(5000, ' ');
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("opened");
    QTest::newRow("10 MB index line")
        << "COM3\r\n" + huge + "\r\n"
        << "'" + QString(80, '7') + "...' is not a valid integer value" << 0 << false;
    QTest::newRow("index past 4 KiB of blanks")
        << "COM3\r\n" + blanks + "0\r\n"
        << "'" + QString(80, ' ') + "...' is not a valid integer value" << 0 << false;
    QTest::newRow("4097-byte index line")
        << "COM3\r\n0" + QByteArray(4096, ' ') + "\r\n"
        << "'0" + QString(79, ' ') + "...' is not a valid integer value" << 0 << false;
    QTest::newRow("10 MB port line, index still read") << huge + "\r\n1\r\n" << QString() << 1 << false;
    QTest::newRow("4 KiB index line is still a setting") << "COM3\r\n0" + QByteArray(4095, ' ') + "\r\n"
                                                         << QString() << 0 << true;
}

void LinkTest::overlongSettingsLinesAreInvalid()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, error);
    QFETCH(int, selected);
    QFETCH(bool, opened);
    f->writeSettings(content);
    f->setPortList({"COM3", "COM4"});
    runGuarded([] { setupWindow->ports()->openSavedPort(); });
    QCOMPARE(f->dialogs.errors, error.isNull() ? QStringList{} : QStringList{error});
    QCOMPARE(setupWindow->ports()->portList->currentIndex(), selected);
    QCOMPARE(f->port->IsOpen(), opened);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void LinkTest::savingWorksWhereOnlyTheFileIsWritable()
{
    if (::geteuid() == 0)
        QSKIP("the administrator writes in every folder");
    f->writeSettings("COM9\r\n0\r\n");
    const QString bin = QFileInfo(f->settingsPath()).path();
    QVERIFY(QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    f->setPortList({"COM3", "COM4"});
    f->openPort(1);
    setupWindow->close();
    QFile::setPermissions(bin, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(f->readSettings(), QByteArray("COM4\r\n1\r\n"));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void LinkTest::installerLeavesASettingsFileEveryUserCanWrite()
{
    QTemporaryDir root;
    QProcess install;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", root.path());
    install.setProcessEnvironment(environment);
    install.start(CMAKE_COMMAND, {"--install", TAVRIN_BINARY_DIR});
    QVERIFY(install.waitForFinished(60000));
    QCOMPARE(install.exitCode(), 0);
    const QFileInfo installed(root.path() + BuildConfig::INSTALL_DIR + "/Bin/COM_1.INI");
    QVERIFY(installed.exists());
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                          QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(installed.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), everyone);
}

void LinkTest::openFailureShowsReasonAndKeepsListDisabledUntilClose()
{
    f->setPortList({"COM3"});
    f->port->failOpenReason = "No such file or directory";
    runGuarded([] { setupWindow->ports()->openButton->click(); });
    QCOMPARE(f->dialogs.errors, QStringList{"TCOMPORT : cannot open COM3\rNo such file or directory"});
    QVERIFY(!setupWindow->ports()->portList->isEnabled());
    QCOMPARE(setupWindow->ports()->portOpenIndicator->BrushColor(), GREY);
    QVERIFY(!f->port->rts);
    setupWindow->ports()->closeButton->click();
    QVERIFY(setupWindow->ports()->portList->isEnabled());
}

void LinkTest::openFailureAtStartKeepsSetUpWindowClosed()
{
    f->writeSettings("COM3\r\n0\r\n");
    f->port->failOpenReason = "Permission denied";
    // The port list is filled by the main window from the system's ports; give it ours.
    setupWindow->ports()->portList->addItem("COM3");
    mainWindow->show();
    QCOMPARE(f->dialogs.errors, QStringList{"TCOMPORT : cannot open COM3\rPermission denied"});
    f->sim.clock.advance(5000);
    QVERIFY(!setupWindow->isVisible());
}

void LinkTest::openWithEmptyListIsAListIndexError()
{
    runGuarded([] { setupWindow->ports()->openPort(); });
    QCOMPARE(f->dialogs.errors, QStringList{"List index out of bounds (-1)"});
    QCOMPARE(f->port->openCount, 0);
}

// ---- Connection check ----------------------------------------------------------

void LinkTest::connectionCheckWithAnsweringBoard()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    setupWindow->show();
    f->sim.clock.advance(1999);
    QVERIFY(!waitDialog->isVisible());
    f->sim.clock.advance(1);
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->layoutHeight(), 70);
    QCOMPARE(waitDialog->message->text(), QString("Wait... Downloading parameters from Kordex in progress."));
    QVERIFY(setupWindow->ports()->txModeButton->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 03 00 00 0A")});

    f->sim.clock.advance(300);
    feed(QByteArray(1, '\xFF') + QByteArray(25, '\x00'));
    f->sim.clock.advance(1700);
    QVERIFY(setupWindow->ports()->setUpModeButton->isChecked());
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 02 04 00 00 0A"));
    QVERIFY(setupWindow->parameters()->readParametersButton->isEnabled());

    f->port->clearSent();
    f->sim.clock.advance(2000); // step 3 starts the sweep
    QVERIFY(setupWindow->board()->reading());
    f->sim.clock.advance(2000); // step 4, 2 s into the sweep
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(waitDialog->layoutHeight(), 140);
    QCOMPARE(waitDialog->message->text(), QString("Wait... Downloading files to Kordex in progress..."));
    QCOMPARE(f->port->sent.size(), 200);
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 226);
    QVERIFY(!setupWindow->ports()->connectionCheck->running());
    QVERIFY(f->dialogs.messages.isEmpty());
}

void LinkTest::connectionCheckWithSilentBoard()
{
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->show();
    f->sim.clock.advance(3999);
    QVERIFY(f->dialogs.messages.isEmpty());
    f->sim.clock.advance(1);
    QCOMPARE(f->dialogs.messages, QStringList{PORT_NOT_FOUND});
    QVERIFY(!f->port->IsOpen());
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(setupWindow->ports()->portList->isEnabled());
    QVERIFY(setupWindow->ports()->activeModeButton->isChecked());
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void LinkTest::connectionCheckWithoutPortOnlyComplains()
{
    f->setPortList({"COM3"});
    setupWindow->show();
    f->sim.clock.advance(2000);
    QCOMPARE(f->dialogs.messages, QStringList{PORT_NOT_FOUND});
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->ports()->connectionCheck->running());
}

void LinkTest::showingWindowAgainRestartsTheCheck()
{
    f->setPortList({"COM3"});
    setupWindow->show();
    f->sim.clock.advance(2000);
    setupWindow->hide();
    mainWindow->showSetupWindow();
    f->sim.clock.advance(2000);
    QCOMPARE(f->dialogs.messages, QStringList({PORT_NOT_FOUND, PORT_NOT_FOUND}));
}

void LinkTest::showingWindowWhileBoardIsBusyQueuesNoCheck_data()
{
    QTest::addColumn<bool>("loader");
    QTest::newRow("an operation holds the link") << false;
    QTest::newRow("the board goes over to its loader") << true;
}

void LinkTest::showingWindowWhileBoardIsBusyQueuesNoCheck()
{
    // A check queued now would put the board into TX and SetUp and read it again
    // once the operation is over, or talk to the loader.
    QFETCH(bool, loader);
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->ports()->setUpModeButton->click();
    f->sim.clock.advance(100);
    f->port->clearSent();
    if (loader)
        setupWindow->header()->updateFirmware();
    else
        QVERIFY(setupWindow->board()->link()->begin(
            {"Erase All Sounds", "erase frames", 2, BoardLink::Blocks::Deferred, {}}));
    setupWindow->show();
    f->sim.clock.advance(3000);
    if (!loader)
        setupWindow->board()->link()->end();
    f->sim.clock.advance(10000);
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(f->dialogs.messages.filter(PORT_NOT_FOUND).isEmpty());
    QVERIFY(!setupWindow->ports()->connectionCheck->running());
}

// ---- Board status and default bank ----------------------------------------------

void LinkTest::statusButtonsWithoutPortSendNothing()
{
    f->setPortList({"COM3"});
    setupWindow->ports()->setUpModeButton->click();
    QVERIFY(setupWindow->ports()->setUpModeButton->isChecked());
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(!setupWindow->parameters()->writeParametersButton->isEnabled());
}

void LinkTest::statusButtonsSendModeAndSwitchSetUpControls()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    setupWindow->board()->link()->setExpectingReply(false);
    setupWindow->ports()->setUpModeButton->click();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
    QVERIFY(setupWindow->parameters()->writeParametersButton->isEnabled());
    QVERIFY(setupWindow->board()->expectingReply());
    QCOMPARE(f->sim.clock.pauses.size(), 0);
    setupWindow->ports()->activeModeButton->click();
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 02 01 00 00 0A"));
    QVERIFY(!setupWindow->parameters()->writeParametersButton->isEnabled());
    setupWindow->ports()->txModeButton->click();
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 02 03 00 00 0A"));
    QVERIFY(!setupWindow->parameters()->readParametersButton->isEnabled());
}

void LinkTest::reselectingSelectedButtonSendsNothing()
{
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->ports()->setUpModeButton->click();
    f->port->clearSent();
    SelectRadioButton(setupWindow->ports()->setUpModeButton);
    QVERIFY(f->port->sent.isEmpty());
    // The main window's start-up calls the handler directly: it acts because SetUp is selected.
    setupWindow->ports()->setUpModeChosen();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
}

void LinkTest::defaultBankButtonSendsBankWrite()
{
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
    setupWindow->board()->link()->setExpectingReply(false);
    setupWindow->parameters()->defaultBank2Button->click();
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 06 02 00 00 0A")});
    QVERIFY(setupWindow->board()->expectingReply());
    QVERIFY(!setupWindow->parameters()->defaultBank1Button->isChecked());
    SelectRadioButton(setupWindow->parameters()->defaultBank3Button);
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 06 03 00 00 0A"));
    QVERIFY(!setupWindow->parameters()->defaultBank2Button->isChecked());
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

// ---- Device loss ---------------------------------------------------------------

void LinkTest::deviceLossDuringSweepClosesAndStopsEverything()
{
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    setupWindow->ports()->setUpModeButton->click();
    setupWindow->parameters()->readParameters();
    f->sim.clock.advance(500);
    f->port->vanish();
    QVERIFY(!setupWindow->board()->reading());
    QCOMPARE(setupWindow->ports()->portOpenIndicator->BrushColor(), GREY);
    QVERIFY(setupWindow->ports()->portList->isEnabled());
    QVERIFY(setupWindow->ports()->activeModeButton->isChecked());
    QVERIFY(!setupWindow->ports()->modeBox->isEnabled());
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].contains("/dev/ttyACM0"));
    QVERIFY(f->dialogs.messages[0].contains("lost"));
    const int logged = trafficMonitor->sentLog->LinesCount();
    f->sim.clock.advance(5000);
    QCOMPARE(trafficMonitor->sentLog->LinesCount(), logged);
    QCOMPARE(f->port->closeCount, 1);
}

void LinkTest::deviceLossDuringConnectionCheckClosesTheDialog()
{
    f->setPortList({"COM3"});
    f->openPort();
    setupWindow->show();
    f->sim.clock.advance(2000);
    QVERIFY(waitDialog->isVisible());
    f->port->vanish();
    QVERIFY(!waitDialog->isVisible());
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void LinkTest::deviceLossDuringWriteSaysHowFarItGot()
{
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    setupWindow->ports()->setUpModeButton->click();
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        e->setText("1");
    setupWindow->parameters()->frequencyEvoButton->setChecked(true);
    f->port->clearSent();
    setupWindow->parameters()->writeParametersButton->click();
    f->port->feed(hexBytes("32 06 02")); // an answer the write keeps for later
    f->sim.clock.advance(1950);
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].startsWith(
        "Write Parameters stopped after 20 of 85 values: the connection to /dev/ttyACM0 was lost."));
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->parameters()->writeParametersButton->isEnabled()); // set-up controls off, as after closing
    QVERIFY(!setupWindow->board()->link()->busy());
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 20);
    QVERIFY(!setupWindow->parameters()->defaultBank2Button->isChecked()); // the kept answer died with the link
}

void LinkTest::writeOnAClosedPortRefusesAndSendsNothing()
{
    setupWindow->ports()->setUpModeButton->click();
    setupWindow->board()->setSetUpMode(true);
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        e->setText("1");
    setupWindow->parameters()->frequencyEvoButton->setChecked(true);
    setupWindow->parameters()->writeParametersButton->click();
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Write Parameters needs an open port: open the board's port first."});
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(!waitDialog->isVisible());
}

TAVRIN_TEST_MAIN(LinkTest)
#include "tst_link.moc"
