// The parameter screen's table, the decoder of read replies, the write plan
// and the serial-number text.
#include "TestMain.h"

#include "common/Define.h"
#include "params/ParameterDecoder.h"
#include "params/ParameterLayout.h"
#include "params/ParameterWriter.h"
#include "params/SerialNumber.h"

#include <QHash>
#include <QSet>
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

// Every bank edit holding "1"; `changes` then overrides single edits.
QHash<QString, QString> filledScreen(const QHash<QString, QString>& changes = {})
{
    QHash<QString, QString> screen;
    for (const ParameterField& field : parameterFields())
        screen[field.editName()] = QStringLiteral("1");
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        screen[it.key()] = it.value();
    return screen;
}

WritePlanResult plan(const QHash<QString, QString>& screen, int frequencyMode = Define::FREQUENCY_EVO)
{
    return PlanParameterWrite([&](const QString& edit) { return screen.value(edit); }, frequencyMode);
}

QList<int> addressesOf(const QList<ParameterWrite>& writes)
{
    QList<int> addresses;
    for (const ParameterWrite& write : writes)
        addresses.append(write.address);
    return addresses;
}

QList<int> flatten(const QList<ParameterWrite>& writes)
{
    QList<int> flat;
    for (const ParameterWrite& write : writes)
        flat << write.address << write.value;
    return flat;
}

const ScreenRow* rowWithLabel(const QString& label)
{
    for (const ScreenRow& row : screenRows())
        if (label == QLatin1String(row.captionLabel))
            return &row;
    return nullptr;
}

} // namespace

class ParametersTest : public QObject {
    Q_OBJECT
private slots:
    // Screen table
    void everyEditShowsItsAddresses_data();
    void everyEditShowsItsAddresses();
    void rowsAndTheirColourEdits_data();
    void rowsAndTheirColourEdits();
    void greyedEditsFillTheEmptyCells_data();
    void greyedEditsFillTheEmptyCells();
    void everyBankAddressHasExactlyOneEdit();
    void editNamesAreUnique();

    // Decoder
    void decodesReplies_data();
    void decodesReplies();
    void serialNumberAfterASweep_data();
    void serialNumberAfterASweep();

    // Write plan
    void writeOrderOfEachBank_data();
    void writeOrderOfEachBank();
    void writtenBytes_data();
    void writtenBytes();
    void frequencyModeEndsBankOne_data();
    void frequencyModeEndsBankOne();
    void refusesBeforeSendingAnything_data();
    void refusesBeforeSendingAnything();
    void refusalNamesTheFirstBadEditInWriteOrder_data();
    void refusalNamesTheFirstBadEditInWriteOrder();
    void readsOnlyTheEditsItWrites();

    // Serial number
    void formatsSerialPart_data();
    void formatsSerialPart();
};

// ---- Screen table ------------------------------------------------------------

