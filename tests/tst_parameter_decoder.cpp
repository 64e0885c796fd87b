// The decoder of read replies and the serial-number text.
#include "TestMain.h"

#include "params/BoardModel.h"
#include "params/ParameterDecoder.h"
#include "params/SerialNumber.h"

#include <QHash>
#include <initializer_list>

using namespace Params;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray block;
    for (int v : values)
        block.append(static_cast<char>(v));
    return block;
}

// A read reply: "2", address, value.
QByteArray reply(int address, int value)
{
    return bytes({'2', address, value});
}

QString describe(const DecoderEffect& effect)
{
    switch (effect.kind) {
    case DecoderEffect::Kind::SetReady:
        return QStringLiteral("ready");
    case DecoderEffect::Kind::SetText:
        return QStringLiteral("text %1=%2").arg(effect.control, effect.text);
    case DecoderEffect::Kind::SelectRadio:
        return QStringLiteral("radio %1").arg(effect.control);
    case DecoderEffect::Kind::FormatSerialNumber:
        return QStringLiteral("serial %1").arg(effect.number);
    case DecoderEffect::Kind::UnlistedFrequency:
        return QStringLiteral("frequency unknown %1").arg(effect.number);
    case DecoderEffect::Kind::ShowMessage:
        return QStringLiteral("message %1").arg(effect.text);
    }
    return {};
}

QStringList describe(const QList<DecoderEffect>& effects)
{
    QStringList lines;
    for (const DecoderEffect& effect : effects)
        lines.append(describe(effect));
    return lines;
}

// The window's side of the decoder, reduced to control texts.
struct Screen {
    QHash<QString, QString> text;
    QStringList messages;

    void apply(const QList<DecoderEffect>& effects)
    {
        for (const DecoderEffect& effect : effects) {
            if (effect.kind == DecoderEffect::Kind::SetText)
                text[effect.control] = effect.text;
            else if (effect.kind == DecoderEffect::Kind::FormatSerialNumber)
                text[QStringLiteral("serialNumber")] =
                    SerialHeaderText(text.value(QStringLiteral("serialLot")), effect.number);
            else if (effect.kind == DecoderEffect::Kind::ShowMessage)
                messages.append(effect.text);
        }
    }
};

} // namespace

class ParameterDecoderTest : public QObject {
    Q_OBJECT
private slots:
    void decodesReplies_data();
    void decodesReplies();
    void answersOutOfOrder_data();
    void answersOutOfOrder();
    void serialNumberAfterASweep_data();
    void serialNumberAfterASweep();
    void formatsSerialPart_data();
    void formatsSerialPart();
    void unsetLotNamesNoBoard_data();
    void unsetLotNamesNoBoard();
};

// ---- Decoder -------------------------------------------------------------------

