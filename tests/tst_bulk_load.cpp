// Bulk load of the base sound set on simulated time: F12's question, the 19
// transfers into bank 1 in order, "Finito..", stopping between steps with F11,
// and the loss of the device midway.
#include "Controls.h"
#include "RecordingPlayer.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/ImportDialog.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "common/Clock.h"
#include "common/Globals.h"
#include "sound/FontPlan.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

namespace {
// Bank 1's slots in the order of the base set.
const char* const UPLOAD_REQUESTS[] = {
    "23 4C 00 00 00 00 0A", "23 4C 00 00 01 00 0A", "23 4C 00 00 02 00 0A", "23 4C 00 00 04 00 0A",
    "23 4C 00 00 05 00 0A", "23 4C 00 00 06 00 0A", "23 4C 00 00 07 00 0A", "23 4C 00 00 08 00 0A",
    "23 4C 00 00 09 00 0A", "23 4C 00 00 0A 00 0A", "23 4C 00 00 0B 00 0A", "23 4C 00 00 0C 00 0A",
    "23 4C 00 00 0D 00 0A", "23 4C 00 00 0E 00 0A", "23 4C 00 00 0F 00 0A", "23 4C 00 00 10 00 0A",
    "23 4C 00 00 11 00 0A", "23 4C 00 00 12 00 0A", "23 4C 00 00 13 00 0A"};
constexpr qint64 WHOLE_SET_MS = 19 * 20000;
const QString STOPPED_AFTER_ONE = "Loading the base sound set was stopped after 1 of 19 files; the other "
                                  "slots of bank 1 keep what they held.";
} // namespace

class BulkLoadTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void f12WritesTheBaseSetIntoBank1InOrder();
    void answeringNoLoadsNothing();
    void stopTakesEffectBetweenSteps_data();
    void stopTakesEffectBetweenSteps();
    void aFileTheBoardDoesNotConfirmEndsTheLoad();
    void f11WithNothingRunningOnlySaysSo();
    void f11StopsAnImportAfterTheFileBeingSent();
    void deviceLossStopsTheRemainingSteps();
    void slotButtonBetweenFilesIsRefused();
    void f12WhileAnUploadRunsIsRefused();
    void faultsAreToldOnceAndNameWhatIsMissing_data();
    void faultsAreToldOnceAndNameWhatIsMissing();

private:
    QList<QByteArray> uploadRequests() const;
    void key(int key) const
    {
        QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key(key));
    }
    std::unique_ptr<SetupWindowFixture> f;
};

void BulkLoadTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    setupWindow->sounds()->browser()->setPreviewPlayer(std::make_unique<RecordingPlayer>());
    const QDir built(TAVRIN_BASE_SOUNDS_DIR);
    const QString zero = f->folder.path() + "/Sounds/ZERO";
    QDir().mkpath(zero);
    for (const QString& name : built.entryList({"*.wav"}, QDir::Files))
        QFile::copy(built.filePath(name), zero + "/" + name);
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    setupWindow->board()->serialPort()->setBaud(115200);
    f->port->clearSent();
    RICHIESTA = true;
    setupWindow->show();
    setupWindow->ports()->connectionCheck()->stop(); // no connection check: the board is scripted
}

QList<QByteArray> BulkLoadTest::uploadRequests() const
{
    QList<QByteArray> requests;
    for (const QByteArray& frame : f->sentFrames())
        if (frame.startsWith("#L"))
            requests.append(frame);
    return requests;
}

void BulkLoadTest::f12WritesTheBaseSetIntoBank1InOrder()
{
    // Nothing is selected in the list: each base file is measured on its own.
    key(Qt::Key_F12);
    QCOMPARE(f->dialogs.questions, QStringList{"Do you want to load the base sound set " + f->folder.path() +
                                               "/Sounds/ZERO on Kordex as bank 1 sounds ?  "});
    QVERIFY(f->sim.clock.advanceUntil([this] { return uploadRequests().size() == 4; }, WHOLE_SET_MS));
    QCOMPARE(waitDialog->message->text(),
             QString("Loading the base sound set... 3 of 19 files\nBase_Swing_1_0.wav"));
    QVERIFY(
        f->sim.clock.advanceUntil([this] { return f->dialogs.messages.contains("Finito.."); }, WHOLE_SET_MS));
    f->sim.clock.advance(1);
    QList<QByteArray> expected;
    for (const char* request : UPLOAD_REQUESTS)
        expected.append(hexBytes(request));
    QCOMPARE(uploadRequests(), expected);
    QCOMPARE(f->dialogs.messages, QStringList{"Finito.."});
    QCOMPARE(f->dialogs.questions.size(), 1); // no slot asked its own question
    QVERIFY(RICHIESTA);
    QVERIFY(!setupWindow->board()->link()->busy());
}

