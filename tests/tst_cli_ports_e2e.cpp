// The command-line program's view of the ports, run as a process against strict
// simulated boards: listing boards, leaving them as found, a board another
// program holds, and one board of two lost midway.
#include "CliRun.h"
#include "EndToEndFixture.h"
#include "WaitFor.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace CliRun;

namespace {
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

class CliPortsE2eTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { e2e.stop(); }
    void portsListsTheBoardWithItsIdentity();
    void portsLeavesTheBoardInTheModeItFound_data();
    void portsLeavesTheBoardInTheModeItFound();
    void boardHeldByAnotherProgramIsNamedAndFails_data();
    void boardHeldByAnotherProgramIsNamedAndFails();
    void oneBoardLostMidwayTheOtherFinishes();

private:
    EndToEndFixture e2e;
};

void CliPortsE2eTest::portsListsTheBoardWithItsIdentity()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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

void CliPortsE2eTest::portsLeavesTheBoardInTheModeItFound_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("status");
    QTest::newRow("streaming in TX") << "tx" << 3;
    QTest::newRow("Active") << "active" << 1;
    QTest::newRow("SetUp") << "setup" << 4;
}

void CliPortsE2eTest::portsLeavesTheBoardInTheModeItFound()
{
    QFETCH(QString, mode);
    QFETCH(int, status);
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    Run run = cli({"mode", mode, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.mode(), status);
    run = cli({"ports"}, board.portsDir());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(board.portPath() + "  release "), qPrintable(run.out));
    QVERIFY2(!run.out.contains("left in SetUp") && !run.err.contains("left in SetUp"), qPrintable(run.err));
    QCOMPARE(board.mode(), status);
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliPortsE2eTest::boardHeldByAnotherProgramIsNamedAndFails_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("read --all") << QStringList{"read", "--all", "--quiet"};
    QTest::newRow("write --all") << QStringList{"write", "PARAMETERS", "--all", "--quiet"};
    QTest::newRow("ports") << QStringList{"ports", "--quiet"};
}

void CliPortsE2eTest::boardHeldByAnotherProgramIsNamedAndFails()
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

void CliPortsE2eTest::oneBoardLostMidwayTheOtherFinishes()
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

QTEST_GUILESS_MAIN(CliPortsE2eTest)
#include "tst_cli_ports_e2e.moc"
