// The parameter screen in the set-up window: decoded replies on screen, row
// selection, sliders, flicker and what a screen reader is told.
#include "AwaitedAnswer.h"
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "params/ParameterLayout.h"
#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ui/TrafficMonitor.h"
#include "params/ui/ColourSwatch.h"
#include "common/ui/ValueLabel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QEnterEvent>
#include <QProxyStyle>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>

namespace {
QByteArray reply(int address, int value)
{
    return QByteArray("2") + static_cast<char>(address) + static_cast<char>(value);
}

QLineEdit* editNamed(const char* name)
{
    return setupWindow->findChild<QLineEdit*>(QString::fromLatin1(name));
}
} // namespace

class ParameterScreenTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void repliesFillTheScreen_data();
    void repliesFillTheScreen();
    void statusReplySelectsSetUpAndSendsOnlyWhenItChanges();
    void bankReplySelectsAndWritesTheDefaultBank();
    void serialNumberBytesFillTheHeader();
    void valueLabelsSpeakCaptionAndValue_data();
    void valueLabelsSpeakCaptionAndValue();
    void endReplyShowsValueThenMessage();
    void rowCaptionSelectsRowForSliders();
    void slidersBeforeAnyRowChangeNothing();
    void flickerEditsClampAboveHundred();
    void swatchesShowTheRowsColour();
    void valuesOverDifferentBoardValuesAreMarkedAndCounted();
    void setUpModeSwitchesPanelsAndSliders();
    void everyControlHasAnAccessibleName();

private:
    void feed(const QByteArray& block)
    {
        AwaitAsAnswer(*setupWindow->board()->link(), *f->port, block);
        f->port->feed(block);
    }
    std::unique_ptr<SetupWindowFixture> f;
};

void ParameterScreenTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    f->port->clearSent();
}

void ParameterScreenTest::repliesFillTheScreen_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("unset red shows its substitute") << QList{reply(28, 255)} << "bank1GuardRed"
                                                    << "25";
    QTest::newRow("unset white shows 255") << QList{reply(45, 255)} << "bank1GuardWhite"
                                           << "255";
    QTest::newRow("sensitivity pair") << QList{reply(24, 0x12), reply(25, 0x34)} << "bank1SwingSensitivity"
                                      << "4660";
    QTest::newRow("signed calibration") << QList{reply(8, 0xFF), reply(9, 0xFF)} << "verticalCalibration"
                                        << "-1";
    QTest::newRow("unset bank 2 flicker shows 0") << QList{reply(198, 255)} << "bank2FlickerRed"
                                                  << "0";
    QTest::newRow("unset bank 1 flicker ends clamped") << QList{reply(174, 255)} << "bank1FlickerRed"
                                                       << "100";
    QTest::newRow("release") << QList{reply(1, 7)} << "releaseNumber"
                             << "7.0";
    QTest::newRow("old serial") << QList{reply(12, 0x01), reply(13, 0x2C)} << "oldSerialNumber"
                                << "300";
    QTest::newRow("only the first reply of a block") << QList{reply(30, 9) + reply(31, 8)} << "bank1SwingRed"
                                                     << "";
}

void ParameterScreenTest::repliesFillTheScreen()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, control);
    QFETCH(QString, text);
    for (const QByteArray& r : replies)
        feed(r);
    QLineEdit* e = setupWindow->findChild<QLineEdit*>(control);
    const QString shown = e ? e->text() : setupWindow->findChild<QLabel*>(control)->text();
    QCOMPARE(shown, text);
    QVERIFY(f->dialogs.errors.isEmpty());
}

