// Importing a sound font end to end: a folder of 44.1 kHz stereo files, one too
// long for its slot and one that names no slot, imported into bank 2 through
// the import dialog, the real serial component and the strict simulated board.
// Each slot's flash holds the converted sound, the trimmed one cut to the slot
// and faded out; the slots without a file, and the other banks, stay erased;
// the journal and the slot contents say what went where.
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
#include "sound/BoardFormat.h"
#include "sound/ui/ImportDialog.h"
#include "sound/ui/SlotContents.h"
#include "sound/SlotJournal.h"
#include "sound/SoundUpload.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <sndfile.h>

using namespace Sound;

namespace {
constexpr int IMPORT_MS = 100000; // five files: requests, erases, streams and closing pauses
constexpr int SECTOR = 0x10000;
const QStringList BOARD_OPTIONS = {"--idle-ms", "1500"};
const QString SERIAL = "1523-0042";
constexpr int RATE = 44100;

// A steady level on both channels: after conversion every sample away from the
// ends is that level, give or take the dither's step.
void writeLevel(const QString& path, double level, double seconds)
{
    const std::vector<double> samples(static_cast<size_t>(seconds * RATE) * 2, level);
    QVERIFY(!WriteSoundFile(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, RATE, 2, samples).isEmpty());
}

QByteArray wireBytes(const std::vector<std::int16_t>& samples)
{
    QByteArray out;
    for (std::int16_t s : samples) {
        const std::uint16_t v = SlotSample(static_cast<std::uint16_t>(s));
        out.append(char(v & 0xFF)).append(char(v >> 8));
    }
    return out;
}

int slotAddress(SlotKind kind, int number)
{
    return static_cast<int>(SoundSlots().at(SlotIndex(2, kind, number)).address);
}
} // namespace

class ImportEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void fontFolderLandsInBank2();
};

