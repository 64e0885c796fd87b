// Files on a full disk: every writer keeps the old file whole and says why it
// could not write, and a recording that the disk refuses stops once.
#include "Controls.h"
#include "DiskFull.h"
#include "MotionFrames.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "motion/ui/MotionPanel.h"
#include "common/FileWriting.h"
#include "sound/SlotJournal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTimeZone>
#include <optional>

Q_DECLARE_METATYPE(WriteStep)

namespace {
// Valid as a journal too, so that it is rewritten rather than moved aside.
const QByteArray OLD_CONTENT = "{\"slots\": {}}\n";
const QString SERIAL = QStringLiteral("1523-0042");
constexpr int HUM = 2;
const Sound::SlotSource HUM_FILE{"hum.wav", "ab12", "/sounds/hum.wav", "cd34"};

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void putFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}
} // namespace

class StorageTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = std::make_unique<SetupWindowFixture>(); }
    void cleanup() { f.reset(); }

    void fullDiskKeepsTheOldFileAndSaysWhy_data();
    void fullDiskKeepsTheOldFileAndSaysWhy();
    void settingsFileInAClosedFolderIsRewrittenInPlace_data();
    void settingsFileInAClosedFolderIsRewrittenInPlace();
    void deviceIsWrittenInPlace_data();
    void deviceIsWrittenInPlace();
    void refusedRecordingStopsOnceAndTheWindowGoesOn_data();
    void refusedRecordingStopsOnceAndTheWindowGoesOn();
    void everyDamagedJournalIsKept();

private:
    QString targetOf(const QString& writer) const;
    QString runWriter(const QString& writer, const QString& path);
    void feedFrame() { f->port->feed(TelemetryBlock(TelemetryValues())); }
    void openPort()
    {
        f->setPortList({"COM3"});
        f->openPort();
    }
    std::unique_ptr<SetupWindowFixture> f;
};

QString StorageTest::targetOf(const QString& writer) const
{
    if (writer == "settings file")
        return f->settingsPath();
    if (writer == "slot journal")
        return Sound::SlotJournal(f->folder.filePath("journal")).fileFor(SERIAL);
    return f->folder.filePath("params/screen.json");
}

// Runs the writer once; what it reported (a message or its returned reason).
QString StorageTest::runWriter(const QString& writer, const QString& path)
{
    if (writer == "settings file") {
        openPort();
        setupWindow->close();
    } else if (writer == "slot journal") {
        return Sound::SlotJournal(f->folder.filePath("journal"))
            .record(SERIAL, HUM, HUM_FILE, QDateTime::currentDateTime());
    } else {
        f->dialogs.files.enqueue(path);
        control<QPushButton>(setupWindow, "saveParametersButton")->click();
    }
    return f->dialogs.messages.join('\n');
}

void StorageTest::fullDiskKeepsTheOldFileAndSaysWhy_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<WriteStep>("step");
    QTest::addColumn<QString>("report"); // %1: the file
    const QList<std::pair<const char*, WriteStep>> steps = {
        {"write", WriteStep::Write}, {"flush", WriteStep::Flush}, {"commit", WriteStep::Commit}};
    const QList<std::pair<QString, QString>> writers = {
        {"parameter file", "Cannot save the parameters to %1: No space left on device"},
        {"settings file", "Cannot write the settings file %1: No space left on device"},
        {"slot journal", "The slot journal %1 cannot be written: No space left on device"}};
    for (const auto& [writer, report] : writers)
        for (const auto& [name, step] : steps)
            QTest::addRow("%s, disk full at the %s", qPrintable(writer), name) << writer << step << report;
}

void StorageTest::fullDiskKeepsTheOldFileAndSaysWhy()
{
    QFETCH(QString, writer);
    QFETCH(WriteStep, step);
    QFETCH(QString, report);
    const QString path = targetOf(writer);
    putFile(path, OLD_CONTENT);
    {
        const DiskFull full(step, path);
        QCOMPARE(runWriter(writer, path), report.arg(path));
    }
    QCOMPARE(contentOf(path), OLD_CONTENT);
    // No temporary file is left beside it either.
    QCOMPARE(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(path).fileName()});
}

void StorageTest::settingsFileInAClosedFolderIsRewrittenInPlace_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QStringList>("messages"); // %1: the file
    QTest::newRow("longer than before")
        << QByteArray("C\r\n0\r\n") << false << QByteArray("COM3\r\n0\r\n") << QStringList{};
    QTest::newRow("shorter than before: cut to length")
        << QByteArray("COM12345\r\n10\r\n") << false << QByteArray("COM3\r\n0\r\n") << QStringList{};
    QTest::newRow("disk full") << QByteArray("C\r\n0\r\n") << true << QByteArray("C\r\n0\r\n")
                               << QStringList{"Cannot write the settings file %1: No space left on device"};
}