void ParameterScreenTest::statusReplySelectsSetUpAndSendsOnlyWhenItChanges()
{
    feed(reply(2, 2));
    QVERIFY(control<QRadioButton>(setupWindow, "activeModeButton")->isChecked());
    QVERIFY(f->port->sent.isEmpty());
    feed(reply(2, 4));
    QVERIFY(control<QRadioButton>(setupWindow, "setUpModeButton")->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 02 04 00 00 0A")});
    QVERIFY(control<QPushButton>(setupWindow, "writeParametersButton")->isEnabled());
    feed(reply(2, 4));
    QCOMPARE(f->port->sent.size(), 1);
}

void ParameterScreenTest::bankReplySelectsAndWritesTheDefaultBank()
{
    feed(reply(6, 2));
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank2Button")->isChecked());
    QCOMPARE(f->sentFrames(), QList<QByteArray>{hexBytes("23 31 06 02 00 00 0A")});
    feed(reply(6, 255));
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank1Button")->isChecked());
    QCOMPARE(f->sentFrames().last(), hexBytes("23 31 06 01 00 00 0A"));
}

void ParameterScreenTest::serialNumberBytesFillTheHeader()
{
    const int bytes[] = {0x00, 0x00, 0x05, 0xF3, 0x00, 0x00, 0x01, 0x2C};
    for (int i = 0; i < 8; ++i)
        feed(reply(100 + i, bytes[i]));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialLot")->text(), QString("1523"));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialRunningNumber")->text(), QString("300"));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialNumber")->text(), QString("1523-0300"));
}

void ParameterScreenTest::valueLabelsSpeakCaptionAndValue_data()
{
    QList<QByteArray> serial;
    const int bytes[] = {0x00, 0x00, 0x05, 0xF3, 0x00, 0x00, 0x01, 0x2C};
    for (int i = 0; i < 8; ++i)
        serial << reply(100 + i, bytes[i]);
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("nothing read yet") << QList<QByteArray>{} << "serialNumber"
                                      << "Serial number";
    QTest::newRow("serial number header") << serial << "serialNumber"
                                          << "Serial number: 1523-0300";
    QTest::newRow("lot") << serial << "serialLot"
                         << "Serial number, lot: 1523";
    QTest::newRow("running serial") << serial << "serialRunningNumber"
                                    << "Serial number, running serial: 300";
    QTest::newRow("release") << QList{reply(1, 7)} << "releaseNumber"
                             << "Firmware release: 7.0";
    QTest::newRow("old serial") << QList{reply(12, 0x01), reply(13, 0x2C)} << "oldSerialNumber"
                                << "Old-format serial number: 300";
}

void ParameterScreenTest::valueLabelsSpeakCaptionAndValue()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QString, label);
    QFETCH(QString, spoken);
    for (const QByteArray& r : replies)
        feed(r);
    auto* shown = setupWindow->findChild<QLabel*>(label);
    QCOMPARE(QAccessible::queryAccessibleInterface(shown)->text(QAccessible::Name), spoken);
}

void ParameterScreenTest::endReplyShowsValueThenMessage()
{
    feed("2End");
    QCOMPARE(editNamed("bank2GuardWhite")->text(), QString("110"));
    QCOMPARE(f->dialogs.messages, QStringList{"r"});
}

void ParameterScreenTest::rowCaptionSelectsRowForSliders()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    auto* bank2ClashCaption = setupWindow->findChild<QLabel*>("bank2ClashCaption");
    QTest::mouseClick(bank2ClashCaption, Qt::LeftButton);
    QCOMPARE(control<QLabel>(setupWindow, "ledRowHeading")->text(),
             QString("LEDs Bar Brigthness active on BANK2 Clash"));
    control<QSlider>(setupWindow, "whiteBrightness")->setValue(54);
    QCOMPARE(editNamed("bank2ClashWhite")->text(), QString("200"));
    control<QSlider>(setupWindow, "redBrightness")->setValue(254);
    QCOMPARE(editNamed("bank2ClashRed")->text(), QString("0"));
    control<QSlider>(setupWindow, "redBrightness")->setValue(0);
    QCOMPARE(editNamed("bank2ClashRed")->text(), QString("254"));
    QVERIFY(!bank2ClashCaption->styleSheet().isEmpty());
    QVERIFY(setupWindow->findChild<QLabel*>("bank1GuardCaption")->styleSheet().isEmpty());
}

