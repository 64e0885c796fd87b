// Parameter files: the screen saved and loaded back, and every kind of bad file
// refused whole with the screen left as it was.
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "comm/BoardLink.h"
#include "params/ParameterFile.h"
#include "params/ParameterLayout.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Params;

namespace {
// Address and value of a reply to a parameter read.
using Replies = QList<std::pair<int, int>>;

// Release 16, lot 1523 (0x05F3) and running serial 300 (0x012C): "16.0", "1523-0300".
const Replies RELEASE_16 = {{1, 16}};
const Replies LOT_1523 = {{100, 0}, {101, 0}, {102, 0x05}, {103, 0xF3}};
const Replies RUNNING_300 = {{104, 0}, {105, 0}, {106, 0x01}, {107, 0x2C}};
const Replies RUNNING_301 = {{104, 0}, {105, 0}, {106, 0x01}, {107, 0x2D}};
} // namespace

class ParameterFileTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void frequencyByteNoModeStandsForIsShownAsNoneAndKept();
    void cleanup() { f.reset(); }

    void keysNameBankRowAndColumn_data();
    void keysNameBankRowAndColumn();
    void saveChangeLoadRestoresTheScreenAndSendsNothing();
    void badFileIsRefusedWholeAndScreenStays_data();
    void badFileIsRefusedWholeAndScreenStays();
    void fileFromAnotherBoardLoadsWithANote();

private:
    // Every edit gets a different valid value; returns them by edit name.
    QMap<QString, QString> fillDistinctValues();
    QMap<QString, QString> screen() const;
    QString save(const QString& name);
    void load(const QString& path);
    // The board answers reads of its release and serial number: the header shows them.
    void answer(const Replies& replies) const;

    std::unique_ptr<SetupWindowFixture> f;
};

void ParameterFileTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    answer(RELEASE_16 + LOT_1523 + RUNNING_300);
}

void ParameterFileTest::answer(const Replies& replies) const
{
    for (const auto& [address, value] : replies) {
        setupWindow->board()->link()->sendRead(address);
        f->port->feed(QByteArray("2") + static_cast<char>(address) + static_cast<char>(value));
    }
}

void ParameterFileTest::keysNameBankRowAndColumn_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("key");
    QTest::newRow("bank 2 clash green") << "bank2ClashGreen"
                                        << "bank2.clash.green";
    QTest::newRow("bank 1 guard red") << "bank1GuardRed"
                                      << "bank1.guard.red";
    QTest::newRow("bank 2 flicker white") << "bank2FlickerWhite"
                                          << "bank2.flicker.white";
    QTest::newRow("vertical calibration") << "verticalCalibration"
                                          << "calibration.vertical";
    QTest::newRow("old serial is no setting") << "oldSerialNumber"
                                              << "";
}

void ParameterFileTest::keysNameBankRowAndColumn()
{
    QFETCH(QString, edit);
    QFETCH(QString, key);
    const ParameterField* field = fieldByEdit(edit);
    QVERIFY(field);
    QCOMPARE(FileKey(*field), key);
}

QMap<QString, QString> ParameterFileTest::fillDistinctValues()
{
    int next = 1;
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = setupWindow->findChild<QLineEdit*>(field.editName()))
            e->setText(QString::number(std::min(next++, field.maxValue)));
    control<QRadioButton>(setupWindow, "defaultBank3Button")->setChecked(true);
    control<QRadioButton>(setupWindow, "frequencyStdButton")->setChecked(true);
    return screen();
}

QMap<QString, QString> ParameterFileTest::screen() const
{
    QMap<QString, QString> texts;
    for (const ParameterField& field : parameterFields())
        if (const QLineEdit* e = setupWindow->findChild<QLineEdit*>(field.editName()))
            texts.insert(field.editName(), e->text());
    return texts;
}

QString ParameterFileTest::save(const QString& name)
{
    const QString path = f->folder.filePath(name);
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "saveParametersButton")->click();
    return path;
}

void ParameterFileTest::load(const QString& path)
{
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "loadParametersButton")->click();
}

void ParameterFileTest::saveChangeLoadRestoresTheScreenAndSendsNothing()
{
    const QMap<QString, QString> saved = fillDistinctValues();
    const QString path = save("screen.json");
    for (QLineEdit* e : setupWindow->findChildren<QLineEdit*>())
        e->setText("0");
    control<QRadioButton>(setupWindow, "defaultBank1Button")->setChecked(true);
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->setChecked(true);
    f->port->clearSent();

    load(path);
    QCOMPARE(screen(), saved);
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank3Button")->isChecked());
    QVERIFY(control<QRadioButton>(setupWindow, "frequencyStdButton")->isChecked());
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(f->dialogs.messages.isEmpty());
    QLineEdit* changed = setupWindow->findChild<QLineEdit*>("bank2ClashGreen");
    QVERIFY(changed->property("changedByFile").toBool());
    setupWindow->parameters()->readParameters();
    QVERIFY(!changed->property("changedByFile").toBool());
}