void ParametersTest::everyEditShowsItsAddresses_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("highAddress");
    QTest::addColumn<int>("lowAddress");
    QTest::addColumn<int>("notSetShownAs"); // -1: 255 is shown as it is
    QTest::addColumn<int>("maxValue");

    // Bank 1
    QTest::newRow("bank1GuardRed") << "Bank 1 Guard red" << 28 << 28 << 25 << 255;
    QTest::newRow("bank1GuardGreen") << "Bank 1 Guard green" << 29 << 29 << 5 << 255;
    QTest::newRow("bank1GuardBlue") << "Bank 1 Guard blue" << 30 << 30 << 240 << 255;
    QTest::newRow("bank1GuardWhite") << "Bank 1 Guard white" << 45 << 45 << -1 << 255;
    QTest::newRow("bank1FlickerRed") << "Bank 1 Guard flicker red" << 174 << 174 << -1 << 100;
    QTest::newRow("bank1FlickerGreen") << "Bank 1 Guard flicker green" << 175 << 175 << -1 << 100;
    QTest::newRow("bank1FlickerBlue") << "Bank 1 Guard flicker blue" << 176 << 176 << -1 << 100;
    QTest::newRow("bank1FlickerWhite") << "Bank 1 Guard flicker white" << 177 << 177 << -1 << 100;
    QTest::newRow("bank1SwingRed") << "Bank 1 Swing red" << 31 << 31 << 35 << 255;
    QTest::newRow("bank1SwingGreen") << "Bank 1 Swing green" << 32 << 32 << 10 << 255;
    QTest::newRow("bank1SwingBlue") << "Bank 1 Swing blue" << 33 << 33 << 254 << 255;
    QTest::newRow("bank1SwingWhite") << "Bank 1 Swing white" << 46 << 46 << -1 << 255;
    QTest::newRow("bank1SwingSensitivity") << "Bank 1 Swing sensitivity" << 24 << 25 << -1 << 65535;
    QTest::newRow("bank1SwingDuration") << "Bank 1 Swing duration" << 35 << 35 << -1 << 255;
    QTest::newRow("bank1ClashRed") << "Bank 1 Clash red" << 39 << 39 << 200 << 255;
    QTest::newRow("bank1ClashGreen") << "Bank 1 Clash green" << 40 << 40 << 254 << 255;
    QTest::newRow("bank1ClashBlue") << "Bank 1 Clash blue" << 41 << 41 << 10 << 255;
    QTest::newRow("bank1ClashWhite") << "Bank 1 Clash white" << 34 << 34 << -1 << 255;
    QTest::newRow("bank1ClashSensitivity") << "Bank 1 Clash sensitivity" << 26 << 27 << -1 << 65535;
    QTest::newRow("bank1ClashDuration") << "Bank 1 Clash duration" << 36 << 36 << -1 << 255;
    QTest::newRow("bank1PowerClashRed") << "Bank 1 Power Clash red" << 42 << 42 << 15 << 255;
    QTest::newRow("bank1PowerClashGreen") << "Bank 1 Power Clash green" << 43 << 43 << 254 << 255;
    QTest::newRow("bank1PowerClashBlue") << "Bank 1 Power Clash blue" << 44 << 44 << 254 << 255;
    QTest::newRow("bank1PowerClashWhite") << "Bank 1 Power Clash white" << 47 << 47 << -1 << 255;
    QTest::newRow("bank1PowerClashSensitivity") << "Bank 1 Power Clash sensitivity" << 37 << 38 << -1 << 65535;
    // Bank 2
    QTest::newRow("bank2GuardRed") << "Bank 2 Guard red" << 52 << 52 << 254 << 255;
    QTest::newRow("bank2GuardGreen") << "Bank 2 Guard green" << 53 << 53 << 5 << 255;
    QTest::newRow("bank2GuardBlue") << "Bank 2 Guard blue" << 54 << 54 << 5 << 255;
    QTest::newRow("bank2GuardWhite") << "Bank 2 Guard white" << 69 << 69 << -1 << 255;
    QTest::newRow("bank2FlickerRed") << "Bank 2 Guard flicker red" << 198 << 198 << 0 << 100;
    QTest::newRow("bank2FlickerGreen") << "Bank 2 Guard flicker green" << 199 << 199 << 0 << 100;
    QTest::newRow("bank2FlickerBlue") << "Bank 2 Guard flicker blue" << 200 << 200 << 0 << 100;
    QTest::newRow("bank2FlickerWhite") << "Bank 2 Guard flicker white" << 201 << 201 << 0 << 100;
    QTest::newRow("bank2SwingRed") << "Bank 2 Swing red" << 55 << 55 << 254 << 255;
    QTest::newRow("bank2SwingGreen") << "Bank 2 Swing green" << 56 << 56 << 20 << 255;
    QTest::newRow("bank2SwingBlue") << "Bank 2 Swing blue" << 57 << 57 << 0 << 255;
    QTest::newRow("bank2SwingWhite") << "Bank 2 Swing white" << 70 << 70 << -1 << 255;
    QTest::newRow("bank2SwingSensitivity") << "Bank 2 Swing sensitivity" << 48 << 49 << -1 << 65535;
    QTest::newRow("bank2SwingDuration") << "Bank 2 Swing duration" << 59 << 59 << -1 << 255;
    QTest::newRow("bank2ClashRed") << "Bank 2 Clash red" << 63 << 63 << 200 << 255;
    QTest::newRow("bank2ClashGreen") << "Bank 2 Clash green" << 64 << 64 << 254 << 255;
    QTest::newRow("bank2ClashBlue") << "Bank 2 Clash blue" << 65 << 65 << 10 << 255;
    QTest::newRow("bank2ClashWhite") << "Bank 2 Clash white" << 58 << 58 << -1 << 255;
    QTest::newRow("bank2ClashSensitivity") << "Bank 2 Clash sensitivity" << 50 << 51 << -1 << 65535;
    QTest::newRow("bank2ClashDuration") << "Bank 2 Clash duration" << 60 << 60 << -1 << 255;
    QTest::newRow("bank2PowerClashRed") << "Bank 2 Power Clash red" << 66 << 66 << 15 << 255;
    QTest::newRow("bank2PowerClashGreen") << "Bank 2 Power Clash green" << 67 << 67 << 254 << 255;
    QTest::newRow("bank2PowerClashBlue") << "Bank 2 Power Clash blue" << 68 << 68 << 254 << 255;
    QTest::newRow("bank2PowerClashWhite") << "Bank 2 Power Clash white" << 71 << 71 << -1 << 255;
    QTest::newRow("bank2PowerClashSensitivity") << "Bank 2 Power Clash sensitivity" << 61 << 62 << -1 << 65535;
    // Bank 3
    QTest::newRow("bank3GuardRed") << "Bank 3 Guard red" << 76 << 76 << 15 << 255;
    QTest::newRow("bank3GuardGreen") << "Bank 3 Guard green" << 77 << 77 << 254 << 255;
    QTest::newRow("bank3GuardBlue") << "Bank 3 Guard blue" << 78 << 78 << 50 << 255;
    QTest::newRow("bank3GuardWhite") << "Bank 3 Guard white" << 93 << 93 << -1 << 255;
    QTest::newRow("bank3FlickerRed") << "Bank 3 Guard flicker red" << 222 << 222 << 0 << 100;
    QTest::newRow("bank3FlickerGreen") << "Bank 3 Guard flicker green" << 223 << 223 << 0 << 100;
    QTest::newRow("bank3FlickerBlue") << "Bank 3 Guard flicker blue" << 224 << 224 << 0 << 100;
    QTest::newRow("bank3FlickerWhite") << "Bank 3 Guard flicker white" << 225 << 225 << 0 << 100;
    QTest::newRow("bank3SwingRed") << "Bank 3 Swing red" << 79 << 79 << 10 << 255;
    QTest::newRow("bank3SwingGreen") << "Bank 3 Swing green" << 80 << 80 << 254 << 255;
    QTest::newRow("bank3SwingBlue") << "Bank 3 Swing blue" << 81 << 81 << 75 << 255;
    QTest::newRow("bank3SwingWhite") << "Bank 3 Swing white" << 94 << 94 << -1 << 255;
    QTest::newRow("bank3SwingSensitivity") << "Bank 3 Swing sensitivity" << 72 << 73 << -1 << 65535;
    QTest::newRow("bank3SwingDuration") << "Bank 3 Swing duration" << 83 << 83 << -1 << 255;
    QTest::newRow("bank3ClashRed") << "Bank 3 Clash red" << 87 << 87 << 200 << 255;
    QTest::newRow("bank3ClashGreen") << "Bank 3 Clash green" << 88 << 88 << 254 << 255;
    QTest::newRow("bank3ClashBlue") << "Bank 3 Clash blue" << 89 << 89 << 10 << 255;
    QTest::newRow("bank3ClashWhite") << "Bank 3 Clash white" << 82 << 82 << -1 << 255;
    QTest::newRow("bank3ClashSensitivity") << "Bank 3 Clash sensitivity" << 74 << 75 << -1 << 65535;
    QTest::newRow("bank3ClashDuration") << "Bank 3 Clash duration" << 84 << 84 << -1 << 255;
    QTest::newRow("bank3PowerClashRed") << "Bank 3 Power Clash red" << 90 << 90 << 15 << 255;
    QTest::newRow("bank3PowerClashGreen") << "Bank 3 Power Clash green" << 91 << 91 << 254 << 255;
    QTest::newRow("bank3PowerClashBlue") << "Bank 3 Power Clash blue" << 92 << 92 << 254 << 255;
    QTest::newRow("bank3PowerClashWhite") << "Bank 3 Power Clash white" << 95 << 95 << -1 << 255;
    QTest::newRow("bank3PowerClashSensitivity") << "Bank 3 Power Clash sensitivity" << 85 << 86 << -1 << 65535;
    // Outside the banks
    QTest::newRow("verticalCalibration") << "Vertical calibration" << 9 << 8 << -1 << 32767;
    QTest::newRow("horizontalCalibration") << "Horizontal calibration" << 11 << 10 << -1 << 32767;
    QTest::newRow("oldSerialNumber") << "Old serial number" << 12 << 13 << -1 << 32767;
}

