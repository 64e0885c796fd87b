// The command-line program's long runs, as a process against strict simulated
// boards: a write stopped by Ctrl-C, a signal at any moment of the long
// commands, flashing through the loader, and the calibration that asks for the
// saber's positions.
#include "CliRun.h"
#include "HexImage.h"
#include "EndToEndFixture.h"
#include "SoundFiles.h"
#include "WaitFor.h"

#include "params/BoardProfile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <csignal>

using namespace CliRun;

class CliLongRunsE2eTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { e2e.stop(); }
    void ctrlCStopsAWriteBetweenFramesAndSaysWhatWasLeft();
    void aSignalAtAnyMomentStopsAndSaysWhatWasLeft_data();
    void aSignalAtAnyMomentStopsAndSaysWhatWasLeft();
    void aClosedOutputIsAnErrorAndTheWriteStillEnds();
    void flashProgramsTheFileThroughTheLoader();
    void calibrateAsksForBothPositionsAndWritesTheirMeans();

private:
    // The files the long commands take, made once from a board's own memory
    // (every simulated board starts from the same one).
    QStringList longRunArguments(const QString& command, SimBoard& board);

    EndToEndFixture e2e;
    QTemporaryDir m_files;
};

void CliLongRunsE2eTest::ctrlCStopsAWriteBetweenFramesAndSaysWhatWasLeft()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    QCOMPARE(SimBoard::valueWrites(SimBoard::receivedBytes(traffic.fileName())), written);
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

QStringList CliLongRunsE2eTest::longRunArguments(const QString& command, SimBoard& board)
{
    const QString parameters = m_files.filePath(QStringLiteral("colours.json"));
    const QString profile = m_files.filePath(QStringLiteral("profile.json"));
    if (!QFile::exists(parameters)) {
        // Every colour changed: the write and the apply have many values to send.
        const QRegularExpression colour(
            QStringLiteral("(?<=\\.red\": |\\.green\": |\\.blue\": |\\.white\": )\\d+"));
        for (const auto& [file, saving] :
             {std::pair{parameters, QStringList{"read", "--json", parameters}},
              std::pair{profile, QStringList{"profile", "save", profile}}}) {
            if (cli(saving + QStringList{"--port", board.portPath(), "--quiet"}).exitCode != 0)
                return {};
            // A saved profile is an archive: its manifest is edited as a JSON profile.
            const std::optional<Params::BoardProfile> asProfile =
                file == profile ? Params::ReadBoardProfileFile(file).profile : std::nullopt;
            QFile saved(file);
            if (!saved.open(QIODevice::ReadWrite))
                return {};
            const QByteArray bytes = asProfile ? Params::WriteBoardProfile(*asProfile) : saved.readAll();
            const QString text = QString::fromUtf8(bytes).replace(colour, QStringLiteral("1"));
            saved.resize(0);
            saved.write(text.toUtf8());
        }
        // Sound for several seconds of upload, and a firmware of 4 KiB.
        if (!WriteRampSound(m_files.filePath(QStringLiteral("ramp.wav")), 60000))
            return {};
        QFile hex(m_files.filePath(QStringLiteral("firmware.hex")));
        if (!hex.open(QIODevice::WriteOnly))
            return {};
        hex.write(MakeHexImage(4096, 16).text);
    }
    if (command == QLatin1String("apply"))
        return {"apply", profile};
    if (command == QLatin1String("write"))
        return {"write", parameters};
    if (command == QLatin1String("upload"))
        return {"upload", "--bank", "1", "--slot", "hum", m_files.filePath(QStringLiteral("ramp.wav"))};
    return {"flash", m_files.filePath(QStringLiteral("firmware.hex")), "--yes"};
}

void CliLongRunsE2eTest::aSignalAtAnyMomentStopsAndSaysWhatWasLeft_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("afterMs");
    for (const char* command : {"apply", "write", "upload", "flash"}) {
        for (const int ms : {0, 50, 300, 1000, 3000})
            QTest::addRow("%s, SIGINT at %d ms", command, ms) << QString::fromLatin1(command) << SIGINT << ms;
        QTest::addRow("%s, SIGTERM at 50 ms", command) << QString::fromLatin1(command) << SIGTERM << 50;
    }
}