void ParameterScreenTest::slidersBeforeAnyRowChangeNothing()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    control<QSlider>(setupWindow, "greenBrightness")->setValue(100);
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        if (!setupWindow->sounds()->fileInfo()->isAncestorOf(e)) // the sound skip counts start at "0"
            QVERIFY2(e->text().isEmpty(), qPrintable(e->objectName()));
    QCOMPARE(control<QLabel>(setupWindow, "ledRowHeading")->text(), QString("LED  parameters"));
}

void ParameterScreenTest::flickerEditsClampAboveHundred()
{
    editNamed("bank3FlickerGreen")->setText("150");
    QCOMPARE(editNamed("bank3FlickerGreen")->text(), QString("100"));
    editNamed("bank3FlickerGreen")->setText("-5");
    QCOMPARE(editNamed("bank3FlickerGreen")->text(), QString("-5"));
    editNamed("bank3FlickerGreen")->setText("");
    QCOMPARE(f->dialogs.errors, QStringList{"'' is not a valid integer value"});
    QCOMPARE(editNamed("bank3FlickerGreen")->text(), QString(""));
}

void ParameterScreenTest::swatchesShowTheRowsColour()
{
    auto* guard = control<ColourSwatch>(setupWindow, "bank1GuardSwatch");
    QCOMPARE(guard->accessibleDescription(),
             QString("Bank 1 Guard: red unknown, green unknown, blue unknown, white unknown; "
                     "flicker red unknown, green unknown, blue unknown, white unknown"));
    QCOMPARE(Params::MixedColour(guard->light()), std::nullopt); // unknown, not black

    // Guard of bank 1 as a fresh board holds it: red "not set" shows 25.
    for (const auto& [address, value] : {std::pair{28, 255}, {29, 5}, {30, 240}, {45, 0}, {174, 0}, {175, 0}, {176, 50}, {177, 0}})
        feed(reply(address, value));
    QCOMPARE(guard->accessibleDescription(),
             QString("Bank 1 Guard: red 25, green 5, blue 240, white 0; flicker red 0, green 0, blue 50, white 0"));
    QCOMPARE(Params::MixedColour(guard->light()), (Params::Rgb{25, 5, 241}));
    QCOMPARE(Params::MixedColour(guard->light(), 1), (Params::Rgb{25, 5, 120})); // blue dips by half: 240/254 x 0.5 x 255 = 120.47
    QVERIFY(Params::Flickers(guard->light()));

    // Every swatch says what the board model holds for its row.
    for (const Params::ScreenRow& row : Params::screenRows()) {
        auto channel = [&](Params::Column column) {
            const QString text = setupWindow->board()->model().text(Params::fieldAt(row.bank, row.row, column)->editName());
            return text.isEmpty() ? QString("unknown") : text;
        };
        QString expected = QString("Bank %1 %2: red %3, green %4, blue %5, white %6")
                               .arg(row.bank)
                               .arg(row.caption)
                               .arg(channel(Params::Column::R), channel(Params::Column::G),
                                    channel(Params::Column::B), channel(Params::Column::W));
        if (row.row == Params::Row::Guard)
            expected += QString("; flicker red %1, green %2, blue %3, white %4")
                            .arg(channel(Params::Column::Rf), channel(Params::Column::Gf),
                                 channel(Params::Column::Bf), channel(Params::Column::Wf));
        QCOMPARE(control<ColourSwatch>(setupWindow, QString(row.panel).replace("Row", "Swatch"))->accessibleDescription(),
                 expected);
    }

    // Typing, the sliders and white: the swatch follows at once.
    editNamed("bank1GuardWhite")->setText("254");
    QCOMPARE(Params::MixedColour(guard->light()), (Params::Rgb{255, 255, 255}));
    editNamed("bank1GuardWhite")->setText("x");
    QCOMPARE(Params::MixedColour(guard->light()), std::nullopt);
    QVERIFY(guard->accessibleDescription().contains("white unknown"));

    // The flicker plays only while the pointer rests on the swatch.
    editNamed("bank1GuardWhite")->setText("0");
    QVERIFY(!guard->animating());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(guard, &enter);
    QVERIFY(guard->animating());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(guard, &leave);
    QVERIFY(!guard->animating());
    // Where the desktop asks for less motion, the style turns animations off.
    struct StillStyle : QProxyStyle {
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* answer) const override
        {
            return hint == SH_Widget_Animation_Duration ? 0 : QProxyStyle::styleHint(hint, option, widget, answer);
        }
    };
    StillStyle still;
    guard->setStyle(&still);
    QApplication::sendEvent(guard, &enter);
    QVERIFY(!guard->animating());
    guard->setStyle(nullptr);
}

