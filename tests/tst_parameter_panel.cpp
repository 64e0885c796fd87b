// The parameter panel on its own, beside controls of the window's: set-up mode
// turns on only what reads or writes the board, decoded replies reach only the
// panel's own controls, the window's widgets land where it puts them, and a
// measured calibration value is painted at once; every control explains itself
// and a value the board holds otherwise says what the board holds.
#include "PaintCounter.h"
#include "TestMain.h"

#include "params/ParameterLayout.h"
#include "comm/BoardLink.h"
#include "params/Board.h"
#include "params/ui/ParameterPanel.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <memory>

using Params::DecoderEffect;

class ParameterPanelTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void setUpModeTurnsOnWhatTalksToTheBoard_data();
    void setUpModeTurnsOnWhatTalksToTheBoard();
    void decodedRepliesFillThePanel_data();
    void decodedRepliesFillThePanel();
    void decodedRepliesLeaveTheWindowsControls_data();
    void decodedRepliesLeaveTheWindowsControls();
    void rowWidgetsFollowTheValuesInOrder();
    void rowsBeyondTheTwelveTakeNothing_data();
    void rowsBeyondTheTwelveTakeNothing();
    void actionRowGoesBelowTheButtons();
    void calibrationWidgetsGoBesideTheValues();
    void measuredCalibrationIsPaintedAtOnce_data();
    void measuredCalibrationIsPaintedAtOnce();
    void everyControlSaysWhatItDoes();
    void tooltipsTellWhatTheBoardHoldsWhereItDiffers();

private:
    QWidget* control(const QString& name) const { return panel->findChild<QWidget*>(name); }
    std::unique_ptr<QWidget> window;
    Params::Board* board = nullptr;
    ParameterPanel* panel = nullptr;
};

void ParameterPanelTest::init()
{
    // The window's own controls carry names the decoder also uses.
    window = std::make_unique<QWidget>();
    board = new Params::Board(window.get());
    panel = new ParameterPanel(*board, [](Operation*) { return false; }, window.get());
    auto* tx = new QRadioButton(QStringLiteral("TX"), window.get());
    tx->setObjectName("txModeButton");
    auto* release = new QLineEdit(window.get());
    release->setObjectName("releaseNumber");
    auto* layout = new QVBoxLayout(window.get());
    layout->addWidget(panel);
}

void ParameterPanelTest::cleanup()
{
    window.reset();
}

void ParameterPanelTest::setUpModeTurnsOnWhatTalksToTheBoard_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onlyInSetUp");
    QTest::newRow("Read Parameters") << "readParametersButton" << true;
    QTest::newRow("Write Parameters") << "writeParametersButton" << true;
    QTest::newRow("Verify") << "verifyParametersButton" << true;
    QTest::newRow("first row") << "bank1GuardRow" << true;
    QTest::newRow("last row") << "bank3PowerClashRow" << true;
    QTest::newRow("red slider") << "redBrightness" << true;
    QTest::newRow("white slider") << "whiteBrightness" << true;
    QTest::newRow("Save...") << "saveParametersButton" << false;
    QTest::newRow("Load...") << "loadParametersButton" << false;
    QTest::newRow("frequency") << "frequencyStdButton" << false;
    QTest::newRow("calibration") << "verticalCalibration" << false;
    QTest::newRow("default bank") << "defaultBank2Button" << false;
}

void ParameterPanelTest::setUpModeTurnsOnWhatTalksToTheBoard()
{
    QFETCH(QString, name);
    QFETCH(bool, onlyInSetUp);
    QWidget* widget = control(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->isEnabled(), !onlyInSetUp);
    board->setSetUpMode(true);
    QVERIFY(widget->isEnabled());
    board->setSetUpMode(false);
    QCOMPARE(widget->isEnabled(), !onlyInSetUp);
}

void ParameterPanelTest::decodedRepliesFillThePanel_data()
{
    QTest::addColumn<QStringList>("replies");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("colour") << QStringList{"32 1C 19"} << "bank1GuardRed" << "25";
    // The low byte's answer first: the pair is whole only with both.
    QTest::newRow("sensitivity") << QStringList{"32 31 34", "32 30 12"} << "bank2SwingSensitivity" << "4660";
    QTest::newRow("flicker") << QStringList{"32 E1 28"} << "bank3FlickerWhite" << "40";
    QTest::newRow("calibration") << QStringList{"32 0A FF", "32 0B FF"} << "horizontalCalibration" << "-1";
}