void ParametersTest::everyEditShowsItsAddresses()
{
    QFETCH(QString, name);
    QFETCH(int, highAddress);
    QFETCH(int, lowAddress);
    QFETCH(int, notSetShownAs);
    QFETCH(int, maxValue);

    const QString edit = QString::fromLatin1(QTest::currentDataTag());
    const ParameterField* field = fieldByEdit(edit);
    QVERIFY(field);
    QCOMPARE(field->accessibleName(), name);
    QCOMPARE(field->highAddress(), highAddress);
    QCOMPARE(field->lowAddress(), lowAddress);
    QCOMPARE(field->notSetShownAs.value_or(-1), notSetShownAs);
    QCOMPARE(field->maxValue, maxValue);
    QCOMPARE(fieldAtAddress(highAddress), field);
    QCOMPARE(fieldAtAddress(lowAddress), field);
    QCOMPARE(fieldAt(field->bank, field->row, field->column), field);
}

void ParametersTest::rowsAndTheirColourEdits_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("bankText");
    QTest::addColumn<QStringList>("colourEdits"); // R, G, B, W

    QTest::newRow("bank1GuardCaption") << "bank1GuardRow"
                             << "Guard"
                             << "BANK1" << QStringList{"bank1GuardRed", "bank1GuardGreen", "bank1GuardBlue", "bank1GuardWhite"};
    QTest::newRow("bank1SwingCaption") << "bank1SwingRow"
                             << "Swing"
                             << "BANK1" << QStringList{"bank1SwingRed", "bank1SwingGreen", "bank1SwingBlue", "bank1SwingWhite"};
    QTest::newRow("bank1ClashCaption") << "bank1ClashRow"
                            << "Clash"
                            << "BANK1" << QStringList{"bank1ClashRed", "bank1ClashGreen", "bank1ClashBlue", "bank1ClashWhite"};
    QTest::newRow("bank1PowerClashCaption") << "bank1PowerClashRow"
                             << "Power Clash"
                             << "BANK1" << QStringList{"bank1PowerClashRed", "bank1PowerClashGreen", "bank1PowerClashBlue", "bank1PowerClashWhite"};
    QTest::newRow("bank2GuardCaption") << "bank2GuardRow"
                             << "Guard"
                             << "BANK2" << QStringList{"bank2GuardRed", "bank2GuardGreen", "bank2GuardBlue", "bank2GuardWhite"};
    QTest::newRow("bank2SwingCaption") << "bank2SwingRow"
                             << "Swing"
                             << "BANK2" << QStringList{"bank2SwingRed", "bank2SwingGreen", "bank2SwingBlue", "bank2SwingWhite"};
    QTest::newRow("bank2ClashCaption") << "bank2ClashRow"
                             << "Clash"
                             << "BANK2" << QStringList{"bank2ClashRed", "bank2ClashGreen", "bank2ClashBlue", "bank2ClashWhite"};
    QTest::newRow("bank2PowerClashCaption") << "bank2PowerClashRow"
                             << "Power Clash"
                             << "BANK2" << QStringList{"bank2PowerClashRed", "bank2PowerClashGreen", "bank2PowerClashBlue", "bank2PowerClashWhite"};
    QTest::newRow("bank3GuardCaption") << "bank3GuardRow"
                             << "Guard"
                             << "BANK3" << QStringList{"bank3GuardRed", "bank3GuardGreen", "bank3GuardBlue", "bank3GuardWhite"};
    QTest::newRow("bank3SwingCaption") << "bank3SwingRow"
                             << "Swing"
                             << "BANK3" << QStringList{"bank3SwingRed", "bank3SwingGreen", "bank3SwingBlue", "bank3SwingWhite"};
    QTest::newRow("bank3ClashCaption") << "bank3ClashRow"
                             << "Clash"
                             << "BANK3" << QStringList{"bank3ClashRed", "bank3ClashGreen", "bank3ClashBlue", "bank3ClashWhite"};
    QTest::newRow("bank3PowerClashCaption") << "bank3PowerClashRow"
                             << "Power Clash"
                             << "BANK3" << QStringList{"bank3PowerClashRed", "bank3PowerClashGreen", "bank3PowerClashBlue", "bank3PowerClashWhite"};
}

