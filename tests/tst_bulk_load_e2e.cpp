// Bulk load end to end: F12 in the real window, the real serial component and
// the simulated board; the first two base sounds land in bank 1's first two
// slots without the sample skipped at their end, F11 stops the load after them
// and the rest of the bank stays erased. The journal names the file and what
// the slot received.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "SoundFiles.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "comm/BoardLink.h"
#include "sound/BulkLoadOperation.h"
#include "sound/SlotJournal.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int STEPS_MS = 40000; // two steps: request, erase and closing pauses, with room for a slow machine
constexpr int SECTOR = 0x10000;
constexpr int BANK = 20 * SECTOR;
const QStringList BOARD_OPTIONS = {"--idle-ms", "1500"};
constexpr int RUNNING_SERIAL = 9103;
const QString SERIAL = "1523-9103"; // this test's own journal

void writeSound(const QString& path, const QList<quint16>& samples)
{
    QByteArray bytes = BoardFormatHeader();
    for (quint16 s : samples)
        bytes.append(char(s & 0xFF)).append(char(s >> 8));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}
} // namespace

class BulkLoadEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void firstTwoBaseSoundsLandInBank1AndF11StopsTheRest();
};

void BulkLoadEndToEndTest::firstTwoBaseSoundsLandInBank1AndF11StopsTheRest()
{
    EndToEndFixture e2e;
    QString why;
    QVERIFY2(
        e2e.start({{}, QStringLiteral("kordex-sim"), BOARD_OPTIONS},
                  {.recordingPlayer = true, .announceUploads = true, .openPort = true, .setUpMode = true},
                  &why),
        qPrintable(why));
    SetupWindowFixture& f = e2e.windows();
    QVERIFY(e2e.board().setRunningSerial(RUNNING_SERIAL));
    QFile::remove(Sound::SlotJournal().fileFor(SERIAL));
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    QVERIFY(WaitFor([] { return !setupWindow->board()->reading(); }, STEPS_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    QCOMPARE(setupWindow->board()->readSerialNumber(), SERIAL);
    control<QLineEdit>(setupWindow, "endSkip")->setText("1");
    const QString zero = f.folder.path() + "/Sounds/ZERO";
    QDir().mkpath(zero);
    writeSound(zero + "/Base_PowerOn_0.wav", {0x0000, 0x1234});
    writeSound(zero + "/Base_PowerOff_0.wav", {0x7FFF, 0x0001});

    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_F12);
    QCOMPARE(f.dialogs.questions.size(), 1);
    QVERIFY(WaitFor(
        [] {
            const auto* load = qobject_cast<BulkLoadOperation*>(setupWindow->board()->link()->current());
            return load && load->currentFile() == 1; // the second upload has begun
        },
        STEPS_MS));
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_F11);
    QVERIFY(WaitFor([] { return !setupWindow->board()->link()->busy(); }, STEPS_MS));
    // The end's message comes once the load's last step has returned.
    QVERIFY(WaitFor([&] { return f.dialogs.messages.size() == 2; }, STEPS_MS));

    const QByteArray flash = e2e.board().dump("sound");
    QCOMPARE(flash.mid(0x000000, 2).toHex(' '), QByteArray("00 80"));
    QCOMPARE(flash.mid(0x010000, 2).toHex(' '), QByteArray("fe ff"));
    QCOMPARE(flash.mid(2, SECTOR - 2), QByteArray(SECTOR - 2, char(0xFF)));
    QCOMPARE(flash.mid(SECTOR + 2, BANK - SECTOR - 2), QByteArray(BANK - SECTOR - 2, char(0xFF)));
    // The file's checksum, and that of the one sample the slot received.
    const Sound::JournalEntry powerOn = Sound::SlotJournal().list(SERIAL).at(0);
    QCOMPARE(powerOn.fileName, QString("Base_PowerOn_0.wav"));
    QCOMPARE(powerOn.path, zero + "/Base_PowerOn_0.wav");
    QCOMPARE(powerOn.checksum, QString("8dad5fad073d0e3ee300a1685fa9c0e73f39120692805c5f523ff1d55ede249b"));
    QCOMPARE(powerOn.sentChecksum,
             QString("085edad400785fca7e7e90b1fac4beb776fc2beee5aa24352d5f39b5d57efcad"));
    QCOMPARE(
        f.dialogs.messages,
        (QStringList{"Loading stopped.", "Loading the base sound set was stopped after 2 of 19 files; the "
                                         "other slots of bank 1 keep what they held."}));
    QVERIFY(f.dialogs.errors.isEmpty());
    QString late;
    QVERIFY2(e2e.finish(&late), qPrintable(late));
}

TAVRIN_TEST_MAIN(BulkLoadEndToEndTest)
#include "tst_bulk_load_e2e.moc"