void StorageTest::settingsFileInAClosedFolderIsRewrittenInPlace()
{
    QFETCH(QByteArray, old);
    QFETCH(bool, diskFull);
    QFETCH(QByteArray, after);
    QFETCH(QStringList, messages);
    f->writeSettings(old);
    // Not even the administrator may make a file in an immutable folder.
    const QString bin = QFileInfo(f->settingsPath()).absolutePath();
    if (QProcess::execute("chattr", {"+i", bin}) != 0)
        QSKIP("the folder cannot be closed here (needs root and chattr)");
    const auto reopen = qScopeGuard([&] { QProcess::execute("chattr", {"-i", bin}); });
    {
        std::optional<DiskFull> full;
        if (diskFull)
            full.emplace(WriteStep::Write, f->settingsPath());
        openPort();
        setupWindow->close();
    }
    QCOMPARE(f->readSettings(), after);
    QCOMPARE(f->dialogs.messages, messages.replaceInStrings("%1", f->settingsPath()));
}

void StorageTest::deviceIsWrittenInPlace_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a device that takes everything") << "/dev/null"
                                                    << "";
    QTest::newRow("a device that is always full") << "/dev/full"
                                                  << "No space left on device";
}

void StorageTest::deviceIsWrittenInPlace()
{
    QFETCH(QString, device);
    QFETCH(QString, reason);
    QCOMPARE(WriteWholeFile(device, OLD_CONTENT), reason);
    // Never renamed over: the device is still a device.
    QVERIFY(!QFileInfo(device).isFile());
    QVERIFY(QFileInfo(device).exists());
}

void StorageTest::refusedRecordingStopsOnceAndTheWindowGoesOn_data()
{
    QTest::addColumn<WriteStep>("step");
    QTest::addColumn<int>("passing");      // steps of that kind that still went through
    QTest::addColumn<int>("frames");       // fed after "Record..."
    QTest::addColumn<bool>("stopPressed"); // then "Stop"
    QTest::addColumn<QString>("report");   // %1: the file
    QTest::newRow("disk full at the header")
        << WriteStep::Write << 0 << 3 << false << "Cannot record telemetry to %1: No space left on device";
    QTest::newRow("disk full at the third row")
        << WriteStep::Write << 3 << 5 << false
        << "Telemetry recording stopped after 2 frames: cannot write %1: No space left on device";
    QTest::newRow("disk full at the flush after a second of frames")
        << WriteStep::Flush << 0 << 55 << false
        << "Telemetry recording stopped after 50 frames: cannot write %1: No space left on device";
    QTest::newRow("disk full at the final flush")
        << WriteStep::Commit << 0 << 2 << true
        << "Telemetry recording stopped after 2 frames: cannot write %1: No space left on device";
}

void StorageTest::refusedRecordingStopsOnceAndTheWindowGoesOn()
{
    QFETCH(WriteStep, step);
    QFETCH(int, passing);
    QFETCH(int, frames);
    QFETCH(bool, stopPressed);
    QFETCH(QString, report);
    constexpr int FRAME_MS = 20;
    openPort();
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    const QString path = f->folder.filePath("motion.csv");
    f->dialogs.clear();
    // Frames keep coming while the message is open.
    f->dialogs.onMessage = [this](const QString&) { feedFrame(); };
    {
        const DiskFull full(step, path, passing);
        f->dialogs.files.enqueue(path);
        control<QPushButton>(setupWindow, "recordButton")->click();
        for (int i = 0; i < frames; ++i) {
            f->sim.clock.advance(FRAME_MS);
            feedFrame();
        }
        if (stopPressed)
            control<QPushButton>(setupWindow, "recordButton")->click();
    }
    QCOMPARE(f->dialogs.messages, QStringList{report.arg(path)});
    QCOMPARE(control<QPushButton>(setupWindow, "recordButton")->text(), QString("Record..."));
    f->sim.clock.advance(FRAME_MS);
    feedFrame();
    QCOMPARE(f->dialogs.messages.size(), 1);

    // The window records again once the disk has room.
    f->dialogs.files.enqueue(f->folder.filePath("again.csv"));
    control<QPushButton>(setupWindow, "recordButton")->click();
    f->sim.clock.advance(FRAME_MS);
    feedFrame();
    QCOMPARE(control<QPushButton>(setupWindow, "recordButton")->text(), QString("Stop (1 frames)"));
    control<QPushButton>(setupWindow, "recordButton")->click();
    QCOMPARE(contentOf(f->folder.filePath("again.csv")),
             QByteArray("ms,posx,posy,posz,rotx,roty,rotz,Red,Green,Blue,Battery_V,USB_V,STATO\n"
                        "20,0,0,0,0,0,0,0,0,0,2800,3300,3\n"));
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void StorageTest::everyDamagedJournalIsKept()
{
    Sound::SlotJournal journal(f->folder.filePath("journal"));
    const QString path = journal.fileFor(SERIAL);
    const QDateTime when(QDate(2026, 3, 1), QTime(10, 30), QTimeZone::utc());
    putFile(path, "{ first damage");
    QCOMPARE(journal.record(SERIAL, HUM, HUM_FILE, when), QString());
    putFile(path, "{ second damage");
    QCOMPARE(journal.record(SERIAL, HUM, HUM_FILE, when), QString());
    QCOMPARE(contentOf(path + ".damaged"), QByteArray("{ first damage"));
    QCOMPARE(contentOf(path + ".damaged-2"), QByteArray("{ second damage"));
    QCOMPARE(journal.list(SERIAL)[HUM].fileName, QString("hum.wav"));
}

TAVRIN_TEST_MAIN(StorageTest)
#include "tst_storage.moc"
