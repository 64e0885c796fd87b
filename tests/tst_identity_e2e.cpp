// The board's identity and the parameter files, end to end: the real windows
// and serial component, the command-line program, strict simulated boards.
// An upload is journalled under the serial number read from the board in this
// connection, never under a number left on screen by another board; a
// parameter file saved by the window and by the command line is the same file,
// and its default bank reaches the board through either.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "SoundFiles.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "common/Define.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryFile>

using namespace Sound;

namespace {
constexpr int OPERATION_MS = 30000;
constexpr int CLI_MS = 60000;
const QStringList BOARD_OPTIONS = {"--idle-ms", "1500"};
// Serial numbers of these tests' own, apart from every other test's boards.
const QString BOARD_A = "1523-9101";
const QString BOARD_B = "1523-9102";
// Bank 2 Swing 1, and its button.
const char* const SLOT_BUTTON = "bank2Swing1Button";
const QString NOT_READ = "The board's serial number is not known yet, so what went where is not recorded.";

QJsonObject withoutTimeStamp(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    root.remove(QStringLiteral("saved"));
    return root;
}

bool writeJson(const QString& path, const QJsonObject& root)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(root).toJson()) > 0;
}

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TAVRIN_CLI_PROGRAM), arguments);
    process.waitForFinished(CLI_MS);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}
} // namespace

class IdentityEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void eachUploadIsJournalledUnderTheBoardReadInItsConnection();
    void windowAndCommandLineSaveTheSameFileAndWriteItsDefaultBank();

private:
    bool open(const SimBoard& board) const;
    bool readBoard(const SimBoard& board) const;
    bool upload(const QString& name) const;
    QString journalled(const QString& serial) const;

    EndToEndFixture e2e;
    std::unique_ptr<SimBoard> second;
    SetupWindowFixture* f = nullptr;
};

void IdentityEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({{}, QStringLiteral("board-a"), BOARD_OPTIONS}, {.soundFolder = true}, &why), qPrintable(why));
    second = std::make_unique<SimBoard>(
        SimBoard::Options{e2e.board().portsDir(), QStringLiteral("board-b"), BOARD_OPTIONS});
    QVERIFY2(second->isRunning(), qPrintable(second->errorOutput()));
    QVERIFY(e2e.board().setRunningSerial(9101));
    QVERIFY(second->setRunningSerial(9102));
    f = &e2e.windows();
    for (const QString& serial : {BOARD_A, BOARD_B})
        QFile::remove(SlotJournal().fileFor(serial));
}

void IdentityEndToEndTest::cleanup()
{
    QString report;
    const qint64 secondLate = second ? second->violations() : 0;
    second.reset();
    const bool paced = e2e.finish(&report);
    QVERIFY2(paced, qPrintable(report));
    QCOMPARE(secondLate, 0);
}

