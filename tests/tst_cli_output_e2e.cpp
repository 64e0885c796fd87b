// The command-line program's output files, run as a process against strict
// simulated boards: the recording, and output onto a full device.
#include "CliRun.h"
#include "EndToEndFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace CliRun;

class CliOutputE2eTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { e2e.stop(); }
    void recordWritesOneRowPerFrameThenSetUp();
    void fileOutputToAFullDeviceFails_data();
    void fileOutputToAFullDeviceFails();
    void readOntoAFullFileSystemKeepsTheOldFile();
    void outputOntoAFullDeviceFails();

private:
    EndToEndFixture e2e;
};

void CliOutputE2eTest::recordWritesOneRowPerFrameThenSetUp()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliOutputE2eTest::fileOutputToAFullDeviceFails_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // a pattern, after the port
    QTest::newRow("read --json") << QStringList{"read", "--json", "/dev/full"}
                                 << ": cannot save the parameters to /dev/full: No space left on device\n$";
    QTest::newRow("record") << QStringList{"record", "--seconds", "1", "/dev/full"}
                            << ": telemetry recording stopped after \\d+ frames: cannot write /dev/full: No "
                               "space left on device\n$";
}

void CliOutputE2eTest::fileOutputToAFullDeviceFails()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    const Run run = cli(arguments + QStringList{"--port", board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QRegularExpression(QRegularExpression::escape(board.portPath()) + message)),
             qPrintable(run.err));
    QVERIFY(!run.out.contains(QStringLiteral("saved")));
    QVERIFY(!run.out.contains(QStringLiteral("recorded")));
    QCOMPARE(board.mode(), 4);
    QVERIFY(!QFileInfo(QStringLiteral("/dev/full")).isFile());
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliOutputE2eTest::readOntoAFullFileSystemKeepsTheOldFile()
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

    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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

void CliOutputE2eTest::outputOntoAFullDeviceFails()
{
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(TAVRIN_CLI_PROGRAM), {"--help"});
    QVERIFY(process.waitForFinished(RUN_TIMEOUT_MS));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(process.readAllStandardError().startsWith("tavrin-cli: cannot write the output: "),
             "no message on the error stream");
}

QTEST_GUILESS_MAIN(CliOutputE2eTest)
#include "tst_cli_output_e2e.moc"
