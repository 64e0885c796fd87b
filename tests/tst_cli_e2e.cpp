// The command-line program, run as a process against strict simulated boards:
// its usage, its help and manual page, and the parameter and sound commands
// reaching the board.
#include "CliRun.h"
#include "EndToEndFixture.h"
#include "SoundFiles.h"
#include "WaitFor.h"

#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <sndfile.h>
#include <unistd.h>

using namespace CliRun;
using namespace Sound;

namespace {
// Every command's usage line as --help prints it, each argument named once.
struct Usage {
    const char* command;
    const char* line;
};
constexpr Usage USAGE_LINES[] = {
    {"ports", "Usage: tavrin-cli ports [options]"},
    {"mode", "Usage: tavrin-cli mode [options] active|setup|tx"},
    {"read", "Usage: tavrin-cli read [options] [--explain] [--json [FILE]]"},
    {"write", "Usage: tavrin-cli write [options] [--dry-run] [--no-verify] FILE"},
    {"erase", "Usage: tavrin-cli erase [options] --bank N --row ROW | --all"},
    {"upload", "Usage: tavrin-cli upload [options] --bank N --slot NAME [--trim] FILE"},
    {"import", "Usage: tavrin-cli import [options] --bank N [--trim] FOLDER"},
    {"record", "Usage: tavrin-cli record [options] --seconds S FILE"},
    {"calibrate", "Usage: tavrin-cli calibrate [options]"},
    {"flash", "Usage: tavrin-cli flash [options] [--yes] FILE"},
    {"apply", "Usage: tavrin-cli apply [options] [--force] [--report FILE] PROFILE"},
    {"diff", "Usage: tavrin-cli diff [options] PROFILE"},
    {"profile", "Usage: tavrin-cli profile [options] [--with-calibration] [--without SLOT]... save FILE"},
};

// The journal of every run's data folder.
SlotJournal runJournal()
{
    return SlotJournal(dataHome() + "/Tavrin Manager/slot-journal");
}

// Gives the board a running serial number of the test's own (1523-<running>),
// its journal empty; the serial's text, or an empty one when the board refused.
QString ownSerial(const SimBoard& board, int running)
{
    if (!board.setRunningSerial(running))
        return {};
    const QString serial = QStringLiteral("1523-%1").arg(running);
    QFile::remove(runJournal().fileFor(serial));
    return serial;
}
} // namespace

class CliE2eTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { e2e.stop(); }
    void badUsageIsOneLineAndExitCodeTwo_data();
    void badUsageIsOneLineAndExitCodeTwo();
    void helpGivesTheUsageLine_data();
    void helpGivesTheUsageLine();
    void manualPageHasASectionForEveryCommand();
    void uploadTrimsASoundTooLongForItsSlotOnlyWhenAsked();
    void writeThenReadRoundTrip();
    void modeEraseAndUploadReachTheBoard();
    void uploadsImportsAndErasesAreJournalledUnderTheBoardsSerial();
    void uploadIsRefusedBeforeTheEraseWhenTheJournalCannotBeWritten_data();
    void uploadIsRefusedBeforeTheEraseWhenTheJournalCannotBeWritten();
    void importMatchesTheFontToTheBankAndLeavesTheRestOut();
    void aSlotTheBoardNeverConfirmsFailsAndIsNotRecorded();

private:
    EndToEndFixture e2e;
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
    QTest::newRow("apply without a profile") << QStringList{"apply", "--port", "/dev/null"};
    QTest::newRow("diff of two profiles") << QStringList{"diff", "a.json", "b.json", "--port", "/dev/null"};
    QTest::newRow("profile without save") << QStringList{"profile", "load", "a.json", "--port", "/dev/null"};
    QTest::newRow("help of Qt's options") << QStringList{"upload", "--help-all"};
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

void CliE2eTest::helpGivesTheUsageLine_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("usage");
    for (const Usage& usage : USAGE_LINES)
        QTest::newRow(usage.command) << QString::fromLatin1(usage.command) << QString::fromLatin1(usage.line);
}

