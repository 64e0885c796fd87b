// Board profiles on the command line, run as a process against two strict
// simulated boards: apply to both at once, apply again with nothing to send, a
// value changed behind the tool's back found by diff and mended, profiles that
// must send nothing, a board that fails before the apply reported beside one
// that takes it, Ctrl-C in the middle of an apply, boards beside devices that
// are not boards (one saying "BUSY", one sending garbage), an answer the
// board sent unasked in the middle of a save, and a profile that carries its
// sound to a board on its own.
#include "CliRun.h"
#include "EndToEndFixture.h"
#include "PtyPair.h"
#include "SoundFiles.h"
#include "WaitFor.h"

#include "params/BoardProfile.h"
#include "sound/SlotJournal.h"
#include "sound/SlotMap.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <unistd.h>

using namespace CliRun;

namespace {
constexpr int PROFILE_CLASH_RED = 123;
constexpr int FIRST_SERIAL_ADDRESS = 100; // the lot's four bytes, then the running serial's
constexpr int LAST_SERIAL_ADDRESS = 107;
constexpr int FREQUENCY_ADDRESS = 178;
constexpr int CALIBRATION_ADDRESSES[] = {8, 9, 10, 11}; // vertical, then horizontal, low byte first
const QString JOURNALS = QStringLiteral("/Tavrin Manager/slot-journal");
// Bank 2 Swing 1, where a font's swing1.wav goes.
constexpr int BANK2_SWING1 = 0x180000;
// Long enough that a stream starved for the board's idle time would be cut.
constexpr int RAMP_SAMPLES = 20000;
// The devices beside the boards: one says "BUSY" this often, one sends garbage.
constexpr int BUSY_EVERY_MS = 2000;
constexpr int GARBAGE_EVERY_MS = 100;
constexpr int GARBAGE_BYTES = 16;
constexpr quint32 GARBAGE_SEED = 1523;

// A device on a pseudo-terminal that is not a board: it writes what `next`
// gives every periodMs and reads and forgets whatever it is sent.
class ForeignDevice {
public:
    ForeignDevice(int periodMs, std::function<QByteArray()> next)
    {
        m_timer.setInterval(periodMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this, next] {
            m_pty.write(next());
            char sink[256];
            while (::read(m_pty.masterFd(), sink, sizeof sink) > 0) {
            }
        });
        m_pty.write(next());
        m_timer.start();
    }
    bool isValid() const { return m_pty.isValid(); }
    QString path() const { return m_pty.slavePath(); }

private:
    PtyPair m_pty;
    QTimer m_timer;
};

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A saved profile's manifest, to be edited and written as a plain JSON profile.
QJsonObject readManifest(const QString& path)
{
    const Params::BoardProfileRead read = Params::ReadBoardProfileFile(path);
    return read.profile ? QJsonDocument::fromJson(Params::WriteBoardProfile(*read.profile)).object() : QJsonObject();
}

bool writeJson(const QString& path, const QJsonObject& root)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(root).toJson()) > 0;
}

QString sha256Of(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())
               : QString();
}

// Where the failing port of a run comes from.
enum class FailingPort {
    StoppedSimulator, // its port is gone: it cannot be opened
    SilentTerminal,   // a pseudo-terminal with no board behind it: no answer
};
} // namespace

Q_DECLARE_METATYPE(FailingPort)

class CliProfileE2eTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void applyToTwoBoardsAtOnceThenNothingLeftToUpload();
    void diffFindsAValueChangedBehindTheToolAndApplyMendsIt();
    void profileThatCannotBeAppliedSendsNothing_data();
    void profileThatCannotBeAppliedSendsNothing();
    void boardThatFailsBeforeTheApplyIsReportedBesideTheOther_data();
    void boardThatFailsBeforeTheApplyIsReportedBesideTheOther();
    void ctrlCStopsTheApplyBetweenValuesAndStillWritesTheReport();
    void boardsBesideABusyDeviceAndAGarbageDeviceGetEverySample();
    void answerSentUnaskedDuringASaveIsNotSaved();
    void boardsWithoutASerialNumberShareNoJournal();
    void frequencyByteOutsideTheModesIsKeptAsTheBoardHoldsIt();
    void profileCarriesItsSoundToAnotherBoard();

