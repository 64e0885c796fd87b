// The board at the other end of a connection, read without the screen: its
// serial number counts only once all its bytes answered in this connection;
// the values a read gives follow the screen's own rules; the default bank
// goes with "Write Parameters" only when the board holds another.
#include "TestMain.h"

#include "comm/Frames.h"
#include "common/Define.h"
#include "params/BoardIdentity.h"
#include "params/BoardModel.h"
#include "params/ParameterWriter.h"
#include "params/ReadState.h"

#include <initializer_list>

using namespace Params;

namespace {

QByteArray reply(int address, int value)
{
    QByteArray block;
    for (int v : {int('2'), address, value})
        block.append(static_cast<char>(v));
    return block;
}

// Replies as address and value.
using Replies = QList<std::pair<int, int>>;

// Lot 1523 (0x05F3) at 100..103, the running serial at 104..107.
const Replies LOT_1523 = {{100, 0}, {101, 0}, {102, 0x05}, {103, 0xF3}};
Replies runningSerial(int serial)
{
    return {{104, 0}, {105, 0}, {106, serial >> 8}, {107, serial & 0xFF}};
}

// Feeds the replies to the model, then ends a read in which `unanswered` did not answer.
void read(BoardModel& image, const Replies& replies, const QList<int>& unanswered)
{
    QList<int> asked = unanswered;
    for (const auto& [address, value] : replies) {
        image.receive(reply(address, value));
        asked.append(address);
    }
    image.readEnded(asked, unanswered);
}

} // namespace

class BoardIdentityTest : public QObject {
    Q_OBJECT
private slots:
    void serialNumberCountsOnceEveryByteAnswered_data();
    void serialNumberCountsOnceEveryByteAnswered();
    void anotherBoardAfterTheCloseIsKnownOnlyByItsOwnRead();
    void writesAndReadBacksAreTheBoards();
    void typedValuesStandUntilTheBoardHoldsThem();
    void readValuesFollowTheScreensRules_data();
    void readValuesFollowTheScreensRules();
    void defaultBankGoesOnlyWhenTheBoardHoldsAnother_data();
    void defaultBankGoesOnlyWhenTheBoardHoldsAnother();
    void writePlanEndsWithTheDefaultBankFrame();
};

void BoardIdentityTest::serialNumberCountsOnceEveryByteAnswered_data()
{
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QList<int>>("unanswered");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("serialNumber");
    QTest::newRow("every byte") << LOT_1523 + runningSerial(42) << QList<int>{} << "1523-0042"
                                << "1523-0042";
    QTest::newRow("running serial lost") << LOT_1523 << QList<int>{104, 105, 106, 107} << "1523-1523"
                                         << "";
    QTest::newRow("one byte of the lot lost") << Replies{{100, 0}, {101, 0}, {102, 0x05}}
                                                     + runningSerial(7)
                                              << QList<int>{103} << "1280-0007"
                                              << "";
    QTest::newRow("nothing read") << Replies{} << QList<int>{100, 101, 102, 103, 104, 105, 106, 107}
                                  << ""
                                  << "";
}

void BoardIdentityTest::serialNumberCountsOnceEveryByteAnswered()
{
    QFETCH(Replies, replies);
    QFETCH(QList<int>, unanswered);
    QFETCH(QString, shown);
    QFETCH(QString, serialNumber);
    BoardModel image;
    read(image, replies, unanswered);
    QCOMPARE(image.serialNumber(), shown);
    QCOMPARE(image.identity().serialNumber(), serialNumber);
}

void BoardIdentityTest::anotherBoardAfterTheCloseIsKnownOnlyByItsOwnRead()
{
    BoardModel image;
    read(image, LOT_1523 + runningSerial(42), {});
    QCOMPARE(image.identity().serialNumber(), QString("1523-0042"));

    // Closed; another board opened, not read yet.
    BoardIdentity identity = image.identity();
    identity.forget();
    QCOMPARE(identity.serialNumber(), QString());
    QCOMPARE(identity.shown(), QString("1523-0042")); // what the header still shows

    // Its read loses the running serial: the latches still hold the last board's.
    for (const auto& [address, value] : LOT_1523)
        for (const DecoderEffect& effect : ParameterDecoder().decode(reply(address, value)))
            identity.follow(effect);
    ReadState halfRead;
    halfRead.readEnded(BoardIdentity::addresses(), {104, 105, 106, 107});
    identity.readEnded(halfRead);
    QCOMPARE(identity.serialNumber(), QString());

    BoardModel second;
    read(second, LOT_1523 + runningSerial(7), {});
    QCOMPARE(second.identity().serialNumber(), QString("1523-0007"));
    QCOMPARE(BoardIdentity::addresses(), (QList<int>{100, 101, 102, 103, 104, 105, 106, 107}));
}