void ParametersTest::rowsAndTheirColourEdits()
{
    QFETCH(QString, panel);
    QFETCH(QString, caption);
    QFETCH(QString, bankText);
    QFETCH(QStringList, colourEdits);

    QCOMPARE(screenRows().size(), size_t(12));
    const ScreenRow* row = rowWithLabel(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(row);
    QCOMPARE(QString::fromLatin1(row->panel), panel);
    QCOMPARE(QString::fromLatin1(row->caption), caption);
    QCOMPARE(QString::fromLatin1(row->bankText), bankText);
    QCOMPARE(screenRow(row->bank, row->row), row);

    QStringList edits;
    for (Column column : {Column::R, Column::G, Column::B, Column::W}) {
        const ParameterField* field = fieldAt(row->bank, row->row, column);
        QVERIFY(field);
        edits.append(field->editName());
    }
    QCOMPARE(edits, colourEdits);
}

void ParametersTest::greyedEditsFillTheEmptyCells_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("isDuration"); // else Sensibility

    QTest::newRow("bank1GuardSensitivityUnused") << 1 << "Guard" << false;
    QTest::newRow("bank1GuardDurationUnused") << 1 << "Guard" << true;
    QTest::newRow("bank1PowerClashDurationUnused") << 1 << "Power Clash" << true;
    QTest::newRow("bank2GuardSensitivityUnused") << 2 << "Guard" << false;
    QTest::newRow("bank2GuardDurationUnused") << 2 << "Guard" << true;
    QTest::newRow("bank2PowerClashDurationUnused") << 2 << "Power Clash" << true;
    QTest::newRow("bank3GuardSensitivityUnused") << 3 << "Guard" << false;
    QTest::newRow("bank3GuardDurationUnused") << 3 << "Guard" << true;
    QTest::newRow("bank3PowerClashDurationUnused") << 3 << "Power Clash" << true;
}