private:
    // A board with serial 1523-<serial> and no journal yet.
    static bool prepare(const SimBoard& board, int serial, const QString& serialText);
    // The profile of the first board, bank 1 clash red 123, bank 2 the font of
    // two files; its path.
    QString writeProfile(const QJsonObject& extra = {});
    // Both boards held to their pace: the second's late frames, then the first's.
    bool finishBoth(QString* why);

    EndToEndFixture e2e;
    std::unique_ptr<SimBoard> second;
    std::unique_ptr<QTemporaryDir> dir;
};

bool CliProfileE2eTest::prepare(const SimBoard& board, int serial, const QString& serialText)
{
    QFile::remove(Sound::SlotJournal(dataHome() + JOURNALS).fileFor(serialText));
    return board.setRunningSerial(serial);
}

void CliProfileE2eTest::init()
{
    QString why;
    QVERIFY2(e2e.start({}, {.withWindows = false}, &why), qPrintable(why));
    second = std::make_unique<SimBoard>(SimBoard::Options{e2e.board().portsDir(), QStringLiteral("kordex-second"), {}, true});
    QVERIFY2(second->isRunning(), qPrintable(second->errorOutput()));
    // 9202 = 0x23F2, 9203 = 0x23F3
    QVERIFY(prepare(e2e.board(), 0x23F2, QStringLiteral("1523-9202")));
    QVERIFY(prepare(*second, 0x23F3, QStringLiteral("1523-9203")));
    dir = std::make_unique<QTemporaryDir>();
}

void CliProfileE2eTest::cleanup()
{
    second.reset();
    e2e.stop();
}

QString CliProfileE2eTest::writeProfile(const QJsonObject& extra)
{
    const QString path = dir->filePath(QStringLiteral("profile.json"));
    const Run saved = cli({"profile", "save", path, "--port", e2e.board().portPath(), "--quiet"});
    if (saved.exitCode != 0)
        return {};
    QJsonObject root = readManifest(path);
    QJsonObject parameters = root.value(QStringLiteral("parameters")).toObject();
    QJsonObject values = parameters.value(QStringLiteral("parameters")).toObject();
    values.insert(QStringLiteral("bank1.clash.red"), PROFILE_CLASH_RED);
    parameters.insert(QStringLiteral("parameters"), values);
    root.insert(QStringLiteral("parameters"), parameters);

    QDir(dir->path()).mkpath(QStringLiteral("fonts/blue"));
    const QString base = QStringLiteral(TAVRIN_BASE_SOUNDS_DIR);
    QFile::copy(base + "/Base_PowerOn_0.wav", dir->filePath(QStringLiteral("fonts/blue/poweron.wav")));
    QFile::copy(base + "/Base_Swing_1_0.wav", dir->filePath(QStringLiteral("fonts/blue/Swing_03.wav")));
    root.insert(QStringLiteral("banks"),
                QJsonObject{{QStringLiteral("2"), QJsonObject{{QStringLiteral("font"), QStringLiteral("fonts/blue")}}}});
    for (auto it = extra.begin(); it != extra.end(); ++it)
        root.insert(it.key(), it.value());
    return writeJson(path, root) ? path : QString();
}

bool CliProfileE2eTest::finishBoth(QString* why)
{
    if (second->violations() != 0) {
        *why = second->violationReport();
        return false;
    }
    return e2e.finish(why);
}