void ParameterFileTest::frequencyByteNoModeStandsForIsShownAsNoneAndKept()
{
    const auto noneChecked = [] {
        return !control<QRadioButton>(setupWindow, "frequencyStdButton")->isChecked() &&
               !control<QRadioButton>(setupWindow, "frequencyMedButton")->isChecked() &&
               !control<QRadioButton>(setupWindow, "frequencyEvoButton")->isChecked();
    };
    const auto savedFrequency = [this](const QString& name) {
        QFile file(save(name));
        return file.open(QIODevice::ReadOnly)
                   ? QJsonDocument::fromJson(file.readAll()).object().value("frequencyMode").toInt()
                   : -1;
    };
    fillDistinctValues();
    answer({{178, 7}});
    QVERIFY(noneChecked());
    QCOMPARE(savedFrequency("unknown.json"), 7);
    // The user's choice replaces it; the saved file brings it back.
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->click();
    QCOMPARE(savedFrequency("evo.json"), 3);
    load(f->folder.filePath("unknown.json"));
    QVERIFY(f->dialogs.messages.isEmpty());
    QVERIFY(noneChecked());
    QCOMPARE(savedFrequency("again.json"), 7);
    // A byte the board reads as a mode selects it again.
    answer({{178, 255}});
    QVERIFY(control<QRadioButton>(setupWindow, "frequencyEvoButton")->isChecked());
    QCOMPARE(savedFrequency("not-set.json"), 3);
}

void ParameterFileTest::badFileIsRefusedWholeAndScreenStays_data()
{
    ParameterFileContent content;
    for (const ParameterField& field : parameterFields())
        content.edits.insert(field.editName(), "1");
    content.defaultBank = 3;
    content.frequencyMode = 1;
    const QJsonObject good = QJsonDocument::fromJson(WriteParameterFile(content)).object();
    auto with = [&](const QString& key, const QJsonValue& value) {
        QJsonObject root = good;
        QJsonObject parameters = root["parameters"].toObject();
        if (value.isUndefined())
            parameters.remove(key);
        else
            parameters[key] = value;
        root["parameters"] = parameters;
        return QJsonDocument(root).toJson();
    };
    auto top = [&](const QString& key, const QJsonValue& value) {
        QJsonObject root = good;
        root[key] = value;
        return QJsonDocument(root).toJson();
    };
    const QByteArray whole = QJsonDocument(good).toJson();

    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("truncated") << whole.left(whole.size() / 2) << "The file is damaged";
    QTest::newRow("not json") << QByteArray("RIFF\x10\0\0\0WAVE", 12) << "The file is damaged";
    QTest::newRow("foreign json") << QByteArray("{\"name\": \"something else\"}")
                                  << "The file is not a Tavrin Manager parameter file.";
    QTest::newRow("newer format") << top("version", 2) << "format version 2";
    QTest::newRow("colour of 300") << with("bank2.clash.green", 300)
                                   << "Entry \"bank2.clash.green\": Bank 2 Clash green must be between 0 "
                                      "and 255 (it is 300).";
    QTest::newRow("text for a number")
        << with("bank1.guard.red", "12a") << "Entry \"bank1.guard.red\": '12a' is not a valid integer value";
    QTest::newRow("fraction") << with("bank1.guard.red", 1.5) << "Entry \"bank1.guard.red\"";
    QTest::newRow("missing entry") << with("bank3.swing.blue", QJsonValue(QJsonValue::Undefined))
                                   << "Entry \"bank3.swing.blue\" is missing.";
    QTest::newRow("unknown entry") << with("bank4.guard.red", 1)
                                   << "Entry \"bank4.guard.red\" is not a parameter of this board.";
    QTest::newRow("default bank 4") << top("defaultBank", 4) << "Entry \"defaultBank\" must be 1, 2 or 3.";
    QTest::newRow("frequency 256") << top("frequencyMode", 256)
                                   << "Entry \"frequencyMode\" must be 1, 2 or 3, or a byte a board held (0 to 255).";
    QTest::newRow("huge") << QByteArray(3 << 20, ' ') << "The file is too large to be a parameter file.";
}

void ParameterFileTest::badFileIsRefusedWholeAndScreenStays()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString path = f->folder.filePath("bad.json");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    fillDistinctValues();
    const QMap<QString, QString> before = screen();
    f->port->clearSent();

    load(path);
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages[0].contains("was not loaded, the screen is unchanged."),
             qPrintable(f->dialogs.messages[0]));
    QVERIFY2(f->dialogs.messages[0].contains(reason), qPrintable(f->dialogs.messages[0]));
    QCOMPARE(screen(), before);
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank3Button")->isChecked());
    QVERIFY(f->port->sent.isEmpty());
}

void ParameterFileTest::fileFromAnotherBoardLoadsWithANote()
{
    const QMap<QString, QString> saved = fillDistinctValues();
    const QString path = save("other.json");
    answer(RUNNING_301);
    load(path);
    QCOMPARE(screen(), saved);
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].contains("saved from board 1523-0300, release 16.0; this board is "
                                            "1523-0301, release 16.0"));
}

TAVRIN_TEST_MAIN(ParameterFileTest)
#include "tst_parameter_file.moc"