void ParametersTest::greyedEditsFillTheEmptyCells()
{
    QFETCH(int, bank);
    QFETCH(QString, row);
    QFETCH(bool, isDuration);

    QCOMPARE(disabledCells().size(), size_t(9));
    const QString edit = QString::fromLatin1(QTest::currentDataTag());
    const DisabledCell* cell = nullptr;
    for (const DisabledCell& candidate : disabledCells())
        if (edit == QLatin1String(candidate.edit))
            cell = &candidate;
    QVERIFY(cell);
    QCOMPARE(cell->bank, bank);
    QCOMPARE(rowCaption(cell->row), row);
    QCOMPARE(cell->column, isDuration ? Column::Duration : Column::Sensibility);
    // A greyed edit is never a parameter, and its cell holds no parameter.
    QVERIFY(!fieldByEdit(edit));
    QVERIFY(!fieldAt(cell->bank, cell->row, cell->column));
}

void ParametersTest::everyBankAddressHasExactlyOneEdit()
{
    QHash<int, int> editsAt;
    for (const ParameterField& field : parameterFields()) {
        ++editsAt[field.address];
        if (field.isPair())
            ++editsAt[field.address + 1];
    }

    QSet<int> expected;
    for (int address = 24; address <= 95; ++address)
        expected.insert(address);
    for (int address : {174, 175, 176, 177, 198, 199, 200, 201, 222, 223, 224, 225, 8, 9, 10, 11, 12, 13})
        expected.insert(address);

    for (int address : expected)
        QVERIFY2(editsAt.value(address) == 1, qPrintable(QStringLiteral("address %1").arg(address)));
    for (auto it = editsAt.cbegin(); it != editsAt.cend(); ++it)
        QVERIFY2(expected.contains(it.key()), qPrintable(QStringLiteral("address %1").arg(it.key())));
    // The frequency mode is a radio group, not an edit; f 4 of banks 2 and 3 is unused.
    for (int address : {0, 1, 2, 6, 7, 14, 23, 96, 100, 173, 178, 202, 226})
        QVERIFY2(!fieldAtAddress(address), qPrintable(QStringLiteral("address %1").arg(address)));
}

