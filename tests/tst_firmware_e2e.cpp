// Firmware update end to end: the real windows and serial component against the
// simulated board. The user's dip-switch moves are made through the
// simulator's control channel when the tool asks for them.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "HexImage.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "comm/ui/PortPanel.h"
#include "common/Define.h"
#include "firmware/HandOver.h"
#include "firmware/ui/FirmwareWindow.h"
#include "params/ui/HeaderPanel.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>

namespace {
const QString LOADER_DIPS = "Please put the dipswitch in position for bootloader procedure and then press OK";
const QString ACTIVE_DIPS = "Set the dipswitches for active status.";
const QString BLUE_LED = "Check the led must be blue.  If yes, press program button";
const QString NO_APPLICATION =
    "The board has no complete application now. Leave its switches on the loader and "
    "run \"Erase\" and \"Program\" again.";
constexpr int FIRMWARE_BYTES = 32 * 1024;
constexpr int RECORD_BYTES = 32;
constexpr int STEP_MS = 10000;
constexpr int PROGRAM_MS = 240000; // 16384 words 4 ms apart, with room for a loaded machine
constexpr int SWEEP_DONE_MS = 15000;
constexpr int SETTLE_MS = 300;

} // namespace

class FirmwareEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void updateReplacesTheBoardsApplication();
    void unplugDuringRunSaysHowManyWordsWereSent();
    void eraseAnsweredNoSendsNothing();
    void fileChangedAfterChoosingIsRefusedAtErase();
    void closingTheFirmwareWindowGivesThePortBackToTheModeButtons();

private:
    void handOverToLoader();
    QString writeFile(const QByteArray& content) const;
    void chooseAndErase(const QString& path);

    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void FirmwareEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({}, {}, &why), qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
    e2e.moveDipSwitchesWhenAsked();
}

void FirmwareEndToEndTest::cleanup()
{
    e2e.stop();
}

QString FirmwareEndToEndTest::writeFile(const QByteArray& content) const
{
    const QString path = f->folder.filePath("update.hex");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

void FirmwareEndToEndTest::handOverToLoader()
{
    QVERIFY(e2e.openBoardPort());
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, STEP_MS));
    control<QPushButton>(setupWindow, "firmwareButton")->click();
    QVERIFY(WaitFor(
        [] { return firmwareWindow->isVisible() && !setupWindow->header()->handOver().timer()->Enabled(); },
        STEP_MS));
    QVERIFY(setupWindow->board()->serialPort()->IsOpen());
    QVERIFY(WaitFor([&] { return board->control("firmware") == "ok loader"; }, STEP_MS));
}

void FirmwareEndToEndTest::chooseAndErase(const QString& path)
{
    f->dialogs.files.enqueue(path);
    firmwareWindow->fileButton->click();
    QVERIFY(firmwareWindow->eraseButton->isEnabled());
    firmwareWindow->eraseButton->click();
    // Off until the loader's "C" comes back through the real port.
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(WaitFor([] { return firmwareWindow->programButton->isEnabled(); }, STEP_MS));
    QVERIFY(WaitFor([&] { return f->dialogs.messages.contains(BLUE_LED); }, STEP_MS));
}

void FirmwareEndToEndTest::updateReplacesTheBoardsApplication()
{
    handOverToLoader();
    const HexImage image = MakeHexImage(FIRMWARE_BYTES, RECORD_BYTES);
    QVERIFY(image.text.size() > FIRMWARE_BYTES);
    chooseAndErase(writeFile(image.text));
    QCOMPARE(
        firmwareWindow->fileSummary->text(),
        QString("0x0000-0x7FFF, 32768 bytes, 16384 words\n1025 lines, programming takes about 1 min 6 s"));

    firmwareWindow->programButton->click();
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QVERIFY(WaitFor([] { return firmwareWindow->runStep > 8; }, PROGRAM_MS));
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QCOMPARE(firmwareWindow->runProgress->text(), QString("16384 of 16384 words written, about 0 s left"));
    QVERIFY2(f->dialogs.errors.isEmpty(), qPrintable(f->dialogs.errors.join('\n')));
    QCOMPARE(board->dump("program"), LoaderWordBytes(image.data));

    // Back in its application, in set-up mode, with the parameters read again.
    QCOMPARE(board->control("firmware"), QString("ok app"));
    QCOMPARE(board->mode(), Define::STATO_TAVRIN_COMMAND_MODE_NOTX);
    QVERIFY(WaitFor([] { return !setupWindow->board()->reading(); }, SWEEP_DONE_MS));
    RunEventsFor(SETTLE_MS);
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(),
             QString::number(board->param(Define::ADDR_VERSIONE)) + ".0");
    QCOMPARE(f->dialogs.messages,
             (QStringList{LOADER_DIPS, BLUE_LED,
                          "Programming done: 16384 words written. The board has its new application.",
                          ACTIVE_DIPS}));
}