void ParameterPanelTest::decodedRepliesFillThePanel()
{
    QFETCH(QStringList, replies);
    QFETCH(QString, control);
    QFETCH(QString, text);
    for (const QString& reply : replies)
        emit board->link()->parameterReply(QByteArray::fromHex(reply.toLatin1()));
    QCOMPARE(panel->findChild<QLineEdit*>(control)->text(), text);
    // What the board holds is what "Save..." and "Write Parameters" take.
    QCOMPARE(board->screen().shownText(control), text);
    emit board->link()->parameterReply(QByteArray::fromHex("32 B2 03"));
    QVERIFY(panel->findChild<QRadioButton*>("frequencyEvoButton")->isChecked());
}

void ParameterPanelTest::decodedRepliesLeaveTheWindowsControls_data()
{
    QTest::addColumn<bool>("radio");
    QTest::addColumn<QString>("control");
    QTest::newRow("the window's radio button") << true << "txModeButton";
    QTest::newRow("the window's edit") << false << "releaseNumber";
    QTest::newRow("a name no control has") << false << "nothingOfThatName";
}

void ParameterPanelTest::decodedRepliesLeaveTheWindowsControls()
{
    QFETCH(bool, radio);
    QFETCH(QString, control);
    emit board->decoded(radio ? DecoderEffect::selectRadio(control) : DecoderEffect::setText(control, "7.0"));
    QVERIFY(!window->findChild<QRadioButton*>("txModeButton")->isChecked());
    QCOMPARE(window->findChild<QLineEdit*>("releaseNumber")->text(), QString());
}

void ParameterPanelTest::rowWidgetsFollowTheValuesInOrder()
{
    auto* erase = new QPushButton(QStringLiteral("erase"));
    auto* slot = new QPushButton(QStringLiteral("slot"));
    panel->addToRow(5, {erase, slot});
    QLayout* cells = panel->findChild<QFrame*>(Params::screenRows()[5].panel)->layout();
    QCOMPARE(cells->itemAt(cells->count() - 2)->widget(), erase);
    QCOMPARE(cells->itemAt(cells->count() - 1)->widget(), slot);
    QCOMPARE(slot->parentWidget(), panel->findChild<QFrame*>(Params::screenRows()[5].panel));
    // Off with their row until set-up mode.
    QVERIFY(!slot->isEnabled());
}

void ParameterPanelTest::rowsBeyondTheTwelveTakeNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("before the first") << -1;
    QTest::newRow("after the last") << 12;
}

void ParameterPanelTest::rowsBeyondTheTwelveTakeNothing()
{
    QFETCH(int, row);
    QPushButton stray(QStringLiteral("stray"));
    panel->addToRow(row, {&stray});
    QCOMPARE(stray.parentWidget(), nullptr);
}

void ParameterPanelTest::actionRowGoesBelowTheButtons()
{
    auto* row = new QWidget;
    panel->insertActionRow(row);
    QLayout* group = panel->findChild<QGroupBox*>("parameterGroup")->layout();
    QCOMPARE(group->itemAt(0)->layout()->itemAt(0)->widget(), panel->findChild<QPushButton*>("readParametersButton"));
    QCOMPARE(group->itemAt(1)->widget(), row);
    QCOMPARE(group->itemAt(2)->widget(), panel->findChild<QLabel*>("ledRowHeading"));
}

void ParameterPanelTest::calibrationWidgetsGoBesideTheValues()
{
    auto* automatic = new QPushButton(QStringLiteral("Auto"));
    auto* manual = new QPushButton(QStringLiteral("Man."));
    panel->addToCalibration(automatic);
    panel->addToCalibration(manual);
    QLayout* box = panel->findChild<QGroupBox*>("calibrationBox")->layout();
    QCOMPARE(box->indexOf(panel->findChild<QLineEdit*>("horizontalCalibration")), 3);
    QCOMPARE(box->indexOf(automatic), 4);
    QCOMPARE(box->indexOf(manual), 5);
}