void ParametersTest::editNamesAreUnique()
{
    QSet<QString> names;
    for (const ParameterField& field : parameterFields())
        names.insert(field.editName());
    for (const DisabledCell& cell : disabledCells())
        names.insert(QString::fromLatin1(cell.edit));
    QCOMPARE(names.size(), 78 + 9);
    QCOMPARE(parameterFields().size(), size_t(78));
}

// ---- Decoder -------------------------------------------------------------------

void ParametersTest::decodesReplies_data()
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
    QTest::newRow("frequency 4") << QList<QByteArray>{reply(178, 4)} << QStringList{};

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
    QTest::newRow("pairs share the latches")
        << QList<QByteArray>{reply(24, 0x12), reply(27, 0x05)} << QStringList{"text bank1ClashSensitivity=4613"};
    QTest::newRow("one-byte reply overwrites the low latch")
        << QList<QByteArray>{reply(25, 0x34), reply(28, 7), reply(24, 0x01)} << QStringList{"text bank1SwingSensitivity=263"};
    QTest::newRow("frequency reply overwrites the low latch")
        << QList<QByteArray>{reply(25, 0x34), reply(178, 3), reply(24, 0x01)}
        << QStringList{"text bank1SwingSensitivity=259"};

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
    QTest::newRow("parts share the latches")
        << QList<QByteArray>{reply(103, 0x07), reply(104, 0)} << QStringList{"text serialRunningNumber=7", "serial 7"};

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

void ParametersTest::decodesReplies()
{
    QFETCH(QList<QByteArray>, blocks);
    QFETCH(QStringList, effects);

    ParameterDecoder decoder;
    QList<DecoderEffect> last;
    for (const QByteArray& block : blocks)
        last = decoder.decode(block);
    QCOMPARE(describe(last), effects);
}

void ParametersTest::serialNumberAfterASweep_data()
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

void ParametersTest::serialNumberAfterASweep()
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

// ---- Write plan ----------------------------------------------------------------

void ParametersTest::writeOrderOfEachBank_data()
{
    QTest::addColumn<int>("bank");
    QTest::addColumn<QList<int>>("addresses");

    QTest::newRow("bank 1") << 1 << QList<int>{28, 29, 30, 31, 32, 33, 39, 40, 41, 42,  43,  44,  45,  46, 34,
                                               47, 35, 36, 24, 25, 26, 27, 37, 38, 174, 175, 176, 177, 178};
    QTest::newRow("bank 2") << 2 << QList<int>{52, 53, 54, 55, 56, 57, 63, 64, 65, 66, 67,  68,  69,  70,
                                               58, 71, 59, 60, 48, 49, 50, 51, 61, 62, 198, 199, 200, 201};
    QTest::newRow("bank 3") << 3 << QList<int>{76, 77, 78, 79, 80, 81, 87, 88, 89, 90, 91,  92,  93,  94,
                                               82, 95, 83, 84, 72, 73, 74, 75, 85, 86, 222, 223, 224, 225};
}

void ParametersTest::writeOrderOfEachBank()
{
    QFETCH(int, bank);
    QFETCH(QList<int>, addresses);

    QCOMPARE(writeAddresses(bank), addresses);
    const WritePlanResult result = plan(filledScreen());
    QVERIFY(result.ok());
    QCOMPARE(addressesOf(result.plan.bank(bank)), addresses);
    QCOMPARE(result.plan.all().size(), 85);
}