void CliLongRunsE2eTest::aSignalAtAnyMomentStopsAndSaysWhatWasLeft()
{
    QFETCH(QString, command);
    QFETCH(int, signal);
    QFETCH(int, afterMs);
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    const QStringList arguments = longRunArguments(command, board);
    QVERIFY(!arguments.isEmpty());
    if (command == QLatin1String("flash"))
        QVERIFY(board.controlOk(QStringLiteral("switch loader")));
    QTemporaryFile traffic;
    QVERIFY(traffic.open());
    QVERIFY(board.controlOk("log " + traffic.fileName()));

    CliProcess running(arguments + QStringList{"--port", board.portPath()});
    QVERIFY(running.process.waitForStarted());
    const auto pid = pid_t(running.process.processId());
    QTest::qWait(afterMs);
    // Every command here runs for longer than the last signal time.
    QVERIFY2(running.process.state() == QProcess::Running,
             qPrintable(QString::fromLocal8Bit(running.process.readAllStandardError())));
    QCOMPARE(::kill(pid, signal), 0);
    const Run run = running.wait();
    QVERIFY(WaitFor([&] { return board.busyMs() == 0; }, 5000));
    QVERIFY(board.controlOk("log off"));
    const QByteArray received = SimBoard::receivedBytes(traffic.fileName());
    if (running.process.exitStatus() == QProcess::CrashExit) {
        // Only before the program could take the signal: then nothing was sent.
        QCOMPARE(running.process.exitCode(), signal);
        QCOMPARE(received, QByteArray());
    } else if (run.exitCode == 0) {
        // Heard while a step that cannot stop safely ran (programming): it went
        // on to its end, as the program said at once.
        QVERIFY2(run.err.contains(QStringLiteral("cannot be stopped safely: it goes on to its end")) &&
                     run.out.contains(QStringLiteral("Programming done")),
                 qPrintable(run.err));
    } else {
        QCOMPARE(run.exitCode, 1);
        const QString said = run.err.trimmed().section(QLatin1Char('\n'), -1);
        QVERIFY2(said.contains(QStringLiteral("stopped"), Qt::CaseInsensitive), qPrintable(run.err));
        // What the message says was not begun did not reach the board.
        if (said.contains(QStringLiteral("nothing of it was sent")) ||
            said.contains(QStringLiteral("before anything was changed")))
            QCOMPARE(SimBoard::valueWrites(received), 0);
        const QRegularExpressionMatch values =
            QRegularExpression(QStringLiteral("Write Parameters was stopped after (\\d+) of")).match(said);
        if (values.hasMatch())
            QCOMPARE(SimBoard::valueWrites(received), values.captured(1).toInt());
        // A slot stopped during its erase holds nothing, not part of a sound.
        QVERIFY2(!said.contains(QStringLiteral("after 0 of")), qPrintable(said));
    }
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliLongRunsE2eTest::aClosedOutputIsAnErrorAndTheWriteStillEnds()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    const QStringList writing = longRunArguments(QStringLiteral("write"), board);
    QVERIFY(!writing.isEmpty());
    // Behind "| true": the reader is gone before anything is written.
    const QString pipeline = QStringLiteral("set -o pipefail; \"$@\" | true");
    CliProcess running(QStringList{"-c", pipeline, "tavrin-cli", QStringLiteral(TAVRIN_CLI_PROGRAM)} + writing +
                           QStringList{"--port", board.portPath()},
                       {}, {}, QStringLiteral("/bin/bash"));
    const Run run = running.wait();
    // Killed by SIGPIPE, the shell would say 141.
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("tavrin-cli: cannot write the output")), qPrintable(run.err));
    // The write went on to its end and read its values back.
    QVERIFY2(run.err.contains(QStringLiteral("Verify 85/85 values")), qPrintable(run.err));
    QCOMPARE(board.param(CLASH_RED_ADDRESS), 1);
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliLongRunsE2eTest::flashProgramsTheFileThroughTheLoader()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliLongRunsE2eTest::calibrateAsksForBothPositionsAndWritesTheirMeans()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

QTEST_GUILESS_MAIN(CliLongRunsE2eTest)
#include "tst_cli_long_runs_e2e.moc"