void ParameterDecoderTest::decodesReplies_data()
{
    // Blocks go to one fresh decoder in order; the effects of the last are checked.
    QTest::addColumn<QList<QByteArray>>("blocks");
    QTest::addColumn<QStringList>("effects");

    // Loader acknowledgements and short blocks
    QTest::newRow("empty block") << QList<QByteArray>{QByteArray()} << QStringList{};
    QTest::newRow("A acknowledges") << QList<QByteArray>{"A"} << QStringList{"ready"};
    QTest::newRow("C acknowledges") << QList<QByteArray>{"C"} << QStringList{"ready"};
    QTest::newRow("A with more bytes") << QList<QByteArray>{bytes({'A', 28, 7})} << QStringList{"ready"};
    QTest::newRow("B is no acknowledgement") << QList<QByteArray>{"B"} << QStringList{};
    QTest::newRow("read code alone") << QList<QByteArray>{"2"} << QStringList{};
    QTest::newRow("read code and address") << QList<QByteArray>{bytes({'2', 28})} << QStringList{};
    QTest::newRow("other code") << QList<QByteArray>{bytes({'1', 28, 7})} << QStringList{};

    // Release, status, default bank, frequency
    QTest::newRow("release") << QList<QByteArray>{reply(1, 16)} << QStringList{"text releaseNumber=16.0"};
    QTest::newRow("status 1") << QList<QByteArray>{reply(2, 1)} << QStringList{"radio activeModeButton"};
    QTest::newRow("status 2") << QList<QByteArray>{reply(2, 2)} << QStringList{};
    QTest::newRow("status 3") << QList<QByteArray>{reply(2, 3)} << QStringList{"radio txModeButton"};
    QTest::newRow("status 4") << QList<QByteArray>{reply(2, 4)} << QStringList{"radio setUpModeButton"};
    QTest::newRow("status 255") << QList<QByteArray>{reply(2, 255)} << QStringList{};
    QTest::newRow("bank 1") << QList<QByteArray>{reply(6, 1)} << QStringList{"radio defaultBank1Button"};
    QTest::newRow("bank 2") << QList<QByteArray>{reply(6, 2)} << QStringList{"radio defaultBank2Button"};
    QTest::newRow("bank 3") << QList<QByteArray>{reply(6, 3)} << QStringList{"radio defaultBank3Button"};
    QTest::newRow("bank 255") << QList<QByteArray>{reply(6, 255)} << QStringList{"radio defaultBank1Button"};
    QTest::newRow("bank 0") << QList<QByteArray>{reply(6, 0)} << QStringList{};
    QTest::newRow("frequency 1") << QList<QByteArray>{reply(178, 1)} << QStringList{"radio frequencyStdButton"};
    QTest::newRow("frequency 2") << QList<QByteArray>{reply(178, 2)} << QStringList{"radio frequencyMedButton"};
    QTest::newRow("frequency 3") << QList<QByteArray>{reply(178, 3)} << QStringList{"radio frequencyEvoButton"};
    QTest::newRow("frequency 255") << QList<QByteArray>{reply(178, 255)} << QStringList{"radio frequencyEvoButton"};
    QTest::newRow("frequency 4") << QList<QByteArray>{reply(178, 4)} << QStringList{"frequency unknown 4"};
    QTest::newRow("frequency 0") << QList<QByteArray>{reply(178, 0)} << QStringList{"frequency unknown 0"};

    // One-byte parameters
    QTest::newRow("guard red unset") << QList<QByteArray>{reply(28, 255)} << QStringList{"text bank1GuardRed=25"};
    QTest::newRow("guard red 254") << QList<QByteArray>{reply(28, 254)} << QStringList{"text bank1GuardRed=254"};
    QTest::newRow("bank 2 swing blue unset")
        << QList<QByteArray>{reply(57, 255)} << QStringList{"text bank2SwingBlue=0"};
    QTest::newRow("bank 3 power clash green unset")
        << QList<QByteArray>{reply(91, 255)} << QStringList{"text bank3PowerClashGreen=254"};
    QTest::newRow("guard white unset") << QList<QByteArray>{reply(45, 255)} << QStringList{"text bank1GuardWhite=255"};
    QTest::newRow("clash white unset") << QList<QByteArray>{reply(58, 255)} << QStringList{"text bank2ClashWhite=255"};
    QTest::newRow("swing duration unset")
        << QList<QByteArray>{reply(35, 255)} << QStringList{"text bank1SwingDuration=255"};

    // Two-byte values
    QTest::newRow("swing sensitivity")
        << QList<QByteArray>{reply(24, 0x12), reply(25, 0x34)} << QStringList{"text bank1SwingSensitivity=4660"};
    QTest::newRow("sensitivity is unsigned")
        << QList<QByteArray>{reply(85, 0xFF), reply(86, 0xFF)} << QStringList{"text bank3PowerClashSensitivity=65535"};
    QTest::newRow("latches start at zero")
        << QList<QByteArray>{reply(25, 0x34)} << QStringList{"text bank1SwingSensitivity=52"};
    QTest::newRow("vertical calibration")
        << QList<QByteArray>{reply(8, 0xFF), reply(9, 0xFF)} << QStringList{"text verticalCalibration=-1"};
    QTest::newRow("horizontal low byte first")
        << QList<QByteArray>{reply(10, 0x00), reply(11, 0x80)} << QStringList{"text horizontalCalibration=-32768"};
    QTest::newRow("old serial high byte first")
        << QList<QByteArray>{reply(12, 0xFF), reply(13, 0xFE)} << QStringList{"text oldSerialNumber=-2"};
    QTest::newRow("a pair takes nothing of another pair")
        << QList<QByteArray>{reply(24, 0x12), reply(27, 0x05)} << QStringList{"text bank1ClashSensitivity=5"};
    QTest::newRow("a one-byte reply between the halves")
        << QList<QByteArray>{reply(25, 0x34), reply(28, 7), reply(24, 0x01)}
        << QStringList{"text bank1SwingSensitivity=308"};
    QTest::newRow("a frequency reply between the halves")
        << QList<QByteArray>{reply(25, 0x34), reply(178, 3), reply(24, 0x01)}
        << QStringList{"text bank1SwingSensitivity=308"};

    // Flicker
    QTest::newRow("bank 1 flicker unset")
        << QList<QByteArray>{reply(174, 255)} << QStringList{"text bank1FlickerRed=255"};
    QTest::newRow("bank 1 flicker 50") << QList<QByteArray>{reply(177, 50)} << QStringList{"text bank1FlickerWhite=50"};
    QTest::newRow("bank 2 flicker unset")
        << QList<QByteArray>{reply(198, 255)} << QStringList{"text bank2FlickerRed=0"};
    QTest::newRow("bank 2 flicker 100")
        << QList<QByteArray>{reply(201, 100)} << QStringList{"text bank2FlickerWhite=100"};
    QTest::newRow("bank 3 flicker unset")
        << QList<QByteArray>{reply(225, 255)} << QStringList{"text bank3FlickerWhite=0"};
    QTest::newRow("bank 3 flicker 254")
        << QList<QByteArray>{reply(223, 254)} << QStringList{"text bank3FlickerGreen=254"};

    // Serial-number bytes
    QTest::newRow("lot 1523") << QList<QByteArray>{reply(100, 0), reply(101, 0), reply(102, 0x05),
                                                   reply(103, 0xF3)}
                              << QStringList{"text serialLot=1523", "serial 1523"};
    QTest::newRow("lot top byte") << QList<QByteArray>{reply(100, 0x01), reply(101, 0), reply(102, 0),
                                                       reply(103, 0)}
                                  << QStringList{"text serialLot=16777216", "serial 16777216"};
    QTest::newRow("lot is signed") << QList<QByteArray>{reply(100, 0xFF), reply(101, 0xFF), reply(102, 0xFF),
                                                        reply(103, 0xFF)}
                                   << QStringList{"text serialLot=-1", "serial -1"};
    QTest::newRow("running serial") << QList<QByteArray>{reply(104, 0), reply(105, 0), reply(106, 0x01),
                                                         reply(107, 0x2C)}
                                    << QStringList{"text serialRunningNumber=300", "serial 300"};
    QTest::newRow("a part takes nothing of the other")
        << QList<QByteArray>{reply(103, 0x07), reply(104, 0)} << QStringList{"text serialRunningNumber=0", "serial 0"};

    // End mark
    QTest::newRow("end mark") << QList<QByteArray>{"2End"} << QStringList{"text bank2GuardWhite=110", "message r"};
    QTest::newRow("end mark cut short") << QList<QByteArray>{"2En"} << QStringList{"text bank2GuardWhite=110"};
    QTest::newRow("end mark needs a read reply") << QList<QByteArray>{"AEnd"} << QStringList{"ready"};

    // Only the first reply of a block
    QTest::newRow("two replies in one block")
        << QList<QByteArray>{reply(28, 10) + reply(29, 20)} << QStringList{"text bank1GuardRed=10"};
    QTest::newRow("bytes after the value")
        << QList<QByteArray>{bytes({'2', 45, 7, 9, 9})} << QStringList{"text bank1GuardWhite=7"};

    // Addresses the tool does not show
    QTest::newRow("audio state") << QList<QByteArray>{reply(3, 1)} << QStringList{};
    QTest::newRow("switch presence") << QList<QByteArray>{reply(7, 1)} << QStringList{};
    QTest::newRow("battery limit") << QList<QByteArray>{reply(14, 1)} << QStringList{};
    QTest::newRow("version enable") << QList<QByteArray>{reply(110, 1)} << QStringList{};
    QTest::newRow("bank 2 frequency slot") << QList<QByteArray>{reply(202, 1)} << QStringList{};
    QTest::newRow("beyond the sweep") << QList<QByteArray>{reply(226, 1)} << QStringList{};
}