void CliProfileE2eTest::applyToTwoBoardsAtOnceThenNothingLeftToUpload()
{
    QString why;
    SimBoard& first = e2e.board();
    const QString profile = writeProfile();
    QVERIFY(!profile.isEmpty());
    const QString reportPath = dir->filePath(QStringLiteral("report.json"));
    const qint64 firstUploads = first.counter(QStringLiteral("uploads"));
    const qint64 secondUploads = second->counter(QStringLiteral("uploads"));

    Run run = cli({"apply", profile, "--port", first.portPath(), "--port", second->portPath(), "--report",
                   reportPath, "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(first.param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
    QCOMPARE(second->param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
    QCOMPARE(first.counter(QStringLiteral("uploads")), firstUploads + 2);
    QCOMPARE(second->counter(QStringLiteral("uploads")), secondUploads + 2);
    QJsonArray boards = readJson(reportPath).value(QStringLiteral("boards")).toArray();
    QCOMPARE(boards.size(), 2);
    QStringList serials;
    for (const QJsonValue& board : boards) {
        QVERIFY(board[QStringLiteral("ok")].toBool());
        QCOMPARE(board[QStringLiteral("slotsUploaded")].toInt(), 2);
        QCOMPARE(board[QStringLiteral("slotsSkipped")].toInt(), 0);
        // Only Bank 1 Clash red differed; the 85 values and the default bank are verified.
        QCOMPARE(board[QStringLiteral("valuesWritten")].toInt(), 1);
        QCOMPARE(board[QStringLiteral("valuesVerified")].toInt(), 86);
        serials << board[QStringLiteral("serialNumber")].toString();
    }
    serials.sort();
    QCOMPARE(serials, (QStringList{"1523-9202", "1523-9203"}));

    // The boards match and the journals know both slots now: the second apply
    // writes no value and sends no sound.
    run = cli({"apply", profile, "--port", first.portPath(), "--port", second->portPath(), "--report",
               reportPath});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("0 slots uploaded, 2 left as they were")), qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("2 of 2 boards done.")), qPrintable(run.out));
    QCOMPARE(first.counter(QStringLiteral("uploads")), firstUploads + 2);
    QCOMPARE(second->counter(QStringLiteral("uploads")), secondUploads + 2);
    boards = readJson(reportPath).value(QStringLiteral("boards")).toArray();
    QCOMPARE(boards.size(), 2);
    for (const QJsonValue& board : boards) {
        QCOMPARE(board[QStringLiteral("valuesWritten")].toInt(), 0);
        QCOMPARE(board[QStringLiteral("valuesVerified")].toInt(), 86);
        QCOMPARE(board[QStringLiteral("slotsUploaded")].toInt(), 0);
        QCOMPARE(board[QStringLiteral("slotsSkipped")].toInt(), 2);
    }
    QVERIFY2(finishBoth(&why), qPrintable(why));
}

