// Bulk load end to end: F12 in the real window, the real serial component and
// the simulated board; the first two base sounds land in bank 1's first two
// slots, F11 stops the load after them and the rest of the bank stays erased.
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

#include <QDir>
#include <QFile>
#include <QListWidget>

namespace {
constexpr int STEPS_MS = 40000; // two steps: request, erase and closing pauses, with room for a slow machine
constexpr int SECTOR = 0x10000;
constexpr int BANK = 20 * SECTOR;
const QStringList BOARD_OPTIONS = {"--idle-ms", "1500"};

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
    QVERIFY2(e2e.start({{}, QStringLiteral("kordex-sim"), BOARD_OPTIONS},
                       {.recordingPlayer = true, .announceUploads = true, .openPort = true, .setUpFlag = true}, &why),
             qPrintable(why));
    SetupWindowFixture& f = e2e.windows();
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
    QCOMPARE(flash.mid(0x000000, 4).toHex(' '), QByteArray("00 80 34 92"));
    QCOMPARE(flash.mid(0x010000, 4).toHex(' '), QByteArray("fe ff 01 80"));
    QCOMPARE(flash.mid(4, SECTOR - 4), QByteArray(SECTOR - 4, char(0xFF)));
    QCOMPARE(flash.mid(SECTOR + 4, BANK - SECTOR - 4), QByteArray(BANK - SECTOR - 4, char(0xFF)));
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
