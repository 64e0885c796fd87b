// Sound memory end to end: the real windows and serial component against the
// simulated board. A file uploaded into a slot is compared byte by byte with
// the board's flash; row erase and erase all are seen in it; losing the board
// midway stops the operation with a message that says what was cut short.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "SoundFiles.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ComPort.h"
#include "common/Clock.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

namespace {
constexpr int OPERATION_MS = 30000; // erase, stream and closing pause, with room for a slow machine
constexpr int SECTOR = 0x10000;
// A long idle ends the board's sample stream: a loaded test machine may pause
// the window for longer than the board's usual 300 ms.
const QStringList BOARD_OPTIONS = {"--idle-ms", "1500"};

QByteArray header()
{
    return BoardFormatHeader();
}

void appendSample(QByteArray& to, quint16 s)
{
    to.append(char(s & 0xFF)).append(char(s >> 8));
}

bool allErased(const QByteArray& flash, int from, int length)
{
    return flash.mid(from, length) == QByteArray(length, char(0xFF));
}
} // namespace

class SoundEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { e2e.stop(); }

    void uploadLandsInItsSlotAndTheRestStaysErased();
    void uploadAfterTheStartUpReopenAt9600DeliversEveryByte();
    void rowEraseAndEraseAllClearTheBoardsMemory();
    void unplugDuringEraseAndUploadStopsThem();

private:
    void select(const QByteArray& content);
    bool idle() const
    {
        return WaitFor([] { return !setupWindow->board()->link()->busy(); }, OPERATION_MS);
    }
    void upload(const char* menuItem);
    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
    QString path;
};

