// Parameters end to end: read the simulated board's memory onto the screen,
// change a few fields, write them back and compare the board's memory.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "comm/SerialPort.h"
#include "common/Define.h"
#include "params/ParameterLayout.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>

namespace {
constexpr int SWEEP_DONE_MS = 15000;
constexpr int WRITE_DONE_MS = 30000; // 85 frames 100 ms apart, with room for a slow machine
} // namespace

class ParametersEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readChangeWriteRoundTripsThroughTheBoard();
    void badFieldSendsNothingToTheBoard();
    void fileSavedFromOneBoardIsWrittenToAnother();
    void verifyFindsTheValueChangedBehindTheToolsBack();
    // Answers the board hands over joined in one write: the screen shows the
    // board's own values, and "Write Parameters" sends exactly them.
    void answersJoinedOrLateShowAndWriteBackTheBoardsOwnValues_data();
    void answersJoinedOrLateShowAndWriteBackTheBoardsOwnValues();

private:
    QString text(const char* name) const { return edit(name)->text(); }
    QLineEdit* edit(const char* name) const { return setupWindow->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void readBoard();
    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void ParametersEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({}, {}, &why), qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
}

void ParametersEndToEndTest::cleanup()
{
    QString report;
    QVERIFY2(e2e.finish(&report), qPrintable(report));
}

void ParametersEndToEndTest::readBoard()
{
    QVERIFY(e2e.openBoardPort());
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, SWEEP_DONE_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    // One read: answers that arrive joined are cut apart, and what is lost on
    // the way is asked for again by the read itself.
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->reading(); }, SWEEP_DONE_MS));
    QStringList empty;
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        if (e->isEnabled() && e->text().isEmpty())
            empty << e->objectName();
    QVERIFY2(empty.isEmpty(), qPrintable(empty.join(' ')));
}

void ParametersEndToEndTest::readChangeWriteRoundTripsThroughTheBoard()
{
    QVERIFY(board->setParam(28, 255));  // bank 1 Guard red not set
    QVERIFY(board->setParam(36, 77));   // bank 1 Clash duration
    QVERIFY(board->setParam(48, 0x12)); // bank 2 Swing sensitivity 0x1234
    QVERIFY(board->setParam(49, 0x34));
    readBoard();
    QCOMPARE(edit("bank1GuardRed")->text(), QString("25"));
    QCOMPARE(edit("bank1ClashDuration")->text(), QString("77"));
    QCOMPARE(edit("bank2SwingSensitivity")->text(), QString("4660"));
    QCOMPARE(edit("bank1GuardWhite")->text(), QString::number(board->param(45)));
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(),
             QString::number(board->param(Define::ADDR_VERSIONE)) + ".0");

    // The swatches show the board's colours: Guard of a fresh board 1, Swing of bank 2.
    QCOMPARE(control<QWidget>(setupWindow, "bank1GuardSwatch")->accessibleDescription(),
             QString("Bank 1 Guard: red 25, green 5, blue 240, white 0; flicker red 10, green 10, blue 10, white 0"));
    QCOMPARE(control<QWidget>(setupWindow, "bank2SwingSwatch")->accessibleDescription(),
             QString("Bank 2 Swing: red 254, green 20, blue 0, white 40"));
    auto* status = control<ValueLabel>(setupWindow, "parameterStatus");
    QCOMPARE(status->value(), QString("The screen shows what the board holds."));

    edit("bank1GuardRed")->setText("200");    // address 28
    edit("bank2ClashSensitivity")->setText("65535"); // address 50/51
    edit("bank2FlickerWhite")->setText("42");     // address 201
    // Until written, a changed value's tooltip says what the board holds.
    QVERIFY2(edit("bank1GuardRed")->toolTip().endsWith("\nOn the board: 25"),
             qPrintable(edit("bank1GuardRed")->toolTip()));
    QVERIFY(edit("bank2ClashSensitivity")->toolTip().contains("\nOn the board: "));
    control<QRadioButton>(setupWindow, "frequencyStdButton")->setChecked(true);
    QCOMPARE(status->value(), QString("3 values on the screen differ from the board: \"Write Parameters\" sends them."));
    QCOMPARE(edit("bank2FlickerWhite")->accessibleDescription(), QString("the board holds 0"));
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->writing(); }, WRITE_DONE_MS));
    QCOMPARE(status->value(), QString("The screen shows what the board holds."));
    QCOMPARE(edit("bank2FlickerWhite")->accessibleDescription(), QString());
    for (const char* written : {"bank1GuardRed", "bank2ClashSensitivity", "bank2FlickerWhite"})
        QVERIFY2(!edit(written)->toolTip().contains("On the board"), written);

    QCOMPARE(board->param(28), 200);
    QCOMPARE(board->param(50), 0xFF);
    QCOMPARE(board->param(51), 0xFF);
    QCOMPARE(board->param(201), 42);
    QCOMPARE(board->param(178), 1);
    QCOMPARE(board->param(36), 77);
    QCOMPARE(board->param(48), 0x12);
    QCOMPARE(board->param(49), 0x34);
    QVERIFY(f->dialogs.errors.isEmpty());
}