void ParameterPanelTest::measuredCalibrationIsPaintedAtOnce_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QString>("text");
    QTest::newRow("vertical") << true << "-312";
    QTest::newRow("horizontal") << false << "1045";
}

void ParameterPanelTest::measuredCalibrationIsPaintedAtOnce()
{
    QFETCH(bool, vertical);
    QFETCH(QString, text);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QLineEdit* field = vertical ? panel->findChild<QLineEdit*>("verticalCalibration")
                                : panel->findChild<QLineEdit*>("horizontalCalibration");
    PaintCounter counter;
    field->installEventFilter(&counter);
    // No event loop runs in between: the measurement holds it.
    if (vertical)
        panel->showVerticalCalibration(text);
    else
        panel->showHorizontalCalibration(text);
    QCOMPARE(field->text(), text);
    QVERIFY(counter.paints > 0);
}

void ParameterPanelTest::everyControlSaysWhatItDoes()
{
    QList<QWidget*> controls;
    for (QWidget* widget : panel->findChildren<QWidget*>())
        if ((qobject_cast<QAbstractButton*>(widget) || qobject_cast<QSlider*>(widget)
             || qobject_cast<QLineEdit*>(widget))
            && !widget->property("permanentlyDisabled").toBool())
            controls << widget;
    for (const Params::ScreenRow& row : Params::screenRows())
        controls << control(QString::fromLatin1(row.captionLabel));
    // 78 values but the old serial number, the header's; 5 buttons, 3 banks, 3 modes, 4 sliders, 12 rows.
    QCOMPARE(controls.size(), 77 + 5 + 3 + 3 + 4 + 12);
    for (QWidget* widget : std::as_const(controls))
        QVERIFY2(!widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    QCOMPARE(control("whiteBrightness")->toolTip(),
             QStringLiteral("Sets the white channel of the row chosen by clicking its caption: the top stands "
                            "for 254, the bottom for 0."));
}

void ParameterPanelTest::tooltipsTellWhatTheBoardHoldsWhereItDiffers()
{
    auto* red = panel->findChild<QLineEdit*>("bank1GuardRed");
    const QString help = QStringLiteral(
        "Bank 1 Guard red: address 28, 0..255\nRed channel of bank 1's Guard colour, the blade's colour between "
        "events (the row of the On, Off and Hum sounds). Higher is brighter; the brightness sliders set it "
        "too.\nAn unset byte (255) is shown as 25.");
    QCOMPARE(red->toolTip(), help); // nothing shown, nothing read
    red->setText(QStringLiteral("200"));
    QCOMPARE(red->toolTip(), help + QStringLiteral("\nOn the board: not read"));
    emit board->link()->parameterReply(QByteArray::fromHex("32 1C FF"));
    QCOMPARE(red->text(), QStringLiteral("25"));
    QCOMPARE(red->toolTip(), help);
    red->setText(QStringLiteral("200"));
    QCOMPARE(red->toolTip(), help + QStringLiteral("\nOn the board: 25"));
    // Written: the board holds what the screen shows.
    emit board->link()->frameSent(QByteArray::fromHex("23 31 1C C8 00 00 0A"));
    QCOMPARE(red->toolTip(), help);
    // The port closed: what the board holds is not known any more.
    board->forget();
    QCOMPARE(red->toolTip(), help + QStringLiteral("\nOn the board: not read"));

    // A mode chosen on the screen, the board's still Evo.
    emit board->link()->parameterReply(QByteArray::fromHex("32 B2 03"));
    auto* standard = panel->findChild<QRadioButton*>("frequencyStdButton");
    QVERIFY(!standard->toolTip().contains(QStringLiteral("On the board")));
    standard->click();
    QVERIFY2(standard->toolTip().endsWith(QStringLiteral(".\nOn the board: 3")), qPrintable(standard->toolTip()));
    QVERIFY2(panel->findChild<QRadioButton*>("frequencyEvoButton")->toolTip().endsWith("On the board: 3"),
             "every button of the group says it");
}

TAVRIN_TEST_MAIN(ParameterPanelTest)
#include "tst_parameter_panel.moc"