void CliProfileE2eTest::diffFindsAValueChangedBehindTheToolAndApplyMendsIt()
{
    QString why;
    SimBoard& board = e2e.board();
    const QString profile = writeProfile();
    QVERIFY(!profile.isEmpty());
    Run run = cli({"apply", profile, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    run = cli({"diff", profile, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("The board matches the profile.")), qPrintable(run.out));

    // The differences on stdout, one line each; stderr only says there are some.
    QVERIFY(board.setParam(CLASH_RED_ADDRESS, 7));
    run = cli({"diff", profile, "--port", board.portPath()});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QStringLiteral("parameters.bank1.clash.red: profile 123, board 7\n"));
    QVERIFY2(run.err.endsWith(board.portPath() + QStringLiteral(": the board differs from the profile in 1 place.\n")),
             qPrintable(run.err));
    QVERIFY2(!run.err.contains(QStringLiteral("clash.red")), qPrintable(run.err));
    run = cli({"diff", profile, "--port", board.portPath(), "--json"});
    QCOMPARE(run.exitCode, 1);
    const QJsonArray listed = QJsonDocument::fromJson(run.out.toUtf8())[QStringLiteral("boards")][0]
                                  [QStringLiteral("differences")].toArray();
    QCOMPARE(listed, (QJsonArray{QJsonObject{{"key", "parameters.bank1.clash.red"},
                                             {"profile", "123"},
                                             {"board", "7"},
                                             {"source", "board"}}}));

    // The second board: its own value, and the profile's slots its journal does
    // not know. Its calibration is its own, and not the profile's business.
    QVERIFY(second->setParam(CALIBRATION_ADDRESSES[0], board.param(CALIBRATION_ADDRESSES[0]) ^ 0x55));
    run = cli({"diff", profile, "--port", second->portPath()});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QStringLiteral("parameters.bank1.clash.red: profile 123, board 200\n"
                                     "banks.2.slots.on: profile poweron.wav (SHA-256 %1), board unknown (journal)\n"
                                     "banks.2.slots.swing3: profile Swing_03.wav (SHA-256 %2), board unknown (journal)\n")
                          .arg(sha256Of(dir->filePath(QStringLiteral("fonts/blue/poweron.wav"))),
                               sha256Of(dir->filePath(QStringLiteral("fonts/blue/Swing_03.wav")))));
    QVERIFY2(run.err.endsWith(QStringLiteral("differs from the profile in 3 places.\n")), qPrintable(run.err));

    const qint64 uploads = board.counter(QStringLiteral("uploads"));
    run = cli({"apply", profile, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(board.param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploads);
    run = cli({"diff", profile, "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

    // Carried on purpose, the first board's calibration goes to the second.
    const QString carried = dir->filePath(QStringLiteral("carried.json"));
    run = cli({"profile", "save", carried, "--with-calibration", "--port", board.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QJsonObject root = readManifest(carried);
    root.remove(QStringLiteral("banks"));
    QVERIFY(writeJson(carried, root));
    run = cli({"apply", carried, "--port", second->portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    for (const int address : CALIBRATION_ADDRESSES)
        QCOMPARE(second->param(address), board.param(address));
    run = cli({"diff", carried, "--port", second->portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(finishBoth(&why), qPrintable(why));
}

void CliProfileE2eTest::profileThatCannotBeAppliedSendsNothing_data()
{
    QTest::addColumn<QJsonObject>("extra");
    QTest::addColumn<QString>("message");
    const QByteArray missingFile = R"({"banks": {"1": {"slots": {"hum": {"file": "missing.wav",
        "sha256": "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef"}}}}})";
    QTest::newRow("missing file") << QJsonDocument::fromJson(missingFile).object()
        << QStringLiteral("banks.1.slots.hum");
    QTest::newRow("other release") << QJsonObject{{QStringLiteral("firmwareRelease"), QStringLiteral("99.0")}}
                                   << QStringLiteral("the profile is for release 99.0. Nothing was sent.");
}

void CliProfileE2eTest::profileThatCannotBeAppliedSendsNothing()
{
    QString why;
    QFETCH(QJsonObject, extra);
    QFETCH(QString, message);
    SimBoard& board = e2e.board();
    const QString profile = writeProfile(extra);
    QVERIFY(!profile.isEmpty());
    const int clashRed = board.param(CLASH_RED_ADDRESS);
    const qint64 uploads = board.counter(QStringLiteral("uploads"));
    const Run run = cli({"apply", profile, "--port", board.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(board.param(CLASH_RED_ADDRESS), clashRed);
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploads);
    QVERIFY2(finishBoth(&why), qPrintable(why));
}

void CliProfileE2eTest::boardThatFailsBeforeTheApplyIsReportedBesideTheOther_data()
{
    QTest::addColumn<FailingPort>("failing");
    QTest::addColumn<QString>("failure"); // %1: the failing port
    QTest::newRow("port that cannot be opened")
        << FailingPort::StoppedSimulator << QStringLiteral("%1: TCOMPORT : cannot open %1: No such file or directory");
    QTest::newRow("board that does not answer")
        << FailingPort::SilentTerminal << QStringLiteral("No board answered on %1: check that the board");
}

void CliProfileE2eTest::boardThatFailsBeforeTheApplyIsReportedBesideTheOther()
{
    QFETCH(FailingPort, failing);
    QFETCH(QString, failure);
    QString why;
    SimBoard& board = e2e.board();
    // No font: the values are enough to tell that the good board took the profile.
    const QString profile = writeProfile({{QStringLiteral("banks"), QJsonObject{}}});
    QVERIFY(!profile.isEmpty());
    PtyPair silent;
    QVERIFY(silent.isValid());
    const QString failingPort = failing == FailingPort::SilentTerminal ? silent.slavePath() : second->portPath();
    if (failing == FailingPort::StoppedSimulator)
        QVERIFY(second->stop());
    failure = failure.arg(failingPort);
    const QString reportPath = dir->filePath(QStringLiteral("report.json"));

    const Run run = cli({"apply", profile, "--port", board.portPath(), "--port", failingPort, "--report", reportPath});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(board.param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
    const QJsonArray boards = readJson(reportPath).value(QStringLiteral("boards")).toArray();
    QCOMPARE(boards.size(), 2);
    const QJsonObject applied = boards[0].toObject();
    QCOMPARE(applied[QStringLiteral("port")].toString(), board.portPath());
    QVERIFY(applied[QStringLiteral("ok")].toBool());
    QCOMPARE(applied[QStringLiteral("valuesWritten")].toInt(), 1);
    QCOMPARE(applied[QStringLiteral("valuesVerified")].toInt(), 86);
    const QJsonObject failed = boards[1].toObject();
    QCOMPARE(failed[QStringLiteral("port")].toString(), failingPort);
    QVERIFY(!failed[QStringLiteral("ok")].toBool());
    QVERIFY(!failed[QStringLiteral("started")].toBool());
    QCOMPARE(failed[QStringLiteral("valuesWritten")].toInt(), 0);
    QVERIFY2(failed[QStringLiteral("failure")].toString().startsWith(failure),
             qPrintable(failed[QStringLiteral("failure")].toString()));
    // The readable summary names both: the good one done, the other with its failure.
    QVERIFY2(run.out.contains(board.portPath() + QStringLiteral(" (serial 1523-9202, release ")), qPrintable(run.out));
    QVERIFY2(run.out.endsWith(QStringLiteral("1 of 2 boards done.\n")), qPrintable(run.out));
    QVERIFY2(run.err.contains(failingPort + QStringLiteral(": the profile was not applied; nothing of it was sent. ") +
                              failure),
             qPrintable(run.err));
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliProfileE2eTest::ctrlCStopsTheApplyBetweenValuesAndStillWritesTheReport()
{
    QString why;
    SimBoard& board = e2e.board();
    QTemporaryFile traffic;
    QVERIFY(traffic.open());
    const QString profile = writeProfile();
    QVERIFY(!profile.isEmpty());
    // What the board receives from here on is the apply's.
    QVERIFY(board.controlOk("log " + traffic.fileName()));
    const qint64 uploads = board.counter(QStringLiteral("uploads"));
    const QString reportPath = dir->filePath(QStringLiteral("report.json"));

    // Forced: every value is written, matching or not.
    CliProcess applying({"apply", profile, "--force", "--port", board.portPath(), "--report", reportPath});
    // Progress goes to stderr a tenth at a time: the signal comes once some values are written.
    QString progress;
    const QRegularExpression writing(QStringLiteral(": Write Parameters [1-9]\\d*/\\d+ values"));
    QVERIFY2(WaitFor(
                 [&] {
                     progress += QString::fromLocal8Bit(applying.process.readAllStandardError());
                     return progress.contains(writing);
                 },
                 RUN_TIMEOUT_MS),
             qPrintable(progress));
    QCOMPARE(::kill(pid_t(applying.process.processId()), SIGINT), 0);
    const Run run = applying.wait();
    const QString said = progress + run.err;
    QCOMPARE(run.exitCode, 1);
    const QRegularExpressionMatch stopped =
        QRegularExpression(QStringLiteral("Write Parameters was stopped after (\\d+) of (\\d+) values")).match(said);
    QVERIFY2(stopped.hasMatch(), qPrintable(said));
    const int written = stopped.captured(1).toInt();
    QVERIFY2(written > 0 && written < stopped.captured(2).toInt(), qPrintable(said));

    const QJsonArray boards = readJson(reportPath).value(QStringLiteral("boards")).toArray();
    QCOMPARE(boards.size(), 1);
    QVERIFY(boards[0][QStringLiteral("started")].toBool());
    QVERIFY(!boards[0][QStringLiteral("ok")].toBool());
    QCOMPARE(boards[0][QStringLiteral("valuesWritten")].toInt(), written);
    QCOMPARE(boards[0][QStringLiteral("valuesVerified")].toInt(), 0);
    QVERIFY(boards[0][QStringLiteral("failure")].toString().startsWith(stopped.captured(0)));
    // Nothing after the stop: no value beyond the one the message counts, no slot.
    QVERIFY(WaitFor([&] { return board.busyMs() == 0; }, 5000));
    QVERIFY(board.controlOk("log off"));
    QCOMPARE(SimBoard::valueWrites(SimBoard::receivedBytes(traffic.fileName())), written);
    QCOMPARE(board.counter(QStringLiteral("uploads")), uploads);
    QVERIFY2(finishBoth(&why), qPrintable(why));
}


void CliProfileE2eTest::boardsBesideABusyDeviceAndAGarbageDeviceGetEverySample()
{
    QString why;
    SimBoard& first = e2e.board();
    const QString profile = writeProfile({{QStringLiteral("banks"),
                                           QJsonObject{{QStringLiteral("2"),
                                                        QJsonObject{{QStringLiteral("font"),
                                                                     QStringLiteral("fonts/ramp")}}}}}});
    QVERIFY(!profile.isEmpty());
    QVERIFY(QDir(dir->path()).mkpath(QStringLiteral("fonts/ramp")));
    QVERIFY(WriteRampSound(dir->filePath(QStringLiteral("fonts/ramp/swing1.wav")), RAMP_SAMPLES));
    QByteArray expected; // offset binary, low byte first
    for (int i = 0; i < RAMP_SAMPLES; ++i)
        expected.append(char(i & 0xFF)).append(char((i >> 8) | 0x80));
    ForeignDevice busy(BUSY_EVERY_MS, [] { return QByteArray("BUSY"); });
    QRandomGenerator random(GARBAGE_SEED);
    ForeignDevice garbage(GARBAGE_EVERY_MS, [&random] {
        QByteArray bytes(GARBAGE_BYTES, Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(random.bounded(256));
        return bytes;
    });
    QVERIFY(busy.isValid() && garbage.isValid());
    const QString reportPath = dir->filePath(QStringLiteral("report.json"));

    CliProcess apply({"apply", profile, "--port", first.portPath(), "--port", busy.path(), "--port",
                      second->portPath(), "--port", garbage.path(), "--report", reportPath, "--quiet"});
    QVERIFY(WaitFor([&] { return apply.process.state() == QProcess::NotRunning; }, RUN_TIMEOUT_MS));
    const Run run = apply.wait();
    QCOMPARE(run.exitCode, 1); // the two devices that are not boards fail
    for (SimBoard* board : {&first, second.get()}) {
        QCOMPARE(board->param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
        const QByteArray flash = board->dump(QStringLiteral("sound"));
        QCOMPARE(flash.mid(BANK2_SWING1, expected.size()).toHex(' '), expected.toHex(' '));
    }
    const QJsonArray boards = readJson(reportPath).value(QStringLiteral("boards")).toArray();
    QCOMPARE(boards.size(), 4);
    for (int healthy : {0, 2}) {
        QVERIFY(boards[healthy][QStringLiteral("ok")].toBool());
        QCOMPARE(boards[healthy][QStringLiteral("slotsUploaded")].toInt(), 1);
    }
    for (int foreign : {1, 3})
        QVERIFY(!boards[foreign][QStringLiteral("ok")].toBool());
    QVERIFY2(finishBoth(&why), qPrintable(why));
}

void CliProfileE2eTest::answerSentUnaskedDuringASaveIsNotSaved()
{
    QString why;
    SimBoard& board = e2e.board();
    // Bank 1 Clash red holds 25; an answer saying 77 comes while the read of
    // address 45 is pending, long after 39's own read was answered.
    QVERIFY(board.setParam(CLASH_RED_ADDRESS, 25));
    QCOMPARE(board.control(QStringLiteral("inject 32274D before 45")), QStringLiteral("ok inject before 45"));
    const QString path = dir->filePath(QStringLiteral("saved.json"));
    const Run save = cli({"profile", "save", path, "--port", board.portPath(), "--verbose"});
    QVERIFY2(save.exitCode == 0, qPrintable(save.err));
    const QJsonObject values = readManifest(path)[QStringLiteral("parameters")][QStringLiteral("parameters")].toObject();
    QCOMPARE(values[QStringLiteral("bank1.clash.red")].toInt(), 25);
    QVERIFY2(save.err.contains(board.portPath() +
                               QStringLiteral(": dropped: an answer for address 39 that was not asked for (1 so far)")),
             qPrintable(save.err));
    // The lot's last byte said again, as 9, while the read of 110 is pending:
    // the serial number stays the board's own.
    QCOMPARE(board.control(QStringLiteral("inject 326709 before 110")), QStringLiteral("ok inject before 110"));
    const Run read = cli({"read", "--json", "--port", board.portPath()});
    QVERIFY2(read.exitCode == 0, qPrintable(read.err));
    QVERIFY2(read.out.contains(QStringLiteral("\"1523-9202\"")), qPrintable(read.out));
    QVERIFY2(e2e.finish(&why), qPrintable(why));
}

void CliProfileE2eTest::boardsWithoutASerialNumberShareNoJournal()
{
    QString why;
    SimBoard& first = e2e.board();
    for (int address = FIRST_SERIAL_ADDRESS; address <= LAST_SERIAL_ADDRESS; ++address)
        QVERIFY(first.setParam(address, 255) && second->setParam(address, 255));
    const QString profile = writeProfile();
    QVERIFY(!profile.isEmpty());
    const Sound::SlotJournal journals(dataHome() + JOURNALS);
    const QString blank = QStringLiteral("-1-00-1");
    const QString refused = QStringLiteral("The board's serial number is not set (it reads -1-00-1): every board "
                                           "without one reads the same, so what went where on this board is not "
                                           "recorded and its slots count as unknown.");

    // The first board takes the font; nothing is kept under the number they share.
    Run run = cli({"import", "--bank", "2", dir->filePath(QStringLiteral("fonts/blue")), "--port", first.portPath(),
                   "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains(refused), qPrintable(run.err));
    QVERIFY(!QFile::exists(journals.fileFor(blank)));
    // Not even a journal left under that number by an older tool is believed.
    const QString older = QStringLiteral("1523-9299");
    QFile::remove(journals.fileFor(older));
    const QList<std::pair<int, QString>> fonts = {
        {Sound::SlotIndex(2, Sound::SlotKind::PowerOn, 1), QStringLiteral("poweron.wav")},
        {Sound::SlotIndex(2, Sound::SlotKind::Swing, 3), QStringLiteral("Swing_03.wav")}};
    for (const auto& [slot, file] : fonts) {
        const QString path = dir->filePath(QStringLiteral("fonts/blue/") + file);
        QCOMPARE(Sound::SlotJournal(dataHome() + JOURNALS)
                     .record(older, slot, {file, sha256Of(path), path, sha256Of(path)},
                             QDateTime::currentDateTime()),
                 QString());
    }
    QVERIFY(QFile::rename(journals.fileFor(older), journals.fileFor(blank)));

    // The second board's slots are unknown: diff says so, apply sends them.
    run = cli({"diff", profile, "--port", second->portPath()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("banks.2.slots.on: profile poweron.wav (SHA-256 %1), board unknown (journal)\n")
                                  .arg(sha256Of(dir->filePath(QStringLiteral("fonts/blue/poweron.wav"))))),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral("banks.2.slots.swing3: profile Swing_03.wav (SHA-256 %1), board unknown (journal)\n")
                                  .arg(sha256Of(dir->filePath(QStringLiteral("fonts/blue/Swing_03.wav"))))),
             qPrintable(run.out));
    QVERIFY2(run.err.contains(refused), qPrintable(run.err));
    const qint64 uploads = second->counter(QStringLiteral("uploads"));
    run = cli({"apply", profile, "--port", second->portPath(), "--quiet"});
    QCOMPARE(second->counter(QStringLiteral("uploads")), uploads + 2);
    QCOMPARE(second->param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
    // Sent, but no journal can vouch for them: the apply says so and fails.
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(refused), qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("the slot journal does not record these slots as holding their file: "
                                             "Bank 2 Power On, Bank 2 Swing 3.")),
             qPrintable(run.err));
    QVERIFY2(finishBoth(&why), qPrintable(why));
}

void CliProfileE2eTest::frequencyByteOutsideTheModesIsKeptAsTheBoardHoldsIt()
{
    QString why;
    SimBoard& board = e2e.board();
    QVERIFY(board.setParam(FREQUENCY_ADDRESS, 7));
    Run run = cli({"read", "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("Frequency mode unknown (the board holds 7)\n")), qPrintable(run.out));
    const QString saved = dir->filePath(QStringLiteral("saved.json"));
    run = cli({"read", "--port", board.portPath(), "--json", saved, "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QJsonObject parameters = readJson(saved);
    QCOMPARE(parameters.value(QStringLiteral("frequencyMode")), QJsonValue(7));

    // A profile asking for Evo differs from the board in that byte.
    QJsonObject evoProfile = readJson(writeProfile());
    QJsonObject wanted = evoProfile.value(QStringLiteral("parameters")).toObject();
    QCOMPARE(wanted.value(QStringLiteral("frequencyMode")), QJsonValue(7));
    wanted.insert(QStringLiteral("frequencyMode"), 3);
    evoProfile.insert(QStringLiteral("parameters"), wanted);
    const QString profile = dir->filePath(QStringLiteral("evo-profile.json"));
    QVERIFY(writeJson(profile, evoProfile));
    run = cli({"diff", profile, "--port", board.portPath()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(QStringLiteral("parameters.frequencyMode: profile 3, board 7\n")), qPrintable(run.out));

    // The saved file is taken back as it is, and the board already holds it.
    run = cli({"write", saved, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("nothing was written")) ||
                 run.out.contains(QStringLiteral("nothing was written")),
             qPrintable(run.out + run.err));
    QCOMPARE(board.param(FREQUENCY_ADDRESS), 7);
    // Evo is written when a file asks for it.
    parameters.insert(QStringLiteral("frequencyMode"), 3);
    const QString evo = dir->filePath(QStringLiteral("evo.json"));
    QVERIFY(writeJson(evo, parameters));
    run = cli({"write", evo, "--port", board.portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY2(run.out.contains(QStringLiteral("Frequency mode: 7 -> 3\n")), qPrintable(run.out));
    QCOMPARE(board.param(FREQUENCY_ADDRESS), 3);
    QVERIFY2(finishBoth(&why), qPrintable(why));
}


void CliProfileE2eTest::profileCarriesItsSoundToAnotherBoard()
{
    QString why;
    SimBoard& first = e2e.board();
    // Each board measured its own motion.
    QVERIFY(second->setParam(CALIBRATION_ADDRESSES[0], first.param(CALIBRATION_ADDRESSES[0]) ^ 0x55));
    QVERIFY(first.setParam(CLASH_RED_ADDRESS, PROFILE_CLASH_RED));
    const QString sounds = dir->filePath(QStringLiteral("my-sounds"));
    QVERIFY(QDir().mkpath(sounds));
    const QString tone = sounds + QStringLiteral("/tone.wav");
    QVERIFY(WriteRampSound(tone, RAMP_SAMPLES));
    Run run = cli({"upload", "--bank", "1", "--slot", "swing1", tone, "--port", first.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QString saved = dir->filePath(QStringLiteral("blue.zip"));

    // Gone from where it was uploaded from, the sound cannot go into the profile
    // unless the slot is left out.
    QVERIFY(QFile::rename(tone, tone + QStringLiteral(".moved")));
    run = cli({"profile", "save", saved, "--port", first.portPath(), "--quiet"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QStringLiteral("banks.1.slots.swing1: the file %1 cannot be read").arg(tone)),
             qPrintable(run.err));
    QVERIFY2(run.err.contains(QStringLiteral("add --without banks.1.slots.swing1")), qPrintable(run.err));
    QVERIFY(!QFile::exists(saved));
    QVERIFY(QFile::rename(tone + QStringLiteral(".moved"), tone));

    run = cli({"profile", "save", saved, "--port", first.portPath(), "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QVERIFY(QDir(sounds).removeRecursively());
    QTemporaryDir elsewhere;
    const QString moved = elsewhere.filePath(QStringLiteral("blue.zip"));
    QVERIFY(QFile::rename(saved, moved));
    const QString reportPath = elsewhere.filePath(QStringLiteral("report.json"));
    run = cli({"apply", moved, "--port", second->portPath(), "--report", reportPath, "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(second->param(CLASH_RED_ADDRESS), PROFILE_CLASH_RED);
    const Sound::SoundSlot swing1 = Sound::SoundSlots().at(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    const qsizetype slotBytes = qsizetype(swing1.sectors) * Define::SECTOR_SIZE;
    QCOMPARE(second->dump("sound").mid(swing1.address, slotBytes), first.dump("sound").mid(swing1.address, slotBytes));
    QJsonObject board = readJson(reportPath).value(QStringLiteral("boards")).toArray().at(0).toObject();
    QCOMPARE(board[QStringLiteral("slotsUploaded")].toInt(), 1);

    run = cli({"diff", moved, "--port", second->portPath()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    const qint64 uploads = second->counter(QStringLiteral("uploads"));
    run = cli({"apply", moved, "--port", second->portPath(), "--report", reportPath, "--quiet"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    board = readJson(reportPath).value(QStringLiteral("boards")).toArray().at(0).toObject();
    QCOMPARE(board[QStringLiteral("valuesWritten")].toInt(), 0);
    QCOMPARE(board[QStringLiteral("slotsUploaded")].toInt(), 0);
    QCOMPARE(second->counter(QStringLiteral("uploads")), uploads);
    QVERIFY2(finishBoth(&why), qPrintable(why));
}

QTEST_GUILESS_MAIN(CliProfileE2eTest)
#include "tst_cli_profile_e2e.moc"