void ParameterScreenTest::valuesOverDifferentBoardValuesAreMarkedAndCounted()
{
    auto* status = control<ValueLabel>(setupWindow, "parameterStatus");
    QCOMPARE(status->value(), QString());
    feed(reply(28, 255));
    feed(reply(31, 35));
    QCOMPARE(status->value(), QString("The screen shows what the board holds."));

    editNamed("bank1GuardRed")->setText("100");
    QCOMPARE(editNamed("bank1GuardRed")->accessibleDescription(), QString("the board holds 25"));
    QCOMPARE(status->value(), QString("1 value on the screen differs from the board: \"Write Parameters\" sends it."));
    editNamed("bank1SwingRed")->setText("36");
    QCOMPARE(status->value(), QString("2 values on the screen differ from the board: \"Write Parameters\" sends them."));
    QCOMPARE(status->accessibleName(),
             QString("Parameter status: 2 values on the screen differ from the board: \"Write Parameters\" sends them."));

    // Back to what the board holds: no mark, nothing counted.
    editNamed("bank1GuardRed")->setText("25");
    editNamed("bank1SwingRed")->setText("35");
    QCOMPARE(editNamed("bank1GuardRed")->accessibleDescription(), QString());
    QCOMPARE(status->value(), QString("The screen shows what the board holds."));
    // A value the board was never asked for is not a difference.
    editNamed("bank2GuardRed")->setText("7");
    QCOMPARE(editNamed("bank2GuardRed")->accessibleDescription(), QString());
    QCOMPARE(status->value(), QString("The screen shows what the board holds."));
}

void ParameterScreenTest::setUpModeSwitchesPanelsAndSliders()
{
    const auto rows = Params::screenRows();
    QCOMPARE(rows.size(), 12u);
    QVERIFY(!control<QFrame>(setupWindow, rows.front().panel)->isEnabled());
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    for (const Params::ScreenRow& row : rows)
        QVERIFY(control<QFrame>(setupWindow, row.panel)->isEnabled());
    QVERIFY(control<QSlider>(setupWindow, "blueBrightness")->isEnabled());
    QVERIFY(!setupWindow->findChild<QLineEdit*>("bank1GuardSensitivityUnused")->isEnabled());
    control<QRadioButton>(setupWindow, "activeModeButton")->click();
    QVERIFY(!control<QFrame>(setupWindow, rows.back().panel)->isEnabled());
    QVERIFY(!control<QSlider>(setupWindow, "blueBrightness")->isEnabled());
}

void ParameterScreenTest::everyControlHasAnAccessibleName()
{
    for (QWidget* window : std::initializer_list<QWidget*>{setupWindow, trafficMonitor, waitDialog}) {
        QList<QWidget*> controls;
        for (QLineEdit* w : window->findChildren<QLineEdit*>())
            if (!qobject_cast<QComboBox*>(w->parentWidget()))
                controls.append(w);
        for (QAbstractButton* w : window->findChildren<QAbstractButton*>())
            if (!qobject_cast<QTableWidget*>(w->parentWidget())) // a grid's own corner button
                controls.append(w);
        for (QSlider* w : window->findChildren<QSlider*>())
            controls.append(w);
        for (QComboBox* w : window->findChildren<QComboBox*>())
            controls.append(w);
        for (QWidget* w : controls)
            QVERIFY2(!w->accessibleName().isEmpty(),
                     qPrintable(window->objectName() + "/" + w->objectName()));
    }
    QCOMPARE(editNamed("bank2ClashSensitivity")->accessibleName(), QString("Bank 2 Clash sensitivity"));
}

TAVRIN_TEST_MAIN(ParameterScreenTest)
#include "common/ui/ValueLabel.h"
#include "tst_parameter_screen.moc"