void ParametersEndToEndTest::badFieldSendsNothingToTheBoard()
{
    readBoard();
    const QByteArray before = board->dump("params");
    QVERIFY(!before.isEmpty());
    edit("bank1ClashRed")->setText("7"); // a change that must not reach the board
    edit("bank2ClashGreen")->setText("300");
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QCOMPARE(f->dialogs.errors, QStringList{"Bank 2 Clash green must be between 0 and 255 (it is 300)."});
    QVERIFY(!setupWindow->board()->writing());
    RunEventsFor(300);
    QCOMPARE(board->dump("params"), before);
}

void ParametersEndToEndTest::fileSavedFromOneBoardIsWrittenToAnother()
{
    QVERIFY(board->setParam(28, 201)); // bank 1 Guard red
    QVERIFY(board->setParam(201, 33)); // bank 2 flicker white
    readBoard();
    QTemporaryDir folder;
    const QString path = folder.filePath("first-board.json");
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "saveParametersButton")->click();
    setupWindow->ports()->closePort();

    SimBoard::Options options;
    options.portsDir = board->portsDir();
    options.name = "second-board";
    SimBoard second(options);
    QVERIFY2(second.isRunning(), qPrintable(second.errorOutput()));
    QVERIFY(second.param(28) != 201);
    control<QComboBox>(setupWindow, "portList")->clear();
    setupWindow->ports()->listPorts();
    f->openPort(control<QComboBox>(setupWindow, "portList")->findText(second.portPath()));
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor(
        [&] { return second.mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX && second.busyMs() == 0; },
        SWEEP_DONE_MS));
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "loadParametersButton")->click();
    QCOMPARE(edit("bank1GuardRed")->text(), QString("201"));
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->writing(); }, WRITE_DONE_MS));

    QCOMPARE(second.param(28), 201);
    QCOMPARE(second.param(201), 33);
    const QByteArray written = second.dump("params");
    const QByteArray saved = board->dump("params");
    for (int bank = Define::BANK1; bank <= Define::BANK3; ++bank)
        for (const int address : Params::writeAddresses(bank))
            QVERIFY2(written[address] == saved[address], qPrintable(QString::number(address)));
    QVERIFY(f->dialogs.errors.isEmpty());
}

void ParametersEndToEndTest::verifyFindsTheValueChangedBehindTheToolsBack()
{
    QVERIFY(board->setParam(48, 0x12)); // bank 2 Swing sensitivity 4660
    QVERIFY(board->setParam(49, 0x34));
    readBoard();
    QByteArray before = board->dump("params");
    control<QPushButton>(setupWindow, "verifyParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->link()->busy() && !f->dialogs.messages.isEmpty(); },
                    SWEEP_DONE_MS));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Verify: the board holds every value the screen shows (85 of 85 values verified)."});

    QVERIFY(board->setParam(49, 0x35));
    f->dialogs.messages.clear();
    control<QPushButton>(setupWindow, "verifyParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->link()->busy() && !f->dialogs.messages.isEmpty(); }, SWEEP_DONE_MS));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Verify: 83 of 85 values verified. Where the screen and the board differ:\n"
                         "Bank 2 Swing sensitivity: screen 4660, board 4661"});
    QCOMPARE(edit("bank2SwingSensitivity")->text(), QString("4660"));
    before[49] = 0x35;
    QCOMPARE(board->dump("params"), before); // nothing was written
    QVERIFY(f->dialogs.errors.isEmpty());
}