void CliE2eTest::helpGivesTheUsageLine()
{
    QFETCH(QString, command);
    QFETCH(QString, usage);
    const Run run = cli({command, "--help"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.section(QLatin1Char('\n'), 0, 0), usage);
    QVERIFY(run.err.isEmpty());
}

void CliE2eTest::manualPageHasASectionForEveryCommand()
{
    const Run run = cli({"--man"});
    QCOMPARE(run.exitCode, 0);
    const QString page = run.out;
    // No command is left out of the table above.
    QCOMPARE(page.count(QStringLiteral("\n.SS ")), qsizetype(std::size(USAGE_LINES)));
    for (const Usage& usage : USAGE_LINES)
        QVERIFY2(page.contains(QStringLiteral("\n.SS %1\n.B tavrin\\-cli %1 [options]").arg(usage.command)),
                 usage.command);
    // The section says what --help says: the usage line, the summary, the options.
    QVERIFY(page.contains(".SS import\n.B tavrin\\-cli import [options] \\-\\-bank N [\\-\\-trim] FOLDER\n.PP\n"
                          "Imports a sound font into a bank: files matched to the slots by name"));
    QVERIFY(page.contains(".TP\n.B \\-\\-trim\nTrims a sound too long for its slot, fading out its end.\n"));

    QProcess groff;
    groff.start(QStringLiteral("groff"), {"-ww", "-z", "-man"});
    if (!groff.waitForStarted())
        QSKIP("groff is not installed");
    groff.write(page.toUtf8());
    groff.closeWriteChannel();
    QVERIFY(groff.waitForFinished(RUN_TIMEOUT_MS));
    QCOMPARE(groff.readAllStandardError(), QByteArray());
    QCOMPARE(groff.exitCode(), 0);
}

void CliE2eTest::uploadTrimsASoundTooLongForItsSlotOnlyWhenAsked()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    QTemporaryDir font;
    // 1.6 s at 44.1 kHz: 70560 bytes for the board, where a clash slot takes 64954.
    constexpr int rate = 44100;
    constexpr int channels = 2;
    const QString sound = font.filePath("clash1.wav");
    const std::vector<double> level(size_t(1.6 * rate) * channels, 0.25);
    QVERIFY(!WriteSoundFile(sound, SF_FORMAT_WAV | SF_FORMAT_PCM_16, rate, channels, level).isEmpty());
    const qint64 uploadsBefore = board.counter(QStringLiteral("uploads"));
    const QStringList upload{"upload", "--bank",         "1",      "--slot", "clash1", sound,
                             "--port", board.portPath(), "--quiet"};

    Run run = cli(upload);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err,
             "The sound of " + sound +
                 ", converted for the board, is 70560 bytes; this slot takes at most 64954 bytes. Trim it "
                 "to fit or choose a shorter sound. Nothing was sent. Add --trim to cut the end of a sound "
                 "too long for its slot, fading out over its last 20 ms.\n");
    // The import of a font holding it says the same.
    run = cli({"import", "--bank", "1", font.path(), "--port", board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.endsWith("Nothing was sent. Add --trim to cut the end of a sound too long for its slot, "
                              "fading out over its last 20 ms.\n"),
             qPrintable(run.err));
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploadsBefore);

    run = cli(upload + QStringList{"--trim"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploadsBefore + 1);
    constexpr int sectorBytes = 0x10000;
    constexpr int slotBytes = 64954;
    const int clash1 = int(SoundSlots().at(SlotIndex(1, SlotKind::Clash, 1)).address);
    const QByteArray slot = board.dump("sound").mid(clash1, sectorBytes);
    // The sound's level (0.25: 0xA000 in offset binary, within the dither's
    // step) up to where the slot ends, faded to silence (0x8000) there, and
    // nothing sent after it.
    const int middle = (slotBytes / 4) * 2;
    const int value = quint8(slot[middle]) | quint8(slot[middle + 1]) << 8;
    QVERIFY2(qAbs(value - 0xA000) <= 2, qPrintable(QString::number(value, 16)));
    QCOMPARE(slot.mid(slotBytes - 2, 2).toHex(' '), QByteArray("00 80"));
    QCOMPARE(slot.mid(slotBytes), QByteArray(sectorBytes - slotBytes, char(0xFF)));
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliE2eTest::writeThenReadRoundTrip()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    // Each value with what it does on the board, where it lives and what it may hold.
    run = cli({"read", "--port", board.portPath(), "--explain"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral(
                 "\nBank 1 Clash red                123     address 39, 0..255. Red channel of bank 1's Clash colour, "
                 "shown on a clash. Higher is brighter; the brightness sliders set it too. An unset byte (255) is "
                 "shown as 200.\n")),
             qPrintable(run.out));
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliE2eTest::modeEraseAndUploadReachTheBoard()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    // The board erases on its own time: the command says only that it was sent.
    run = cli({"erase", "--all", "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(run.out, board.portPath() +
                          ": Erase All Sounds: the erase command was sent; the board erases its sound memory "
                          "on its own.\n");
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliE2eTest::uploadsImportsAndErasesAreJournalledUnderTheBoardsSerial()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    const QString serial = ownSerial(board, 9201);
    QVERIFY(!serial.isEmpty());
    const SlotJournal journal = runJournal();
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
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliE2eTest::importMatchesTheFontToTheBankAndLeavesTheRestOut()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
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
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliE2eTest::aSlotTheBoardNeverConfirmsFailsAndIsNotRecorded()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    const QString serial = ownSerial(board, 9202);
    QVERIFY(!serial.isEmpty());
    const SlotJournal journal = runJournal();
    const SoundSlot hum = SoundSlots().at(SlotIndex(1, SlotKind::Hum, 1));
    const int powerOn = SlotIndex(2, SlotKind::PowerOn, 1);
    const int swing3 = SlotIndex(2, SlotKind::Swing, 3);
    const auto erased = [](const QByteArray& memory, const SoundSlot& slot) {
        const qsizetype size = slot.sectors * 0x10000;
        return memory.mid(slot.address, size) == QByteArray(size, '\xFF');
    };

    QTemporaryDir files;
    const QString base = QStringLiteral(TAVRIN_BASE_SOUNDS_DIR);
    QVERIFY(QFile::copy(base + "/Base_Hum_0.wav", files.filePath("my-hum.wav")));
    Run run = cli({"upload", "--bank", "1", "--slot", "hum", files.filePath("my-hum.wav"), "--port",
                   board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(!erased(board.dump("sound"), hum));

    // Deaf after the upload request: the hum is erased, nothing of it stored, and no "End." comes.
    QVERIFY(board.controlOk("deaf after L"));
    run = cli({"upload", "--bank", "1", "--slot", "hum", files.filePath("my-hum.wav"), "--port",
               board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("The board did not confirm the upload into Bank 1 Hum: no \"End.\" came"),
             qPrintable(run.err));
    QVERIFY(!journal.list(serial).at(SlotIndex(1, SlotKind::Hum, 1)).known());
    QVERIFY(erased(board.dump("sound"), hum));
    QVERIFY(board.counter("deaf_bytes") > 0);

    // An import whose second file goes unanswered: the first is written and
    // recorded, the second is neither, and the report counts one.
    QVERIFY(board.controlOk("deaf off"));
    QTemporaryDir font;
    QVERIFY(QFile::copy(base + "/Base_PowerOn_0.wav", font.filePath("poweron.wav")));
    QVERIFY(QFile::copy(base + "/Base_Swing_1_0.wav", font.filePath("Swing_03.wav")));
    const qint64 uploadsBefore = board.counter(QStringLiteral("uploads"));
    CliProcess import({"import", "--bank", "2", font.path(), "--port", board.portPath(), "--quiet"});
    // The first "End." leaves seconds before the second request: the closing
    // pause, the slot's request pause and the erase come between.
    QVERIFY(WaitFor([&] { return board.counter(QStringLiteral("uploads")) == uploadsBefore + 1; }, RUN_TIMEOUT_MS));
    QVERIFY(board.controlOk("deaf after L"));
    run = import.wait();
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("The board did not confirm the upload into Bank 2 Swing 3"), qPrintable(run.err));
    QVERIFY2(run.err.contains("stopped after 1 of 2 files"), qPrintable(run.err));
    QCOMPARE(journal.list(serial).at(powerOn).fileName, QString("poweron.wav"));
    QVERIFY(!journal.list(serial).at(swing3).known());
    const QByteArray memory = board.dump("sound");
    QVERIFY(!erased(memory, SoundSlots().at(powerOn)));
    QVERIFY(erased(memory, SoundSlots().at(swing3)));
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploadsBefore + 1);
    QVERIFY(board.controlOk("deaf off"));
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

// How the journal is kept from being written after the first upload.
enum class Breakage { ReadOnlyFolder, DataFolderIsAFile, JournalIsAFolder };
Q_DECLARE_METATYPE(Breakage)

void CliE2eTest::uploadIsRefusedBeforeTheEraseWhenTheJournalCannotBeWritten_data()
{
    QTest::addColumn<Breakage>("breakage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("journal folder read-only") << Breakage::ReadOnlyFolder << "Permission denied";
    QTest::newRow("XDG_DATA_HOME names a file") << Breakage::DataFolderIsAFile << "cannot be made";
    QTest::newRow("the journal's name is a folder") << Breakage::JournalIsAFolder << "cannot be written";
}

void CliE2eTest::uploadIsRefusedBeforeTheEraseWhenTheJournalCannotBeWritten()
{
    QFETCH(Breakage, breakage);
    QFETCH(QString, reason);
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    SimBoard& board = e2e.board();
    QTemporaryDir data;
    const QString journals = data.filePath("Tavrin Manager/slot-journal");
    const SlotJournal journal(journals);
    const QString serial = QStringLiteral("1523-0042");
    const int hum = SlotIndex(1, SlotKind::Hum, 1);
    const QString base = QStringLiteral(TAVRIN_BASE_SOUNDS_DIR);
    Run run = cli({"upload", "--bank", "1", "--slot", "hum", base + "/Base_Hum_0.wav", "--port", board.portPath(),
                   "--quiet"},
                  {}, data.path());
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(journal.list(serial).at(hum).fileName, QString("Base_Hum_0.wav"));

    QString dataFolder = data.path();
    switch (breakage) {
    case Breakage::ReadOnlyFolder:
        QVERIFY(QFile::setPermissions(journals, QFile::ReadOwner | QFile::ExeOwner));
        if (::access(QFile::encodeName(journals).constData(), W_OK) == 0)
            QSKIP("this user writes into a read-only folder");
        break;
    case Breakage::DataFolderIsAFile:
        dataFolder = data.filePath("not-a-folder");
        QVERIFY(QFile(dataFolder).open(QIODevice::WriteOnly));
        break;
    case Breakage::JournalIsAFolder:
        QVERIFY(QFile::remove(journal.fileFor(serial)));
        QVERIFY(QDir().mkpath(journal.fileFor(serial)));
        break;
    }
    const QByteArray before = board.dump("sound");
    const qint64 uploads = board.counter(QStringLiteral("uploads"));
    run = cli({"upload", "--bank", "1", "--slot", "hum", base + "/Base_Clash_1_0.wav", "--port", board.portPath(),
               "--quiet"},
              {}, dataFolder);
    QFile::setPermissions(journals, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY2(run.err.contains("Nothing was erased or sent"), qPrintable(run.err));
    // Not a byte of the slot was erased: what the journal names is still there.
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploads);
    QVERIFY(board.dump("sound") == before);
    if (breakage != Breakage::JournalIsAFolder)
        QCOMPARE(journal.list(serial).at(hum).fileName, QString("Base_Hum_0.wav"));
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

QTEST_GUILESS_MAIN(CliE2eTest)
#include "tst_cli_e2e.moc"