void BulkLoadTest::answeringNoLoadsNothing()
{
    f->dialogs.answers.enqueue(false);
    key(Qt::Key_F12);
    f->sim.clock.advance(30000);
    QCOMPARE(f->sentFrames(), QList<QByteArray>{});
    QVERIFY(RICHIESTA);
}

void BulkLoadTest::aFileTheBoardDoesNotConfirmEndsTheLoad()
{
    key(Qt::Key_F12);
    QVERIFY(f->sim.clock.advanceUntil([this] { return uploadRequests().size() == 2; }, WHOLE_SET_MS));
    f->uploadAnswers->enabled = false; // deaf from the second file's request on
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, WHOLE_SET_MS));
    f->sim.clock.advance(WHOLE_SET_MS);
    QCOMPARE(uploadRequests().size(), 2);
    QCOMPARE(f->dialogs.messages,
             QStringList{"The board did not confirm the upload into Bank 1 Power Off: no \"End.\" came after the "
                         "sound was sent. The slot may hold only part of it; upload it again.\n" +
                         STOPPED_AFTER_ONE});
}

void BulkLoadTest::stopTakesEffectBetweenSteps_data()
{
    QTest::addColumn<bool>("annulla");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("F11") << false << QStringList{"Loading stopped.", STOPPED_AFTER_ONE} << QStringList{};
    QTest::newRow("Annulla") << true << QStringList{STOPPED_AFTER_ONE}
                             << QStringList{"Stop loading the base sound set after the file being sent?"};
}

void BulkLoadTest::stopTakesEffectBetweenSteps()
{
    QFETCH(bool, annulla);
    setupWindow->sounds()->slotControls()->loadBaseSounds();
    QVERIFY(f->sim.clock.advanceUntil([this] { return !uploadRequests().isEmpty(); }, 20000));
    if (annulla)
        waitDialog->cancelButton->click();
    else
        key(Qt::Key_F11);
    QTEST(f->dialogs.questions, "asked");
    f->sim.clock.advance(60000);
    QTEST(f->dialogs.messages, "said");
    QVERIFY(RICHIESTA);
    QCOMPARE(uploadRequests(), QList<QByteArray>{hexBytes(UPLOAD_REQUESTS[0])});
    QVERIFY(!setupWindow->board()->link()->busy());
    const QList<QByteArray> sent = f->sentFrames();
    qsizetype streamed = 0; // the power-on sound went out whole
    for (const QByteArray& chunk : sent.mid(sent.indexOf(hexBytes(UPLOAD_REQUESTS[0])) + 1))
        streamed += chunk.size();
    QCOMPARE(streamed, 52920);
    QVERIFY(!f->dialogs.messages.contains("Finito.."));
}

void BulkLoadTest::f11WithNothingRunningOnlySaysSo()
{
    key(Qt::Key_F11);
    QCOMPARE(f->dialogs.messages, QStringList{"No sounds are being loaded: nothing was stopped."});
    f->sim.clock.advance(5000);
    QCOMPARE(f->sentFrames(), QList<QByteArray>{});
    QVERIFY(!setupWindow->board()->link()->busy());
}

void BulkLoadTest::f11StopsAnImportAfterTheFileBeingSent()
{
    const QString font = f->folder.path() + "/font";
    QDir().mkpath(font);
    const QDir built(TAVRIN_BASE_SOUNDS_DIR);
    QVERIFY(QFile::copy(built.filePath("Base_PowerOn_0.wav"), font + "/poweron.wav"));
    QVERIFY(QFile::copy(built.filePath("Base_Swing_1_0.wav"), font + "/swing1.wav"));
    const Sound::FontCheck check = Sound::CheckFontPlan(Sound::PlanFont(font, 2));
    QCOMPARE(check.uploads.size(), 2);
    // Outside set-up mode the board takes no sound: the dialog's "Upload" is off,
    // and the import refuses however it is reached.
    setupWindow->sounds()->slotControls()->importFont();
    auto* dialog = setupWindow->findChild<ImportDialog*>(QStringLiteral("ImportDialog"));
    QVERIFY(dialog);
    dialog->setFolder(font);
    const auto* upload = dialog->findChild<QPushButton*>(QStringLiteral("UploadFont"));
    QVERIFY(upload && !upload->isEnabled());
    setupWindow->board()->setSetUpMode(true);
    QVERIFY(upload->isEnabled());
    setupWindow->board()->setSetUpMode(false);
    QVERIFY(!upload->isEnabled());
    dialog->hide();
    QVERIFY(!setupWindow->sounds()->slotControls()->runImport(2, check.uploads));
    QCOMPARE(f->dialogs.messages, QStringList{"Nothing was erased or sent: the board takes sounds only in set-up "
                                              "mode. Choose \"SetUp\" first."});
    QVERIFY(f->port->sent.isEmpty());
    f->dialogs.clear();
    setupWindow->board()->setSetUpMode(true);
    QVERIFY(setupWindow->sounds()->slotControls()->runImport(2, check.uploads));
    QVERIFY(f->sim.clock.advanceUntil([this] { return !uploadRequests().isEmpty(); }, 20000));

    key(Qt::Key_F11);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Importing the sound font into bank 2 stops after the file being sent."});
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, 60000));
    f->sim.clock.advance(1);
    // The board's "End." for the file written is the import's: no upload of its own is reported.
    QCOMPARE(f->dialogs.messages,
             (QStringList{"Importing the sound font into bank 2 stops after the file being sent.",
                          "The import into bank 2 was stopped after 1 of 2 files; the other slots keep what "
                          "they held."}));
    QCOMPARE(uploadRequests(), QList<QByteArray>{hexBytes("23 4C 00 00 14 00 0A")});
}