void ParameterDecoderTest::decodesReplies()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(QStringList, effects);

    ParameterDecoder decoder;
    QList<DecoderEffect> last;
    for (const QByteArray& block : blocks)
        last = decoder.decode(block);
    QCOMPARE(describe(last), effects);
}

// A sweep whose answer for one address comes only after `later` others: the
// board model and the screen still hold what the board holds, and every value
// is read.
void ParameterDecoderTest::answersOutOfOrder_data()
{
    QTest::addColumn<int>("heldBack");
    QTest::addColumn<int>("later");
    struct Held {
        int address;
        const char* what;
    };
    for (const Held held : {Held{24, "pair's high byte"}, Held{25, "pair's low byte"}, Held{28, "one byte"}})
        for (int later : {1, 5, 20})
            QTest::addRow("%s after %d others", held.what, later) << held.address << later;
}

void ParameterDecoderTest::answersOutOfOrder()
{
    QFETCH(int, heldBack);
    QFETCH(int, later);

    // Bank 1: Swing sensitivity 1200, Clash sensitivity 800, Guard red 200.
    const QHash<int, int> board{{24, 0x04}, {25, 0xB0}, {26, 0x03}, {27, 0x20}, {28, 200}};
    QList<int> order;
    for (int address = 0; address < 226; ++address)
        if (address != heldBack)
            order.append(address);
    order.insert(order.indexOf(heldBack + 1) + later, heldBack);

    BoardModel model;
    Screen screen;
    model.readStarting();
    for (int address : order)
        screen.apply(model.receive(reply(address, board.value(address))));
    model.readEnded(order, {});

    const QHash<QString, QString> expected{
        {"bank1SwingSensitivity", "1200"}, {"bank1ClashSensitivity", "800"}, {"bank1GuardRed", "200"}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(screen.text.value(it.key()), it.value());
        QCOMPARE(model.text(it.key()), it.value());
        QCOMPARE(model.readState().valueOrigin(fieldByEdit(it.key())->address), Origin::Read);
    }
}

