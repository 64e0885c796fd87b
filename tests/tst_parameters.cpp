// The parameter screen's table: every edit's addresses, the rows and their
// colour edits, the greyed cells; the explanation of every parameter, and the
// README's reference made from it.
#include "TestMain.h"

#include "params/ParameterHelp.h"
#include "params/ParameterLayout.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

using namespace Params;

namespace {

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
    void everyEditShowsItsAddresses_data();
    void everyEditShowsItsAddresses();
    void rowsAndTheirColourEdits_data();
    void rowsAndTheirColourEdits();
    void greyedEditsFillTheEmptyCells_data();
    void greyedEditsFillTheEmptyCells();
    void everyBankAddressHasExactlyOneEdit();
    void editNamesAreUnique();
    void everyParameterIsExplainedWhereItLives();
    void explanations_data();
    void explanations();
    void readmeReferenceIsInStepWithTheTable();
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

// ---- Explanations -------------------------------------------------------------

void ParametersTest::everyParameterIsExplainedWhereItLives()
{
    for (const ParameterField& field : parameterFields()) {
        const ParameterHelp& help = fieldHelp(field);
        const QString context = field.editName() + QStringLiteral(": ") + help.tooltip();
        QCOMPARE(help.name, field.accessibleName());
        // The addresses named, and no other number.
        QList<int> named;
        const QRegularExpression number(QStringLiteral("\\d+"));
        for (const QRegularExpressionMatch& match : number.globalMatch(help.where))
            named << match.captured().toInt();
        const QList<int> expected =
            field.isPair() ? QList<int>{field.address, field.address + 1} : QList<int>{field.address};
        QVERIFY2(named == expected, qPrintable(context));
        QCOMPARE(help.range, QStringLiteral("%1..%2").arg(field.minValue).arg(field.maxValue));
        QVERIFY2(!help.notes.value(0).isEmpty(), qPrintable(context));
        // What an unset byte shows is said exactly where the screen replaces it.
        QCOMPARE(help.notes.size(), field.notSetShownAs ? 2 : 1);
        QVERIFY2(help.tooltip().startsWith(help.name + QStringLiteral(": ") + help.where), qPrintable(context));
    }
    QCOMPARE(parameterHelp().size(), qsizetype(78 + 2));
}

void ParametersTest::explanations_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("guard colour")
        << "Bank 1 Guard red"
        << "address 28, 0..255. Red channel of bank 1's Guard colour, the blade's colour between events (the row "
           "of the On, Off and Hum sounds). Higher is brighter; the brightness sliders set it too. An unset byte "
           "(255) is shown as 25.";
    QTest::newRow("white: 255 shown as it is")
        << "Bank 2 Power Clash white"
        << "address 71, 0..255. White channel of bank 2's Power Clash colour, shown on a power clash. Higher is "
           "brighter; the brightness sliders set it too.";
    QTest::newRow("sensitivity, high byte first")
        << "Bank 3 Clash sensitivity"
        << "addresses 74 (high byte) and 75 (low byte), 0..65535. The threshold a movement must pass for the "
           "board to take it as a clash, in the board's own steps: a higher value needs a stronger movement.";
    QTest::newRow("duration")
        << "Bank 1 Swing duration"
        << "address 35, 0..255. How long a swing lasts on the board, in the board's own steps (their length in "
           "time is not known).";
    QTest::newRow("flicker, unset shown as 0")
        << "Bank 2 Guard flicker blue"
        << "address 200, 0..100. Blue channel of bank 2's flicker colour (only the Guard row flickers), in the "
           "board's own steps; the screen takes no more than 100. An unset byte (255) is shown as 0.";
    QTest::newRow("calibration, low byte first")
        << "Vertical calibration"
        << "addresses 8 (low byte) and 9 (high byte), -32768..32767. The motion sensor's reading in the vertical "
           "reference position, measured by the calibration (\"Auto\" or \"Man.\"), in the sensor's own steps.";
    QTest::newRow("default bank")
        << "Default bank"
        << "address 6, 1..3. The bank the board uses by default, chosen with \"Bank1\", \"Bank2\" or \"Bank3\" "
           "above each bank's rows; the board gets it as soon as it is chosen. An unset byte (255) is read as 1.";
    QTest::newRow("frequency mode")
        << "Frequency"
        << "address 178, 1..3. The board's frequency mode, one for all banks: 1 Std, 2 Med, 3 Evo (the screen "
           "offers Std and Evo). What each mode changes on the board is not known. An unset byte (255) is read "
           "as 3.";
}

void ParametersTest::explanations()
{
    QFETCH(QString, name);
    QFETCH(QString, line);
    const auto help = std::find_if(parameterHelp().cbegin(), parameterHelp().cend(),
                                   [&name](const ParameterHelp& h) { return h.name == name; });
    QVERIFY2(help != parameterHelp().cend(), qPrintable(name));
    QCOMPARE(help->line(), line);
}

void ParametersTest::readmeReferenceIsInStepWithTheTable()
{
    QFile readme(QStringLiteral(TAVRIN_SOURCE_DIR "/README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(readme.readAll());
    const QString begin =
        QStringLiteral("<!-- parameter reference: generated by scripts/parameter-reference.sh -->\n");
    const QString end = QStringLiteral("<!-- end of the parameter reference -->");
    const qsizetype from = text.indexOf(begin);
    const qsizetype to = text.indexOf(end);
    QVERIFY2(from >= 0 && to > from, "README.md has lost the markers of its parameter reference");
    QVERIFY2(text.mid(from + begin.size(), to - from - begin.size()) == parameterReference(),
             "README.md's parameter reference differs from the parameter table: run "
             "scripts/parameter-reference.sh after building tavrin-cli");
}

TAVRIN_TEST_MAIN(ParametersTest)
#include "tst_parameters.moc"
