// The parameter write plan: the order and bytes of each bank's writes, and the
// refusals before anything is sent.
#include "TestMain.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"
#include "params/ParameterWriter.h"

#include <QHash>
#include <QSet>

using namespace Params;

namespace {

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

} // namespace

class ParameterWritePlanTest : public QObject {
    Q_OBJECT
private slots:
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
};

// ---- Write plan ----------------------------------------------------------------

void ParameterWritePlanTest::writeOrderOfEachBank_data()
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

void ParameterWritePlanTest::writeOrderOfEachBank()
{
    QFETCH(int, bank);
    QFETCH(QList<int>, addresses);

    QCOMPARE(writeAddresses(bank), addresses);
    const WritePlanResult result = plan(filledScreen());
    QVERIFY(result.ok());
    QCOMPARE(addressesOf(result.plan.bank(bank)), addresses);
    QCOMPARE(result.plan.all().size(), 85);
}

void ParameterWritePlanTest::writtenBytes_data()
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

void ParameterWritePlanTest::writtenBytes()
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

void ParameterWritePlanTest::frequencyModeEndsBankOne_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("lastWrite");

    QTest::newRow("frequencyStdButton") << Define::FREQUENCY_STD << QList<int>{178, 1};
    QTest::newRow("frequencyMedButton") << Define::FREQUENCY_MED << QList<int>{178, 2};
    QTest::newRow("frequencyEvoButton") << Define::FREQUENCY_EVO << QList<int>{178, 3};
}

void ParameterWritePlanTest::frequencyModeEndsBankOne()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, lastWrite);

    const WritePlanResult result = plan(filledScreen(), mode);
    QVERIFY(result.ok());
    QCOMPARE(flatten(result.plan.bank(1)).mid(2 * 28), lastWrite);
}

void ParameterWritePlanTest::refusesBeforeSendingAnything_data()
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

void ParameterWritePlanTest::refusesBeforeSendingAnything()
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

void ParameterWritePlanTest::refusalNamesTheFirstBadEditInWriteOrder_data()
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

void ParameterWritePlanTest::refusalNamesTheFirstBadEditInWriteOrder()
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

void ParameterWritePlanTest::readsOnlyTheEditsItWrites()
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

TAVRIN_TEST_MAIN(ParameterWritePlanTest)
#include "tst_parameter_write_plan.moc"