// What the tool wrote is what the board holds until a read says otherwise; a
// read back that finds it is a verification, pair by pair and byte by byte.
void BoardIdentityTest::writesAndReadBacksAreTheBoards()
{
    BoardModel model;
    read(model, {{24, 0x04}, {25, 0xB0}, {28, 200}, {40, 1}}, {});
    const ParameterField& swing = *fieldByEdit(QStringLiteral("bank1SwingSensitivity"));
    const ParameterField& red = *fieldByEdit(QStringLiteral("bank1GuardRed"));
    QCOMPARE(model.value(swing), 1200);
    // Typed in, Bank 1 Guard green (29) is still nothing the board was seen to hold.
    model.readState().setByUser(29);
    QVERIFY(model.unknownNames().contains(QStringLiteral("Bank 1 Guard green")));
    QVERIFY(!model.unknownNames().contains(QStringLiteral("Bank 1 Swing sensitivity")));

    // Bank 1 Swing sensitivity 1500 (0x05DC), Guard red 90; the board's mode is no value.
    for (const auto& [address, value] : {std::pair{24, 0x05}, {25, 0xDC}, {28, 90}, {2, 2}})
        model.frameSent(ParameterWriteFrame(address, value));
    QCOMPARE(model.value(swing), 1500);
    QCOMPARE(model.text(QStringLiteral("bank1GuardRed")), QString("90"));
    QCOMPARE(model.fileContent().edits.value(QStringLiteral("bank1SwingSensitivity")), QString("1500"));
    QCOMPARE(model.readState().valueOrigin(24), Origin::Written);
    QCOMPARE(model.readState().origin(2), Origin::NeverRead);

    // Read back: the high byte as written, the low byte not; red as written.
    model.answered(24, 0x05);
    QCOMPARE(model.readState().valueOrigin(24), Origin::Written);
    model.answered(25, 0xDD);
    model.receive(reply(28, 90));
    model.answered(28, 90);
    QCOMPARE(model.value(swing), 1501);
    QCOMPARE(model.readState().valueOrigin(25), Origin::Read);
    QCOMPARE(model.readState().valueOrigin(red.address), Origin::Verified);
    QCOMPARE(model.readState().origin(40), Origin::Read);
}

void BoardIdentityTest::typedValuesStandUntilTheBoardHoldsThem()
{
    BoardModel model;
    read(model, {{24, 0x04}, {25, 0xB0}, {28, 200}, {29, 5}, {178, 1}, {6, 1}}, {});
    const ParameterField& swing = *fieldByEdit(QStringLiteral("bank1SwingSensitivity"));
    model.type(swing, QStringLiteral("1500"));
    model.type(*fieldByEdit(QStringLiteral("bank1GuardRed")), QStringLiteral("9x")); // no number yet
    model.chooseFrequency(3);
    model.chooseDefaultBank(2);
    // What the screen shows and "Save..." keeps is the user's; the board's is the read.
    const ParameterFileContent shown = model.shownFileContent();
    QCOMPARE(shown.edits.value(QStringLiteral("bank1SwingSensitivity")), QString("1500"));
    QCOMPARE(shown.edits.value(QStringLiteral("bank1GuardRed")), QString("9x"));
    QCOMPARE(shown.edits.value(QStringLiteral("bank1GuardGreen")), QString("5"));
    QCOMPARE(shown.frequencyMode, 3);
    QCOMPARE(shown.defaultBank, 2);
    QCOMPARE(model.fileContent().edits.value(QStringLiteral("bank1SwingSensitivity")), QString("1200"));
    QCOMPARE(model.fileContent().frequencyMode, 1);

    // 1500 is 0x05DC: with the high byte alone written the board holds neither
    // value, and the typed one stands.
    model.frameSent(ParameterWriteFrame(24, 0x05));
    QCOMPARE(model.shownText(QStringLiteral("bank1SwingSensitivity")), QString("1500"));
    model.frameSent(ParameterWriteFrame(25, 0xDC));
    model.frameSent(ParameterWriteFrame(178, 3));
    QCOMPARE(model.shownFileContent().frequencyMode, 3);
    model.frameSent(ParameterWriteFrame(6, 2));
    QCOMPARE(model.shownDefaultBank(), 2);
    model.receive(reply(24, 0x04)); // read again: the board's answer replaces what was shown
    QCOMPARE(model.shownText(QStringLiteral("bank1SwingSensitivity")), QString("1244"));
    model.receive(reply(28, 77));
    QCOMPARE(model.shownText(QStringLiteral("bank1GuardRed")), QString("77"));
    model.receive(reply(178, 2));
    model.receive(reply(6, 1));
    QCOMPARE(model.shownFileContent().frequencyMode, 2);
    QCOMPARE(model.shownDefaultBank(), 1);
}