void FirmwareEndToEndTest::unplugDuringRunSaysHowManyWordsWereSent()
{
    handOverToLoader();
    const HexImage image = MakeHexImage(FIRMWARE_BYTES / 4, RECORD_BYTES);
    chooseAndErase(writeFile(image.text));
    f->dialogs.clear();
    firmwareWindow->programButton->click();
    QVERIFY(WaitFor([] { return setupWindow->board()->link()->progress().done >= 20; }, STEP_MS));
    QVERIFY(board->controlOk("unplug"));
    QVERIFY(WaitFor([&] { return !f->dialogs.messages.isEmpty(); }, STEP_MS));
    const QString message = f->dialogs.messages.first();
    const QString words = message.section(' ', 3, 3);
    QVERIFY2(message.startsWith("Program stopped after ") &&
                 message.contains(QString(" of %1 words: the connection to ").arg(FIRMWARE_BYTES / 4 / 2)) &&
                 message.contains(" was lost.\n" + NO_APPLICATION + "\n"),
             qPrintable(message));
    QVERIFY(words.toInt() >= 20);
    QVERIFY(!firmwareWindow->returnTimer->Enabled());
    QVERIFY(!setupWindow->board()->link()->busy());
    RunEventsFor(SETTLE_MS);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void FirmwareEndToEndTest::eraseAnsweredNoSendsNothing()
{
    handOverToLoader();
    f->dialogs.files.enqueue(writeFile(MakeHexImage(FIRMWARE_BYTES / 8, RECORD_BYTES).text));
    firmwareWindow->fileButton->click();
    const qint64 frames = board->counter("frames");
    f->dialogs.answers.enqueue(false);
    firmwareWindow->eraseButton->click();
    RunEventsFor(SETTLE_MS);
    QCOMPARE(board->counter("frames"), frames);
    QVERIFY(!firmwareWindow->programButton->isEnabled());
    QCOMPARE(f->dialogs.questions.last(),
             QString("Erase the board's application? The board does nothing until a new one is programmed."));
}

void FirmwareEndToEndTest::fileChangedAfterChoosingIsRefusedAtErase()
{
    handOverToLoader();
    const HexImage image = MakeHexImage(FIRMWARE_BYTES / 8, RECORD_BYTES);
    const QString path = writeFile(image.text);
    f->dialogs.files.enqueue(path);
    firmwareWindow->fileButton->click();
    QVERIFY(firmwareWindow->eraseButton->isEnabled());
    // A data line lost from the middle: every word after it would land 32 bytes early.
    QList<QByteArray> lines = image.text.split('\n');
    lines.removeAt(3);
    writeFile(lines.join('\n'));
    const qint64 frames = board->counter("frames");
    f->dialogs.clear();
    firmwareWindow->eraseButton->click();
    QCOMPARE(f->dialogs.messages,
             QStringList{path +
                         " cannot be sent to the board, line 4: address 0x0080 leaves a gap after 0x005F."});
    QVERIFY(f->dialogs.questions.isEmpty());
    RunEventsFor(SETTLE_MS);
    QCOMPARE(board->counter("frames"), frames);
    QVERIFY(!firmwareWindow->eraseButton->isEnabled());
    QVERIFY(!firmwareWindow->programButton->isEnabled());
}

void FirmwareEndToEndTest::closingTheFirmwareWindowGivesThePortBackToTheModeButtons()
{
    handOverToLoader();
    firmwareWindow->close();
    // The port the hand-over opened again stays open: its list is off, as after "Open ".
    QVERIFY(setupWindow->board()->serialPort()->IsOpen());
    QVERIFY(!control<QComboBox>(setupWindow, "portList")->isEnabled());
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isChecked());

    // "TX" and "SetUp" go out on it at once, without "Open " being pressed again.
    QTemporaryFile log;
    QVERIFY(log.open());
    QVERIFY(board->controlOk("log " + log.fileName()));
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QVERIFY(e2e.waitUntilBoardIsReady());
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return SimBoard::receivedBytes(log.fileName()).size() >= 14; }, STEP_MS));
    QVERIFY(board->controlOk("log off"));
    QCOMPARE(SimBoard::receivedBytes(log.fileName()).toHex(' '),
             QByteArray("23 31 02 03 00 00 0a 23 31 02 04 00 00 0a"));
    QVERIFY(control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
}

TAVRIN_TEST_MAIN(FirmwareEndToEndTest)
#include "common/ui/ValueLabel.h"
#include "tst_firmware_e2e.moc"