void BulkLoadTest::deviceLossStopsTheRemainingSteps()
{
    setupWindow->sounds()->slotControls()->loadBaseSounds();
    QVERIFY(f->sim.clock.advanceUntil([this] { return uploadRequests().size() == 2; }, 40000));
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages[0].startsWith("Loading the base sound set stopped after 1 of 19 files: the "
                                               "connection to /dev/ttyACM0 was lost."),
             qPrintable(f->dialogs.messages[0]));
    f->sim.clock.advance(WHOLE_SET_MS);
    QCOMPARE(uploadRequests().size(), 2);
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(!setupWindow->board()->link()->busy());
    QVERIFY(RICHIESTA);
}

void BulkLoadTest::slotButtonBetweenFilesIsRefused()
{
    setupWindow->sounds()->slotControls()->loadBaseSounds();
    QVERIFY(f->sim.clock.advanceUntil([this] { return !uploadRequests().isEmpty(); }, 20000));
    // The power-on sound's stream and closing pause are over; the next file
    // starts on the following one-second tick.
    f->sim.clock.advance(4600 + 4000 + 100);
    QCOMPARE(uploadRequests().size(), 1);
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Loading the base sound set is running. Wait until it has finished."});
    QVERIFY(f->dialogs.questions.isEmpty());
    QVERIFY(f->sim.clock.advanceUntil([this] { return uploadRequests().size() == 2; }, 20000));
    QCOMPARE(uploadRequests().last(), hexBytes(UPLOAD_REQUESTS[1]));
    QVERIFY(!f->sentFrames().contains(hexBytes("23 52 00 00 04 00 0A")));
}

void BulkLoadTest::f12WhileAnUploadRunsIsRefused()
{
    setupWindow->sounds()->browser()->setSoundFolder(f->folder.path() + "/Sounds/ZERO");
    setupWindow->sounds()->browser()->fillFileList();
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->dialogs.clear();
    key(Qt::Key_F12);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Upload into Bank 1 Swing 1 is running. Wait until it has finished."});
    QVERIFY(f->dialogs.questions.isEmpty());
    f->sim.clock.advance(60000);
    QCOMPARE(uploadRequests(), QList<QByteArray>{hexBytes("23 4C 00 00 04 00 0A")});
}

void BulkLoadTest::faultsAreToldOnceAndNameWhatIsMissing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("said"); // FOLDER stands for the base set's folder
    QTest::addColumn<int>("uploads");
    QTest::newRow("port closed") << "close"
                                 << QStringList{"Loading the base sound set needs an open port: open the "
                                                "board's port first."}
                                 << 0;
    QTest::newRow("no base set folder")
        << "no folder"
        << QStringList{"The base sound set was not found: there is no folder FOLDER. Nothing was loaded."}
        << 0;
    QTest::newRow("the hum missing")
        << "no hum" << QStringList{"Finito..\nNot loaded:\nFOLDER/Base_Hum_0.wav: Error File"} << 18;
}

void BulkLoadTest::faultsAreToldOnceAndNameWhatIsMissing()
{
    QFETCH(QString, fault);
    QFETCH(QStringList, said);
    QFETCH(int, uploads);
    const QString zero = f->folder.path() + "/Sounds/ZERO";
    if (fault == "close")
        setupWindow->ports()->closePort();
    else if (fault == "no folder")
        QDir(zero).removeRecursively();
    else
        QFile::remove(zero + "/Base_Hum_0.wav");
    f->port->clearSent();
    key(Qt::Key_F12);
    f->sim.clock.advance(WHOLE_SET_MS);
    said.replaceInStrings("FOLDER", zero);
    QCOMPARE(f->dialogs.messages, said);
    QCOMPARE(uploadRequests().size(), uploads);
    QVERIFY(!setupWindow->board()->link()->busy());
}

TAVRIN_TEST_MAIN(BulkLoadTest)
#include "tst_bulk_load.moc"