void SoundEndToEndTest::init()
{
    QString why;
    QVERIFY2(e2e.start({{}, QStringLiteral("kordex-sim"), BOARD_OPTIONS},
                       {.soundFolder = true, .openPort = true, .setUpFlag = true}, &why),
             qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
    path = f->folder.path() + "/sound.wav";
}

void SoundEndToEndTest::select(const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    setupWindow->sounds()->browser()->fillFileList();
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
}

void SoundEndToEndTest::upload(const char* menuItem)
{
    QByteArray content = header();
    for (int i = 0; i < 100; ++i)
        appendSample(content, quint16(i));
    select(content);
    setupWindow->findChild<QAction*>(menuItem)->trigger();
    QVERIFY(idle());
}

void SoundEndToEndTest::uploadLandsInItsSlotAndTheRestStaysErased()
{
    // The worked samples first, then a ramp that crosses several sends.
    QByteArray content = header();
    QByteArray expected;
    const std::pair<quint16, const char*> worked[] = {{0x0000, "00 80"}, {0x0001, "01 80"},
                                                      {0x7FFF, "FE FF"}, {0x8000, "00 00"},
                                                      {0xFFFF, "FF 7F"}, {0x1234, "34 92"}};
    for (const auto& [sample, bytes] : worked) {
        appendSample(content, sample);
        expected += hexBytes(bytes);
    }
    for (int i = 0; i < 3000; ++i) { // small positive samples: bit 15 set, low byte first
        appendSample(content, quint16(i));
        expected.append(char(i & 0xFF)).append(char((i >> 8) | 0x80));
    }
    select(content);
    setupWindow->findChild<QPushButton*>("bank2Swing1Button")->click(); // bank 2 swing 1
    QCOMPARE(f->dialogs.questions,
             QStringList{"Do you want to load the file " + path + " on Kordex as Swing 1 sound ?  "});
    QVERIFY(idle());
    QVERIFY(WaitFor([&] { return f->dialogs.messages.contains("Uploading file completed."); }, OPERATION_MS));
    QVERIFY(!waitDialog->isVisible());

    const QByteArray flash = board->dump("sound");
    QCOMPARE(flash.size(), 0x400000);
    const int slot = 0x180000;
    QCOMPARE(flash.mid(slot, expected.size()).toHex(' '), expected.toHex(' '));
    QVERIFY(allErased(flash, slot + expected.size(), SECTOR - expected.size()));
    QVERIFY(allErased(flash, 0, slot));
    QVERIFY(allErased(flash, slot + SECTOR, flash.size() - slot - SECTOR));
    QVERIFY(f->dialogs.errors.isEmpty());
}

void SoundEndToEndTest::uploadAfterTheStartUpReopenAt9600DeliversEveryByte()
{
    // The returning user's start: the saved port opened again at 9600 baud. The
    // board takes the stream at the link's pace all the same; at 9600's pace
    // these 52,920 bytes would take 55 s, beyond this test's waits.
    setupWindow->ports()->closePort();
    const int index = control<QComboBox>(setupWindow, "portList")->findText(board->portPath());
    f->writeSettings(board->portPath().toLocal8Bit() + "\r\n" + QByteArray::number(index) + "\r\n");
    setupWindow->ports()->openSavedPort();
    QVERIFY(setupWindow->board()->serialPort()->IsOpen());
    QCOMPARE(setupWindow->board()->serialPort()->Baud(), 9600u);
    setupWindow->board()->setSetUpMode(true);

    QByteArray content = header();
    QByteArray expected;
    for (int i = 0; i < 26460; ++i) {
        appendSample(content, quint16(i));
        expected.append(char(i & 0xFF)).append(char((i >> 8) | 0x80));
    }
    select(content);
    setupWindow->findChild<QPushButton*>("bank2Swing1Button")->click(); // bank 2 swing 1
    QVERIFY(idle());
    QVERIFY(WaitFor([&] { return f->dialogs.messages.contains("Uploading file completed."); }, OPERATION_MS));
    QCOMPARE(board->counter("upload_bytes"), qint64(52920));
    const QByteArray flash = board->dump("sound");
    const int slot = 0x180000;
    QVERIFY(flash.mid(slot, expected.size()) == expected);
    QVERIFY(allErased(flash, slot + expected.size(), SECTOR - expected.size()));
    QCOMPARE(board->violations(), qint64(0));
}

void SoundEndToEndTest::rowEraseAndEraseAllClearTheBoardsMemory()
{
    upload("bank1PowerOffItem"); // bank 1 power off, 0x010000
    upload("bank3PowerOnItem");   // bank 3 power on, 0x280000
    QByteArray flash = board->dump("sound");
    QVERIFY(!allErased(flash, 0x010000, SECTOR));
    QVERIFY(!allErased(flash, 0x280000, SECTOR));

    setupWindow->findChild<QPushButton*>("bank1GuardEraseButton")->click(); // bank 1 Guard row
    QVERIFY(idle());
    flash = board->dump("sound");
    QVERIFY(allErased(flash, 0, 4 * SECTOR));
    QVERIFY(!allErased(flash, 0x280000, SECTOR));

    control<QPushButton>(setupWindow, "eraseAllButton")->click();
    QVERIFY(idle());
    QVERIFY(WaitFor([&] { return allErased(board->dump("sound"), 0, 0x400000); }, OPERATION_MS));
}

void SoundEndToEndTest::unplugDuringEraseAndUploadStopsThem()
{
    setupWindow->sounds()->slotControls()->eraseRow(Sound::SoundRow::Guard, 0);
    QVERIFY(WaitFor([&] { return setupWindow->board()->link()->progress().done >= 2; }, OPERATION_MS));
    QVERIFY(board->controlOk("unplug"));
    QVERIFY(WaitFor([&] { return !f->dialogs.messages.isEmpty(); }, OPERATION_MS));
    QVERIFY2(f->dialogs.messages[0].startsWith("Erase bank 1 Guard sounds stopped after "),
             qPrintable(f->dialogs.messages[0]));
    QVERIFY(!setupWindow->board()->link()->busy());

    QVERIFY(board->controlOk("plug"));
    QVERIFY(e2e.openBoardPort());
    setupWindow->board()->setSetUpMode(true);
    f->dialogs.clear();
    QByteArray content = header();
    for (int i = 0; i < 30000; ++i) // 60000 bytes: some five seconds of wire time
        appendSample(content, quint16(i));
    select(content);
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    QVERIFY(WaitFor([&] { return setupWindow->board()->link()->progress().done > 0; }, OPERATION_MS));
    QVERIFY(board->controlOk("unplug"));
    QVERIFY(WaitFor([&] { return !f->dialogs.messages.isEmpty(); }, OPERATION_MS));
    QVERIFY2(f->dialogs.messages[0].startsWith("Upload into Bank 1 Swing 1 stopped after "),
             qPrintable(f->dialogs.messages[0]));
    QVERIFY(f->dialogs.messages[0].contains(" of 60000 sample bytes"));
    QVERIFY(!setupWindow->board()->link()->busy());
    for (const WindowTimer* t : setupWindow->findChildren<WindowTimer*>("UploadTimer"))
        QVERIFY(!t->Enabled());
    QVERIFY(!waitDialog->isVisible());
}

TAVRIN_TEST_MAIN(SoundEndToEndTest)
#include "tst_sound_e2e.moc"