void BoardIdentityTest::readValuesFollowTheScreensRules_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::newRow("bank 1 flicker not set") << 174 << 255 << "bank1FlickerRed"
                                            << "100";
    QTest::newRow("bank 1 flicker above the range") << 177 << 101 << "bank1FlickerWhite"
                                                    << "100";
    QTest::newRow("bank 1 flicker at the top") << 175 << 100 << "bank1FlickerGreen"
                                               << "100";
    QTest::newRow("bank 1 flicker in range") << 176 << 7 << "bank1FlickerBlue"
                                             << "7";
    QTest::newRow("bank 2 flicker not set") << 198 << 255 << "bank2FlickerRed"
                                            << "0";
    QTest::newRow("bank 3 flicker above the range") << 223 << 150 << "bank3FlickerGreen"
                                                    << "100";
    QTest::newRow("guard red not set") << 28 << 255 << "bank1GuardRed"
                                       << "25";
    QTest::newRow("guard white not set") << 45 << 255 << "bank1GuardWhite"
                                         << "255";
}

void BoardIdentityTest::readValuesFollowTheScreensRules()
{
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(QString, edit);
    QFETCH(QString, text);
    BoardModel image;
    image.receive(reply(address, value));
    QCOMPARE(image.text(edit), text);
    QCOMPARE(image.fileContent().edits.value(edit), text);
}

void BoardIdentityTest::defaultBankGoesOnlyWhenTheBoardHoldsAnother_data()
{
    QTest::addColumn<std::optional<int>>("chosen");
    QTest::addColumn<std::optional<int>>("onBoard");
    QTest::addColumn<std::optional<int>>("sent");
    QTest::newRow("the board holds another") << std::optional<int>(2) << std::optional<int>(1)
                                             << std::optional<int>(2);
    QTest::newRow("the board holds it") << std::optional<int>(3) << std::optional<int>(3) << std::optional<int>();
    QTest::newRow("the board's never read") << std::optional<int>(2) << std::optional<int>()
                                            << std::optional<int>();
    QTest::newRow("none chosen") << std::optional<int>() << std::optional<int>(1) << std::optional<int>();
}

void BoardIdentityTest::defaultBankGoesOnlyWhenTheBoardHoldsAnother()
{
    QFETCH(std::optional<int>, chosen);
    QFETCH(std::optional<int>, onBoard);
    QFETCH(std::optional<int>, sent);
    QCOMPARE(DefaultBankToWrite(chosen, onBoard), sent);
}

void BoardIdentityTest::writePlanEndsWithTheDefaultBankFrame()
{
    const auto one = [](const QString&) { return QStringLiteral("1"); };
    const WritePlanResult withBank = PlanParameterWrite(one, Define::FREQUENCY_EVO, 2);
    QVERIFY(withBank.ok());
    const QList<ParameterWrite> writes = withBank.plan.all();
    QCOMPARE(writes.size(), 86);
    QCOMPARE(writes[28], (ParameterWrite{178, 3})); // bank 1 still ends with the frequency mode
    QCOMPARE(writes.last(), (ParameterWrite{6, 2}));
    QCOMPARE(ParameterWriteFrame(writes.last().address, writes.last().value).toHex(' '),
             QByteArray("23 31 06 02 00 00 0a"));
    QCOMPARE(PlanParameterWrite(one, Define::FREQUENCY_EVO).plan.all().size(), 85);
}

TAVRIN_TEST_MAIN(BoardIdentityTest)
#include "tst_board_identity.moc"
