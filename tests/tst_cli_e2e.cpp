// The command-line program, run as a process against strict simulated boards.
#include "HexImage.h"
#include "SimBoard.h"
#include "WaitFor.h"

#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <csignal>

using namespace Sound;

namespace {
constexpr int RUN_TIMEOUT_MS = 60000;
// Bank 1 Clash red: the byte at 24 + 15.
constexpr int CLASH_RED_ADDRESS = 39;

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// The user's data folder of every run: the journals stay away from the user's own.
QString dataHome()
{
    static const QTemporaryDir folder;
    return folder.path();
}

class CliProcess {
public:
    explicit CliProcess(const QStringList& arguments, const QString& portsDir = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
        if (!portsDir.isEmpty())
            environment.insert(QStringLiteral("TAVRIN_PORTS_DIR"), portsDir);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVRIN_CLI_PROGRAM), arguments);
    }
    Run wait()
    {
        process.waitForFinished(RUN_TIMEOUT_MS);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }
    QProcess process;
};

Run cli(const QStringList& arguments, const QString& portsDir = {})
{
    return CliProcess(arguments, portsDir).wait();
}

// Another program holding a port as serial tools do, with an exclusive lock,
// until it is killed.
class PortHolder {
public:
    explicit PortHolder(const QString& port)
    {
        process.start(QStringLiteral("flock"), {"-x", "-n", port, "-c", "echo held; exec sleep 60"});
    }
    ~PortHolder()
    {
        process.kill();
        process.waitForFinished();
    }
    bool holding()
    {
        return WaitFor([this] { return process.canReadLine(); }, RUN_TIMEOUT_MS);
    }
    QProcess process;
};
} // namespace

class CliE2eTest : public QObject {
    Q_OBJECT
private slots:
    void badUsageIsOneLineAndExitCodeTwo_data();
    void badUsageIsOneLineAndExitCodeTwo();
    void writeThenReadRoundTrip();
    void modeEraseAndUploadReachTheBoard();
    void uploadsImportsAndErasesAreJournalledUnderTheBoardsSerial();
    void importMatchesTheFontToTheBankAndLeavesTheRestOut();
    void portsListsTheBoardWithItsIdentity();
    void portsLeavesTheBoardInTheModeItFound_data();
    void portsLeavesTheBoardInTheModeItFound();
    void boardHeldByAnotherProgramIsNamedAndFails_data();
    void boardHeldByAnotherProgramIsNamedAndFails();
    void oneBoardLostMidwayTheOtherFinishes();
    void recordWritesOneRowPerFrameThenSetUp();
    void fileOutputToAFullDeviceFails_data();
    void fileOutputToAFullDeviceFails();
    void readOntoAFullFileSystemKeepsTheOldFile();
    void outputOntoAFullDeviceFails();
    void ctrlCStopsAWriteBetweenFramesAndSaysWhatWasLeft();
    void flashProgramsTheFileThroughTheLoader();
    void calibrateAsksForBothPositionsAndWritesTheirMeans();
};

void CliE2eTest::badUsageIsOneLineAndExitCodeTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"frobnicate"};
    QTest::newRow("unknown option") << QStringList{"read", "--port", "/dev/null", "--frob"};
    QTest::newRow("missing file") << QStringList{"write", "/nonexistent/params.json", "--port", "/dev/null"};
    QTest::newRow("bad mode") << QStringList{"mode", "sideways", "--port", "/dev/null"};
    QTest::newRow("import without a folder") << QStringList{"import", "--bank", "2", "/nonexistent/font"};
    QTest::newRow("bank out of range")
        << QStringList{"erase", "--bank", "4", "--row", "guard", "--port", "/dev/null"};
    QTest::newRow("no slot") << QStringList{"upload", "--bank", "1",      "--slot",
                                            "swing9", "x.wav",  "--port", "/dev/null"};
}

void CliE2eTest::badUsageIsOneLineAndExitCodeTwo()
{
    QFETCH(QStringList, arguments);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    QVERIFY(run.out.isEmpty());
}