void ParametersEndToEndTest::answersJoinedOrLateShowAndWriteBackTheBoardsOwnValues_data()
{
    QTest::addColumn<QString>("answering"); // how the board answers, as its control sets it
    QTest::addColumn<QByteArray>("awaitedBlock"); // as the tool receives it
    QTest::addColumn<QByteArray>("cameBefore");   // how the answer it was held behind starts; empty: none
    QTest::newRow("23+24") << "join 23 24" << hexBytes("32 17 00 32 18 04") << QByteArray();
    QTest::newRow("37+38") << "join 37 38" << hexBytes("32 25 36 32 26 B0") << QByteArray();
    QTest::newRow("177+178") << "join 177 178" << hexBytes("32 B1 3C 32 B2 01") << QByteArray();
    QTest::newRow("0+1") << "join 0 1" << hexBytes("32 00 00 32 01 07") << QByteArray();
    QTest::newRow("a separate answer after a joined block") << "join 23 24 late" << hexBytes("32 17 00 32 18 04")
                                                             << QByteArray();
    // Answers out of order: one held back behind others, the pair's either half
    // or a one-byte value.
    QTest::newRow("24 after 20 others") << "late 24 20" << hexBytes("32 18 04") << hexBytes("32 2C");
    QTest::newRow("25 after 5 others") << "late 25 5" << hexBytes("32 19 B0") << hexBytes("32 1E");
    QTest::newRow("178 after 5 others") << "late 178 5" << hexBytes("32 B2 01") << hexBytes("32 B7");
}

void ParametersEndToEndTest::answersJoinedOrLateShowAndWriteBackTheBoardsOwnValues()
{
    QFETCH(QString, answering);
    QFETCH(QByteArray, awaitedBlock);
    QFETCH(QByteArray, cameBefore);
    const QList<std::pair<int, int>> values = {
        {0, 0},     {1, 7},      // release 7
        {23, 0},    {24, 0x04}, {25, 0xB0}, // bank 1 Swing sensitivity 1200
        {37, 0x36}, {38, 0xB0},             // bank 1 Power Clash sensitivity 14000
        {61, 0x2E}, {62, 0xE0},             // bank 2 Power Clash sensitivity 12000
        {177, 60},  {178, 1},               // bank 1 flicker white 60, frequency Std
    };
    for (const auto& [address, value] : values)
        QVERIFY(board->setParam(address, value));
    QVERIFY(board->controlOk(answering));
    QList<QByteArray> blocks;
    const QObject listening;
    connect(setupWindow->board()->link(), &BoardLink::blockReceived, &listening,
            [&blocks](const QByteArray& block) { blocks.append(block); });

    readBoard();
    const QByteArray stream = blocks.join();
    QVERIFY2(blocks.contains(awaitedBlock) || (!cameBefore.isEmpty() && stream.contains(awaitedBlock)),
             "the board's answers did not arrive as set");
    // Held back: the board sent it after the answer it was held behind.
    if (!cameBefore.isEmpty())
        QVERIFY2(stream.indexOf(cameBefore) < stream.indexOf(awaitedBlock), "the answer was not held back");

    QCOMPARE(text("bank1SwingSensitivity"), QString("1200"));
    QCOMPARE(text("bank1PowerClashSensitivity"), QString("14000"));
    QCOMPARE(text("bank2PowerClashSensitivity"), QString("12000"));
    QCOMPARE(text("bank1FlickerWhite"), QString("60"));
    QVERIFY(control<QRadioButton>(setupWindow, "frequencyStdButton")->isChecked());
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));

    const QByteArray before = board->dump("params");
    QVERIFY(!before.isEmpty());
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->writing(); }, WRITE_DONE_MS));
    QCOMPARE(board->dump("params"), before);
    QVERIFY(f->dialogs.messages.isEmpty());
    QVERIFY(f->dialogs.errors.isEmpty());
}

TAVRIN_TEST_MAIN(ParametersEndToEndTest)
#include "common/ui/ValueLabel.h"
#include "tst_parameters_e2e.moc"