void ParameterDecoderTest::serialNumberAfterASweep_data()
{
    QTest::addColumn<QList<int>>("serialBytes"); // addresses 100.. in order
    QTest::addColumn<QString>("lot");
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("header");

    QTest::newRow("1523-0300") << QList<int>{0, 0, 0x05, 0xF3, 0x00, 0x00, 0x01, 0x2C} << "1523"
                               << "300"
                               << "1523-0300";
    QTest::newRow("lot only") << QList<int>{0, 0, 0x05, 0xF3} << "1523"
                              << ""
                              << "1523-1523";
    QTest::newRow("long running serial") << QList<int>{0, 0, 0x05, 0xF3, 0x00, 0x01, 0xE2, 0x40} << "1523"
                                         << "123456"
                                         << "1523-123456";
}

void ParameterDecoderTest::serialNumberAfterASweep()
{
    QFETCH(QList<int>, serialBytes);
    QFETCH(QString, lot);
    QFETCH(QString, running);
    QFETCH(QString, header);

    ParameterDecoder decoder;
    Screen screen;
    int address = 100;
    for (int v : serialBytes)
        screen.apply(decoder.decode(reply(address++, v)));
    QCOMPARE(screen.text.value("serialLot"), lot);
    QCOMPARE(screen.text.value("serialRunningNumber"), running);
    QCOMPARE(screen.text.value("serialNumber"), header);
}

// ---- Serial number ---------------------------------------------------------------

void ParameterDecoderTest::formatsSerialPart_data()
{
    QTest::addColumn<int>("num");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("header"); // after a lot of 1523

    QTest::newRow("7") << 7 << "0007"
                       << "1523-0007";
    QTest::newRow("42") << 42 << "0042"
                        << "1523-0042";
    QTest::newRow("0") << 0 << "0000"
                       << "1523-0000";
    QTest::newRow("four digits") << 1523 << "1523"
                                 << "1523-1523";
    QTest::newRow("six digits") << 123456 << "123456"
                                << "1523-123456";
    QTest::newRow("negative pads before the sign") << -5 << "00-5"
                                                   << "1523-00-5";
    QTest::newRow("negative, wide") << -1234 << "-1234"
                                    << "1523--1234";
    QTest::newRow("four bytes of 255") << -1 << "00-1"
                                       << "1523-00-1";
}

void ParameterDecoderTest::formatsSerialPart()
{
    QFETCH(int, num);
    QFETCH(QString, part);
    QFETCH(QString, header);

    QCOMPARE(FormatSerialPart(num), part);
    QCOMPARE(SerialHeaderText(QStringLiteral("1523"), num), header);
    // Only a part of four unset bytes makes a number that names no board.
    QCOMPARE(SerialIsUnset(header), num == -1);
}

void ParameterDecoderTest::unsetLotNamesNoBoard_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<bool>("unset");
    QTest::newRow("both parts unset") << "-1-00-1" << true;
    QTest::newRow("lot unset") << "-1-0042" << true;
    QTest::newRow("lot -15") << "-15-0042" << false;
    QTest::newRow("lot -10, serial 1") << "-10-0001" << false;
    QTest::newRow("not read") << "" << false;
}

void ParameterDecoderTest::unsetLotNamesNoBoard()
{
    QFETCH(QString, serial);
    QFETCH(bool, unset);
    QCOMPARE(SerialIsUnset(serial), unset);
}

TAVRIN_TEST_MAIN(ParameterDecoderTest)
#include "tst_parameter_decoder.moc"