bool IdentityEndToEndTest::open(const SimBoard& board) const
{
    if (setupWindow->board()->serialPort()->IsOpen())
        setupWindow->ports()->closePort();
    setupWindow->ports()->listPorts();
    const int index = control<QComboBox>(setupWindow, "portList")->findText(board.portPath());
    if (index < 0)
        return false;
    f->openPort(index);
    if (!setupWindow->board()->serialPort()->IsOpen())
        return false;
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    return WaitFor([&] { return board.mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, OPERATION_MS) &&
           WaitFor([&] { return board.busyMs() == 0; }, SimBoard::CONTROL_TIMEOUT_MS);
}

bool IdentityEndToEndTest::readBoard(const SimBoard& board) const
{
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    return WaitFor([] { return !setupWindow->board()->reading(); }, OPERATION_MS) &&
           WaitFor([&] { return board.busyMs() == 0; }, SimBoard::CONTROL_TIMEOUT_MS);
}

bool IdentityEndToEndTest::upload(const QString& name) const
{
    QFile file(f->folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray content = BoardFormatHeader();
    content.append(QByteArray(200, char(0x11)));
    file.write(content);
    file.close();
    setupWindow->sounds()->browser()->fillFileList();
    const QList<QListWidgetItem*> items =
        control<QListWidget>(setupWindow, "soundFileList")->findItems(name, Qt::MatchExactly);
    if (items.isEmpty())
        return false;
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentItem(items.first());
    f->dialogs.messages.clear();
    setupWindow->findChild<QPushButton*>(SLOT_BUTTON)->click();
    return WaitFor([] { return !setupWindow->board()->link()->busy(); }, OPERATION_MS) &&
           WaitFor([&] { return f->dialogs.messages.contains("Uploading file completed."); }, OPERATION_MS);
}

QString IdentityEndToEndTest::journalled(const QString& serial) const
{
    return SlotJournal().list(serial).at(SlotIndex(2, SlotKind::Swing, 1)).fileName;
}

void IdentityEndToEndTest::eachUploadIsJournalledUnderTheBoardReadInItsConnection()
{
    QVERIFY(open(e2e.board()));
    QVERIFY(readBoard(e2e.board()));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialNumber")->text(), BOARD_A);
    QVERIFY(upload("a.wav"));
    QCOMPARE(journalled(BOARD_A), QString("a.wav"));
    QCOMPARE(control<QLabel>(setupWindow, "journalNote")->text(), QString());

    // Board B, read in its own connection: its own journal, A's untouched.
    QVERIFY(open(*second));
    QVERIFY(readBoard(*second));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialNumber")->text(), BOARD_B);
    QVERIFY(upload("b.wav"));
    QCOMPARE(journalled(BOARD_B), QString("b.wav"));
    QCOMPARE(journalled(BOARD_A), QString("a.wav"));

    // A again, not read: the header still names B, and nothing is journalled.
    QVERIFY(open(e2e.board()));
    QCOMPARE(control<ValueLabel>(setupWindow, "serialNumber")->text(), BOARD_B);
    QVERIFY(upload("c.wav"));
    QCOMPARE(journalled(BOARD_B), QString("b.wav"));
    QCOMPARE(journalled(BOARD_A), QString("a.wav"));
    QCOMPARE(control<QLabel>(setupWindow, "journalNote")->text(), NOT_READ);
    QCOMPARE(f->dialogs.messages, QStringList{"Uploading file completed."});
    QVERIFY(f->dialogs.errors.isEmpty());

    // Its read names it again, and the note goes.
    QVERIFY(readBoard(e2e.board()));
    QCOMPARE(control<QLabel>(setupWindow, "journalNote")->text(), QString());
}

void IdentityEndToEndTest::windowAndCommandLineSaveTheSameFileAndWriteItsDefaultBank()
{
    SimBoard& board = e2e.board();
    QVERIFY(board.setParam(174, 255)); // bank 1 flicker red not set
    QVERIFY(board.setParam(200, 130)); // bank 2 flicker blue beyond its range
    QVERIFY(open(board));
    QVERIFY(readBoard(board));
    const QString windowFile = f->folder.filePath("window.json");
    f->dialogs.files.enqueue(windowFile);
    control<QPushButton>(setupWindow, "saveParametersButton")->click();
    setupWindow->ports()->closePort(); // the command line needs the port

    const QString cliFile = f->folder.filePath("cli.json");
    CliRun run = cli({"read", "--port", board.portPath(), "--json", cliFile, "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QJsonObject saved = withoutTimeStamp(cliFile);
    QCOMPARE(saved, withoutTimeStamp(windowFile));
    const QJsonObject values = saved.value("parameters").toObject();
    QCOMPARE(values.value("bank1.flicker.red").toInt(), 100);
    QCOMPARE(values.value("bank2.flicker.blue").toInt(), 100);
    QCOMPARE(saved.value("serialNumber").toString(), BOARD_A);
    QCOMPARE(saved.value("defaultBank").toInt(), 1);

    // Read then write works: the file is the board's own.
    run = cli({"write", cliFile, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains("The board already holds these values: nothing was written."), qPrintable(run.out));

    // A file that differs only in its default bank writes it, and verifies it.
    QJsonObject bank2 = saved;
    bank2.insert("defaultBank", 2);
    const QString bank2File = f->folder.filePath("bank2.json");
    QVERIFY(writeJson(bank2File, bank2));
    run = cli({"write", bank2File, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + run.out));
    QVERIFY2(run.out.contains("Default bank: 1 -> 2"), qPrintable(run.out));
    QVERIFY2(run.out.contains("86 of 86 values verified"), qPrintable(run.out));
    QCOMPARE(board.param(Define::ADDR_BANK), 2);
    QCOMPARE(board.param(174), 100);

    // In the window: a loaded file's bank and frequency mode go with Write Parameters.
    QVERIFY(open(board));
    QVERIFY(readBoard(board));
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank2Button")->isChecked());
    QJsonObject bank3 = bank2;
    bank3.insert("defaultBank", 3);
    bank3.insert("frequencyMode", 3);
    const QString bank3File = f->folder.filePath("bank3.json");
    QVERIFY(writeJson(bank3File, bank3));
    f->dialogs.files.enqueue(bank3File);
    control<QPushButton>(setupWindow, "loadParametersButton")->click();
    QVERIFY(control<QRadioButton>(setupWindow, "defaultBank3Button")->isChecked());
    QCOMPARE(board.param(Define::ADDR_BANK), 2); // nothing sent before Write Parameters
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(WaitFor([] { return !setupWindow->board()->writing(); }, OPERATION_MS));
    QVERIFY(WaitFor([&] { return board.busyMs() == 0; }, SimBoard::CONTROL_TIMEOUT_MS));
    QCOMPARE(board.param(Define::ADDR_BANK), 3);
    QCOMPARE(board.param(Define::ADDR_FREQUENCY_MODE), 3);
    QVERIFY(f->dialogs.errors.isEmpty());

    // Once the board holds it, the next write leaves the bank alone.
    QTemporaryFile traffic;
    QVERIFY(traffic.open());
    QVERIFY(board.controlOk("log " + traffic.fileName()));
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(WaitFor([] { return !setupWindow->board()->writing(); }, OPERATION_MS));
    QVERIFY(board.controlOk("log off"));
    const QByteArray received = SimBoard::receivedBytes(traffic.fileName());
    QCOMPARE(received.count("#1"), 85);
    QVERIFY(!received.contains(QByteArray::fromHex("23310603")));
}

TAVRIN_TEST_MAIN(IdentityEndToEndTest)
#include "common/ui/ValueLabel.h"
#include "tst_identity_e2e.moc"