void ImportEndToEndTest::fontFolderLandsInBank2()
{
    EndToEndFixture e2e;
    QString why;
    QVERIFY2(e2e.start({{}, QStringLiteral("kordex-sim"), BOARD_OPTIONS},
                       {.recordingPlayer = true, .announceUploads = true, .openPort = true, .setUpMode = true}, &why),
             qPrintable(why));
    SetupWindowFixture& f = e2e.windows();
    // The journal keeps what went where under the serial number read from the board.
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    QVERIFY(WaitFor([] { return !setupWindow->board()->reading(); }, IMPORT_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    QCOMPARE(setupWindow->board()->readSerialNumber(), SERIAL);
    const QString font = f.folder.path() + "/font";
    QDir().mkpath(font);
    writeLevel(font + "/poweron.wav", 0.25, 0.1);
    writeLevel(font + "/hum.wav", -0.25, 0.1);
    writeLevel(font + "/swing1.wav", 0.5, 0.1);
    writeLevel(font + "/clash_02.wav", 0.25, 0.1);
    writeLevel(font + "/swing3.wav", 0.25, 1.6); // 70560 bytes for the board: one slot takes 64954
    writeLevel(font + "/blaster.wav", 0.25, 0.1);

    setupWindow->sounds()->slotControls()->importFont();
    auto* dialog = setupWindow->findChild<ImportDialog*>("ImportDialog");
    QVERIFY(dialog);
    dialog->setFolder(font);
    dialog->setBank(2);
    const auto* table = dialog->findChild<QTableWidget*>("FontTable");
    QCOMPARE(table->rowCount(), 19);
    QCOMPARE(table->item(5, 0)->text(), QString("swing3.wav"));
    QCOMPARE(table->item(5, 1)->text(), QString("Swing 3"));
    QCOMPARE(table->item(5, 2)->text(), QString("44100 Hz stereo 16-bit"));
    QCOMPARE(table->item(5, 3)->text(), QString("70560 bytes"));
    QCOMPARE(table->item(5, 4)->text(), QString("no: too long"));
    QCOMPARE(dialog->plan().unplaced, QStringList{"blaster.wav: matches no slot"});

    f.dialogs.answers.enqueue(true); // trim the swing
    dialog->upload();
    QCOMPARE(
        f.dialogs.questions,
        QStringList{"Too long for their slots: Swing 3. Trim their ends, fading out over the last 20 ms, "
                    "so that they fit?"});
    QVERIFY(setupWindow->board()->link()->busy());
    QVERIFY(WaitFor([] { return !setupWindow->board()->link()->busy(); }, IMPORT_MS));
    // The end's message comes once the import's last step has returned.
    QVERIFY(WaitFor([&] { return !f.dialogs.messages.isEmpty(); }, IMPORT_MS));
    // One report for the whole font, with the upload flag as the window sets it:
    // no "Uploading file completed." for each file's answer.
    QTest::qWait(500);
    QCOMPARE(f.dialogs.messages, QStringList{"The sound font is in bank 2: 5 files written."});
    QVERIFY(f.dialogs.errors.isEmpty());

    const QByteArray flash = e2e.board().dump("sound");
    const struct {
        SlotKind kind;
        int number;
        const char* file;
        int bytes; // converted, as the slot holds them
        int level; // a sample from the middle, in offset binary
    } written[] = {{SlotKind::PowerOn, 1, "poweron.wav", 4410, 0xA000},
                   {SlotKind::Hum, 1, "hum.wav", 4410, 0x6000},
                   {SlotKind::Swing, 1, "swing1.wav", 4410, 0xC000},
                   {SlotKind::Clash, 2, "clash_02.wav", 4410, 0xA000},
                   {SlotKind::Swing, 3, "swing3.wav", 64954, 0xA000}};
    for (const auto& w : written) {
        const int at = slotAddress(w.kind, w.number);
        const QByteArray slot = flash.mid(at, SECTOR);
        QByteArray content = ReadSoundFile(font + "/" + w.file).value_or(QByteArray());
        BoardFileRead converted = ReadBoardFile(content);
        QVERIFY(converted.value);
        TrimToFit(converted.value->samples, 32477);
        QCOMPARE(slot.left(w.bytes), wireBytes(converted.value->samples));
        QCOMPARE(slot.mid(w.bytes), QByteArray(SECTOR - w.bytes, char(0xFF)));
        // The level itself, within the dither's step.
        const int middle = (w.bytes / 4) * 2;
        const int value = quint8(slot[middle]) | quint8(slot[middle + 1]) << 8;
        QVERIFY2(qAbs(value - w.level) <= 2, qPrintable(QString::number(value, 16)));
    }
    // The trimmed swing fades to silence (offset binary 0x8000) at its end.
    const int swing3 = slotAddress(SlotKind::Swing, 3);
    QCOMPARE(flash.mid(swing3 + 64952, 2).toHex(' '), QByteArray("00 80"));
    // A slot with no file, and the banks around, were not touched.
    const int swing2 = slotAddress(SlotKind::Swing, 2);
    QCOMPARE(flash.mid(swing2, SECTOR), QByteArray(SECTOR, char(0xFF)));
    QCOMPARE(flash.left(slotAddress(SlotKind::PowerOn, 1)),
             QByteArray(slotAddress(SlotKind::PowerOn, 1), char(0xFF)));

    // What went where, by the board's serial number.
    const QList<JournalEntry> journal = SlotJournal().list(SERIAL);
    const JournalEntry trimmed = journal.at(SlotIndex(2, SlotKind::Swing, 3));
    QCOMPARE(trimmed.fileName, QString("swing3.wav"));
    QCOMPARE(trimmed.path, font + "/swing3.wav");
    // The slot holds the trimmed sound, not the file's.
    QCOMPARE(trimmed.sentChecksum,
             QString::fromLatin1(
                 QCryptographicHash::hash(flash.mid(swing3, 64954), QCryptographicHash::Sha256).toHex()));
    QCOMPARE(journal.at(SlotIndex(2, SlotKind::Swing, 2)).known(), false);
    setupWindow->sounds()->slotControls()->showSlotContents();
    const auto* contents = setupWindow->findChild<SlotContentsDialog*>("SlotContents");
    QVERIFY(contents);
    const auto* rows = contents->findChild<QTableWidget*>("SlotContentsTable");
    QCOMPARE(rows->rowCount(), 57);
    QCOMPARE(rows->item(SlotIndex(2, SlotKind::Hum, 1), 1)->text(), QString("hum.wav"));
    QCOMPARE(rows->item(SlotIndex(2, SlotKind::Swing, 2), 1)->text(), QString("unknown"));
    QString late;
    QVERIFY2(e2e.finish(&late), qPrintable(late));
}

TAVRIN_TEST_MAIN(ImportEndToEndTest)
#include "tst_import_e2e.moc"