void ParametersTest::writtenBytes_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("writes"); // address, value, ... as consecutive writes

    QTest::newRow("sensitivity high byte first") << "bank1SwingSensitivity"
                                                 << "4660" << QList<int>{24, 0x12, 25, 0x34};
    QTest::newRow("sensitivity top") << "bank3PowerClashSensitivity"
                                     << "65535" << QList<int>{85, 0xFF, 86, 0xFF};
    QTest::newRow("sensitivity zero") << "bank2PowerClashSensitivity"
                                      << "0" << QList<int>{61, 0, 62, 0};
    QTest::newRow("unset colour round-trips") << "bank1GuardRed"
                                              << "255" << QList<int>{28, 255};
    QTest::newRow("unset white round-trips") << "bank1GuardWhite"
                                             << "255" << QList<int>{45, 255};
    QTest::newRow("unset duration round-trips") << "bank3ClashDuration"
                                                << "255" << QList<int>{84, 255};
    QTest::newRow("clash white between the whites") << "bank2ClashWhite"
                                                    << "200" << QList<int>{70, 1, 58, 200, 71, 1};
    QTest::newRow("blanks around the number") << "bank3ClashWhite"
                                              << " 7 " << QList<int>{82, 7};
    QTest::newRow("flicker top") << "bank3FlickerWhite"
                                 << "100" << QList<int>{225, 100};
}

void ParametersTest::writtenBytes()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QList<int>, writes);

    const WritePlanResult result = plan(filledScreen({{edit, text}}));
    QVERIFY(result.ok());
    const QList<ParameterWrite> all = result.plan.all();
    const qsizetype at = addressesOf(all).indexOf(writes.first());
    QVERIFY(at >= 0);
    QCOMPARE(flatten(all.mid(at, writes.size() / 2)), writes);
}

void ParametersTest::frequencyModeEndsBankOne_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("lastWrite");

    QTest::newRow("frequencyStdButton") << Define::FREQUENCY_STD << QList<int>{178, 1};
    QTest::newRow("frequencyMedButton") << Define::FREQUENCY_MED << QList<int>{178, 2};
    QTest::newRow("frequencyEvoButton") << Define::FREQUENCY_EVO << QList<int>{178, 3};
}

void ParametersTest::frequencyModeEndsBankOne()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, lastWrite);

    const WritePlanResult result = plan(filledScreen(), mode);
    QVERIFY(result.ok());
    QCOMPARE(flatten(result.plan.bank(1)).mid(2 * 28), lastWrite);
}

void ParametersTest::refusesBeforeSendingAnything_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    QTest::newRow("colour 300") << "bank2ClashGreen"
                                << "300"
                                << "Bank 2 Clash green must be between 0 and 255 (it is 300).";
    QTest::newRow("negative colour") << "bank1GuardRed"
                                     << "-1"
                                     << "Bank 1 Guard red must be between 0 and 255 (it is -1).";
    QTest::newRow("white 256") << "bank1PowerClashWhite"
                               << "256"
                               << "Bank 1 Power Clash white must be between 0 and 255 (it is 256).";
    QTest::newRow("duration 256") << "bank3ClashDuration"
                                  << "256"
                                  << "Bank 3 Clash duration must be between 0 and 255 (it is 256).";
    QTest::newRow("sensitivity 70000")
        << "bank2ClashSensitivity"
        << "70000"
        << "Bank 2 Clash sensitivity must be between 0 and 65535 (it is 70000).";
    QTest::newRow("negative sensitivity")
        << "bank1SwingSensitivity"
        << "-1"
        << "Bank 1 Swing sensitivity must be between 0 and 65535 (it is -1).";
    QTest::newRow("flicker 101") << "bank3FlickerGreen"
                                 << "101"
                                 << "Bank 3 Guard flicker green must be between 0 and 100 (it is 101).";
    QTest::newRow("negative flicker") << "bank1FlickerRed"
                                      << "-5"
                                      << "Bank 1 Guard flicker red must be between 0 and 100 (it is -5).";
    QTest::newRow("empty last edit of bank 3") << "bank3FlickerWhite"
                                               << ""
                                               << "'' is not a valid integer value";
    QTest::newRow("empty bank 2 edit") << "bank2ClashGreen"
                                       << ""
                                       << "'' is not a valid integer value";
    QTest::newRow("letters") << "bank1SwingSensitivity"
                             << "abc"
                             << "'abc' is not a valid integer value";
    QTest::newRow("beyond 32 bits") << "bank1ClashSensitivity"
                                    << "99999999999"
                                    << "'99999999999' is not a valid integer value";
}