void CliE2eTest::writeThenReadRoundTrip()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.json"));
    Run run = cli({"read", "--port", board.portPath(), "--json", saved, "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    QJsonObject parameters = root.value(QStringLiteral("parameters")).toObject();
    QCOMPARE(parameters.value(QStringLiteral("bank1.clash.red")).toInt(), board.param(CLASH_RED_ADDRESS));
    parameters.insert(QStringLiteral("bank1.clash.red"), 123);
    root.insert(QStringLiteral("parameters"), parameters);
    const QString changed = dir.filePath(QStringLiteral("changed.json"));
    QFile out(changed);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(QJsonDocument(root).toJson());
    out.close();

    QTemporaryFile traffic;
    QVERIFY(traffic.open());
    QVERIFY(board.controlOk("log " + traffic.fileName()));
    run = cli({"write", changed, "--port", board.portPath(), "--dry-run", "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.param(CLASH_RED_ADDRESS), 200);
    run = cli({"write", changed, "--port", board.portPath(), "--dry-run"});
    QVERIFY2(run.out.contains(QStringLiteral("Bank 1 Clash red: 200 -> 123")), qPrintable(run.out));
    QVERIFY(board.controlOk("log off"));
    // The dry runs sent status frames (writes to address 2) and reads, and no
    // other parameter write.
    const QByteArray received = SimBoard::receivedBytes(traffic.fileName());
    QVERIFY(received.count("#2") >= 2 * 226);
    for (qsizetype at = received.indexOf("#1"); at >= 0; at = received.indexOf("#1", at + 1))
        QCOMPARE(int(received.at(at + 2)), 2);

    run = cli({"write", changed, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("85 of 85 values verified")), qPrintable(run.out));
    QCOMPARE(board.param(CLASH_RED_ADDRESS), 123);
    run = cli({"write", saved, "--port", board.portPath(), "--no-verify"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(!run.out.contains(QStringLiteral("verified")), qPrintable(run.out));
    QCOMPARE(board.param(CLASH_RED_ADDRESS), 200);
    run = cli({"write", changed, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    run = cli({"read", "--port", board.portPath(), "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject reread = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(reread.value("boards")[0]["parameters"]["bank1.clash.red"].toString(), QStringLiteral("123"));
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::modeEraseAndUploadReachTheBoard()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    Run run = cli({"mode", "tx", "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.mode(), 3);
    run = cli({"mode", "active", "--port", board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(board.mode(), 1);

    run = cli({"erase", "--bank", "1", "--row", "guard", "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString sound = QStringLiteral(TAVRIN_BASE_SOUNDS_DIR "/Base_Clash_1_0.wav");
    const qint64 uploadsBefore = board.counter(QStringLiteral("uploads"));
    run = cli({"upload", "--bank", "2", "--slot", "clash1", sound, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploadsBefore + 1);
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::uploadsImportsAndErasesAreJournalledUnderTheBoardsSerial()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    // Running serial 9201 (0x23F1): this test's own journal.
    QVERIFY(board.setParam(106, 0x23));
    QVERIFY(board.setParam(107, 0xF1));
    const SlotJournal journal(dataHome() + "/Tavrin Manager/slot-journal");
    const QString serial = QStringLiteral("1523-9201");
    QFile::remove(journal.fileFor(serial));
    const int hum = SlotIndex(1, SlotKind::Hum, 1);
    const int swing3 = SlotIndex(2, SlotKind::Swing, 3);

    QTemporaryDir files;
    const QString base = QStringLiteral(TAVRIN_BASE_SOUNDS_DIR);
    QVERIFY(QFile::copy(base + "/Base_Hum_0.wav", files.filePath("my-hum.wav")));
    Run run = cli({"upload", "--bank", "1", "--slot", "hum", files.filePath("my-hum.wav"), "--port",
                   board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QFile hum0(files.filePath("my-hum.wav"));
    QVERIFY(hum0.open(QIODevice::ReadOnly));
    QCOMPARE(journal.list(serial).at(hum).fileName, QString("my-hum.wav"));
    QCOMPARE(journal.list(serial).at(hum).checksum, FileChecksum(hum0.readAll()));

    QTemporaryDir font;
    QVERIFY(QFile::copy(base + "/Base_Swing_1_0.wav", font.filePath("Swing_03.wav")));
    run = cli({"import", "--bank", "2", font.path(), "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(journal.list(serial).at(swing3).fileName, QString("Swing_03.wav"));

    // The row erase makes the hum unknown and leaves bank 2 as it was.
    run = cli({"erase", "--bank", "1", "--row", "guard", "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(!journal.list(serial).at(hum).known());
    QCOMPARE(journal.list(serial).at(swing3).fileName, QString("Swing_03.wav"));
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::importMatchesTheFontToTheBankAndLeavesTheRestOut()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    QTemporaryDir font;
    const QString base = QStringLiteral(TAVRIN_BASE_SOUNDS_DIR);
    QVERIFY(QFile::copy(base + "/Base_PowerOn_0.wav", font.filePath("poweron.wav")));
    QVERIFY(QFile::copy(base + "/Base_Swing_1_0.wav", font.filePath("Swing_03.wav")));
    QVERIFY(QFile::copy(base + "/Base_Clash_1_0.wav", font.filePath("blaster.wav")));
    const qint64 uploadsBefore = board.counter(QStringLiteral("uploads"));
    const Run run = cli({"import", "--bank", "2", font.path(), "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploadsBefore + 2);
    QVERIFY2(run.err.contains("left out: blaster.wav: matches no slot"), qPrintable(run.err));
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::portsListsTheBoardWithItsIdentity()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    const Run run = cli({"ports", "--json"}, board.portsDir());
    QCOMPARE(run.exitCode, 0);
    const QJsonArray boards = QJsonDocument::fromJson(run.out.toUtf8()).object().value("boards").toArray();
    bool found = false;
    for (const QJsonValue& b : boards)
        if (b["port"].toString() == board.portPath()) {
            found = true;
            QVERIFY(b["answered"].toBool());
            QVERIFY(!b["serialNumber"].toString().isEmpty());
        }
    QVERIFY(found);
}

void CliE2eTest::portsLeavesTheBoardInTheModeItFound_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("status");
    QTest::newRow("streaming in TX") << "tx" << 3;
    QTest::newRow("Active") << "active" << 1;
    QTest::newRow("SetUp") << "setup" << 4;
}

void CliE2eTest::portsLeavesTheBoardInTheModeItFound()
{
    QFETCH(QString, mode);
    QFETCH(int, status);
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    Run run = cli({"mode", mode, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.mode(), status);
    run = cli({"ports"}, board.portsDir());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(board.portPath() + "  release "), qPrintable(run.out));
    QVERIFY2(!run.out.contains("left in SetUp") && !run.err.contains("left in SetUp"), qPrintable(run.err));
    QCOMPARE(board.mode(), status);
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::boardHeldByAnotherProgramIsNamedAndFails_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("read --all") << QStringList{"read", "--all", "--quiet"};
    QTest::newRow("write --all") << QStringList{"write", "PARAMETERS", "--all", "--quiet"};
    QTest::newRow("ports") << QStringList{"ports", "--quiet"};
}

void CliE2eTest::boardHeldByAnotherProgramIsNamedAndFails()
{
    QFETCH(QStringList, command);
    QTemporaryDir folder;
    SimBoard free(SimBoard::Options{folder.path(), QStringLiteral("kordex-free"), {}, true});
    SimBoard held(SimBoard::Options{folder.path(), QStringLiteral("kordex-held"), {}, true});
    QVERIFY2(free.isRunning() && held.isRunning(), qPrintable(free.errorOutput() + held.errorOutput()));
    const QString parameters = folder.filePath(QStringLiteral("parameters.json"));
    QCOMPARE(cli({"read", "--port", free.portPath(), "--json", parameters, "--quiet"}).exitCode, 0);
    command.replaceInStrings(QStringLiteral("PARAMETERS"), parameters);

    PortHolder holder(held.portPath());
    QVERIFY(holder.holding());
    const Run run = cli(command, folder.path());
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("The board on %1 was skipped.").arg(held.portPath())),
             qPrintable(run.err));
    QVERIFY2(!run.err.contains(free.portPath()), qPrintable(run.err));
    QVERIFY2(free.violations() == 0, qPrintable(free.violationReport()));
}

void CliE2eTest::oneBoardLostMidwayTheOtherFinishes()
{
    SimBoard first;
    SimBoard second;
    QVERIFY2(first.isRunning() && second.isRunning(), qPrintable(first.errorOutput() + second.errorOutput()));
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("p.json"));
    QCOMPARE(cli({"read", "--port", first.portPath(), "--json", saved, "--quiet"}).exitCode, 0);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray text = file.readAll().replace("\"bank1.clash.red\": 200", "\"bank1.clash.red\": 77");
    file.resize(0);
    file.write(text);
    file.close();

    CliProcess both({"write", saved, "--port", first.portPath(), "--port", second.portPath(), "--quiet"});
    // Unplugged once the writes run: the sweep and the status frames take about
    // 3 s, more when a sweep is read again or the machine is loaded.
    QVERIFY(WaitFor([&] { return second.param(CLASH_RED_ADDRESS) != 200 || second.counter("frames") > 240; },
                    45000));
    QVERIFY(second.controlOk(QStringLiteral("unplug")));
    const Run run = both.wait();
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(second.portPath()) && run.err.contains(QStringLiteral("lost")),
             qPrintable(run.err));
    QVERIFY2(!run.err.contains(first.portPath()), qPrintable(run.err));
    QCOMPARE(first.param(CLASH_RED_ADDRESS), 77);
}

void CliE2eTest::recordWritesOneRowPerFrameThenSetUp()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("motion.csv"));
    const Run run = cli({"record", "--seconds", "2", csv, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.mode(), 4);
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.first(),
             QByteArray("ms,posx,posy,posz,rotx,roty,rotz,Red,Green,Blue,Battery_V,USB_V,STATO"));
    // The board streams 50 frames a second; the last line is the empty one after the final line feed.
    QVERIFY2(lines.size() > 40, qPrintable(QString::number(lines.size())));
    QCOMPARE(lines[1].count(','), 12);
    QVERIFY2(run.out.contains(QStringLiteral("%1 telemetry frames recorded").arg(lines.size() - 2)),
             qPrintable(run.out));
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::fileOutputToAFullDeviceFails_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // a pattern, after the port
    QTest::newRow("read --json") << QStringList{"read", "--json", "/dev/full"}
                                 << ": cannot save the parameters to /dev/full: No space left on device\n$";
    QTest::newRow("record") << QStringList{"record", "--seconds", "1", "/dev/full"}
                            << ": telemetry recording stopped after \\d+ frames: cannot write /dev/full: No "
                               "space left on device\n$";
}

void CliE2eTest::fileOutputToAFullDeviceFails()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    const Run run = cli(arguments + QStringList{"--port", board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QRegularExpression(QRegularExpression::escape(board.portPath()) + message)),
             qPrintable(run.err));
    QVERIFY(!run.out.contains(QStringLiteral("saved")));
    QVERIFY(!run.out.contains(QStringLiteral("recorded")));
    QCOMPARE(board.mode(), 4);
    QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::readOntoAFullFileSystemKeepsTheOldFile()
{
    QTemporaryDir mountPoint;
    if (QProcess::execute(QStringLiteral("mount"),
                          {"-t", "tmpfs", "-o", "size=64k", "tmpfs", mountPoint.path()}) != 0)
        QSKIP("a small file system cannot be mounted here (needs root)");
    const auto unmount =
        qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mountPoint.path()}); });
    const QString saved = mountPoint.filePath(QStringLiteral("saved.json"));
    const QByteArray old = "{\"an\": \"earlier save\"}\n";
    QFile oldFile(saved);
    QVERIFY(oldFile.open(QIODevice::WriteOnly));
    QCOMPARE(oldFile.write(old), old.size());
    oldFile.close();
    // Whatever room is left is taken.
    QFile filler(mountPoint.filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    filler.write(QByteArray(128 * 1024, 'x'));
    filler.close();
    QCOMPARE(QStorageInfo(mountPoint.path()).bytesAvailable(), 0);

    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    const Run run = cli({"read", "--json", saved, "--port", board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("%1: cannot save the parameters to %2: No space left on device\n")
                          .arg(board.portPath(), saved));
    QFile after(saved);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), old);
    QCOMPARE(QDir(mountPoint.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"filler", "saved.json"}));
}

void CliE2eTest::outputOntoAFullDeviceFails()
{
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(TAVRIN_CLI_PROGRAM), {"--help"});
    QVERIFY(process.waitForFinished(RUN_TIMEOUT_MS));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(process.readAllStandardError().startsWith("tavrin-cli: cannot write the output: "),
             "no message on the error stream");
}

void CliE2eTest::ctrlCStopsAWriteBetweenFramesAndSaysWhatWasLeft()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("p.json"));
    QCOMPARE(cli({"read", "--port", board.portPath(), "--json", saved, "--quiet"}).exitCode, 0);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const QByteArray text = file.readAll().replace("\"bank1.clash.red\": 200", "\"bank1.clash.red\": 77");
    file.resize(0);
    file.write(text);
    file.close();
    QTemporaryFile traffic;
    QVERIFY(traffic.open());
    QVERIFY(board.controlOk("log " + traffic.fileName()));

    CliProcess writing({"write", saved, "--port", board.portPath(), "--quiet"});
    QVERIFY(WaitFor([&] { return board.param(CLASH_RED_ADDRESS) == 77; }, 20000));
    QCOMPARE(::kill(pid_t(writing.process.processId()), SIGINT), 0);
    const Run run = writing.wait();
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    const QRegularExpressionMatch stopped =
        QRegularExpression(QStringLiteral("stopped after (\\d+) of (\\d+) values")).match(run.err);
    QVERIFY2(stopped.hasMatch(), qPrintable(run.err));
    const int written = stopped.captured(1).toInt();
    QVERIFY2(written > 0 && written < stopped.captured(2).toInt(), qPrintable(run.err));
    QVERIFY(WaitFor([&] { return board.busyMs() == 0; }, 5000));
    QVERIFY(board.controlOk("log off"));
    // Every value frame the board got is one the message counts: none left after it.
    const QByteArray received = SimBoard::receivedBytes(traffic.fileName());
    int valueFrames = 0;
    for (qsizetype at = received.indexOf("#1"); at >= 0; at = received.indexOf("#1", at + 1))
        valueFrames += received.at(at + 2) != 2;
    QCOMPARE(valueFrames, written);
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::flashProgramsTheFileThroughTheLoader()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    QVERIFY(board.controlOk(QStringLiteral("switch loader")));
    QTemporaryDir dir;
    const HexImage image = MakeHexImage(256, 16);
    const QString hex = dir.filePath(QStringLiteral("firmware.hex"));
    QFile file(hex);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image.text);
    file.close();
    // A file refused by the check: nothing reaches the board.
    const QString broken = dir.filePath(QStringLiteral("broken.hex"));
    QFile brokenFile(broken);
    QVERIFY(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write(QByteArray(image.text).replace(":10000000", ":10000001"));
    brokenFile.close();
    const qint64 receivedBefore = board.counter(QStringLiteral("received"));
    Run run = cli({"flash", broken, "--yes", "--port", board.portPath()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("cannot be sent to the board, line 1: checksum")),
             qPrintable(run.err));
    QCOMPARE(board.counter(QStringLiteral("received")), receivedBefore);

    run = cli({"flash", hex, "--yes", "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.dump(QStringLiteral("program")), LoaderWordBytes(image.data));
    QVERIFY2(run.out.contains(QStringLiteral("Programming done: 128 words written.")), qPrintable(run.out));
    QVERIFY2(run.out.endsWith(QStringLiteral("Set the dipswitches for active status.\n")),
             qPrintable(run.out));
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

void CliE2eTest::calibrateAsksForBothPositionsAndWritesTheirMeans()
{
    SimBoard board;
    QVERIFY2(board.isRunning(), qPrintable(board.errorOutput()));
    // The factory constants match the sensor already: cleared, only the new writes can restore them.
    for (int address = 8; address <= 11; ++address)
        QVERIFY(board.setParam(address, 0));
    QVERIFY(board.controlOk(QStringLiteral("pose vertical")));
    CliProcess calibrating({"calibrate", "--port", board.portPath()});
    QString shown;
    const auto showing = [&](const QString& text) {
        return WaitFor(
            [&] {
                shown += QString::fromLocal8Bit(calibrating.process.readAllStandardOutput());
                return shown.contains(text);
            },
            20000);
    };
    QVERIFY2(showing(QStringLiteral("vertical position (blade tip up)")), qPrintable(shown));
    calibrating.process.write("\n");
    QVERIFY2(showing(QStringLiteral("keep the Light Saber in horizontal position")), qPrintable(shown));
    QVERIFY(board.controlOk(QStringLiteral("pose horizontal")));
    calibrating.process.write("\n");
    const Run run = calibrating.wait();
    QVERIFY2(run.exitCode == 0, qPrintable(run.err + shown));
    QVERIFY2(run.out.contains(QStringLiteral("Procedure OK. Kordex has been calibrated with value")),
             qPrintable(run.out));
    // The simulated sensor reads 16384 + 350 with the tip up and 350 lying down,
    // give or take the hand's unsteadiness; low byte first.
    const int vertical = qint16(board.param(8) | board.param(9) << 8);
    const int horizontal = qint16(board.param(10) | board.param(11) << 8);
    QVERIFY2(qAbs(vertical - 16734) < 500, qPrintable(QString::number(vertical)));
    QVERIFY2(qAbs(horizontal - 350) < 500, qPrintable(QString::number(horizontal)));
    QCOMPARE(board.mode(), 4);
    QVERIFY2(board.violations() == 0, qPrintable(board.violationReport()));
}

QTEST_GUILESS_MAIN(CliE2eTest)
#include "tst_cli_e2e.moc"