void ParametersTest::refusesBeforeSendingAnything()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);

    const WritePlanResult result = plan(filledScreen({{edit, text}}));
    QVERIFY(!result.ok());
    QCOMPARE(result.refusal->edit, edit);
    QCOMPARE(result.refusal->message, message);
    QVERIFY(result.plan.all().isEmpty());
}

void ParametersTest::refusalNamesTheFirstBadEditInWriteOrder_data()
{
    QTest::addColumn<QStringList>("badEdits");
    QTest::addColumn<QString>("refused");

    // Power Clash blue (step 12) goes before Clash white (step 15) despite its higher address.
    QTest::newRow("colours before whites") << QStringList{"bank1ClashWhite", "bank1PowerClashBlue"} << "bank1PowerClashBlue";
    QTest::newRow("whites before sensitivities") << QStringList{"bank1SwingSensitivity", "bank1GuardWhite"} << "bank1GuardWhite";
    QTest::newRow("bank 1 before bank 2") << QStringList{"bank2GuardRed", "bank1FlickerWhite"} << "bank1FlickerWhite";
    QTest::newRow("bank 2 before bank 3") << QStringList{"bank3GuardRed", "bank2PowerClashSensitivity"} << "bank2PowerClashSensitivity";
    QTest::newRow("untouched screen") << QStringList{} << "bank1GuardRed";
}

void ParametersTest::refusalNamesTheFirstBadEditInWriteOrder()
{
    QFETCH(QStringList, badEdits);
    QFETCH(QString, refused);

    // All parameter edits start empty; otherwise only the listed ones are.
    QHash<QString, QString> screen;
    if (!badEdits.isEmpty()) {
        screen = filledScreen();
        for (const QString& edit : badEdits)
            screen[edit] = QString();
    }
    const WritePlanResult result = plan(screen);
    QVERIFY(!result.ok());
    QCOMPARE(result.refusal->edit, refused);
    QCOMPARE(result.refusal->message, QStringLiteral("'' is not a valid integer value"));
}

void ParametersTest::readsOnlyTheEditsItWrites()
{
    QSet<QString> asked;
    const QHash<QString, QString> screen = filledScreen();
    const WritePlanResult result = PlanParameterWrite(
        [&](const QString& edit) {
            asked.insert(edit);
            return screen.value(edit);
        },
        Define::FREQUENCY_EVO);
    QVERIFY(result.ok());
    for (const char* edit : {"verticalCalibration", "horizontalCalibration", "oldSerialNumber", "bank1GuardSensitivityUnused", "bank1GuardDurationUnused", "bank1PowerClashDurationUnused", "bank2GuardSensitivityUnused", "bank2GuardDurationUnused",
                             "bank2PowerClashDurationUnused", "bank3GuardSensitivityUnused", "bank3GuardDurationUnused", "bank3PowerClashDurationUnused"})
        QVERIFY2(!asked.contains(QString::fromLatin1(edit)), edit);
    QCOMPARE(asked.size(), 75);
}

// ---- Serial number ---------------------------------------------------------------

void ParametersTest::formatsSerialPart_data()
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
}

void ParametersTest::formatsSerialPart()
{
    QFETCH(int, num);
    QFETCH(QString, part);
    QFETCH(QString, header);

    QCOMPARE(FormatSerialPart(num), part);
    QCOMPARE(SerialHeaderText(QStringLiteral("1523"), num), header);
}

TAVRIN_TEST_MAIN(ParametersTest)
#include "tst_parameters.moc"
