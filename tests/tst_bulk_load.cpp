// Bulk load of the base sound set on simulated time: F12's question, the 19
// transfers into bank 1 in order, "Finito..", stopping between steps with F11,
// and the loss of the device midway.
#include "RecordingPlayer.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/Serial1.h"
#include "comm/ConnectionCheck.h"
#include "app/Wait.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Globals.h"

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
    void f11WithNothingRunningOnlySaysSo();
    void deviceLossStopsTheRemainingSteps();

private:
    QList<QByteArray> uploadRequests() const;
    void key(int key) const { QTest::keyClick(SerialForm1->FileListBox1, Qt::Key(key)); }
    std::unique_ptr<SetupWindowFixture> f;
};

void BulkLoadTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    SerialForm1->setMediaPlayer(std::make_unique<RecordingPlayer>());
    const QDir built(TAVRIN_BASE_SOUNDS_DIR);
    const QString zero = f->folder.path() + "/Sounds/ZERO";
    QDir().mkpath(zero);
    for (const QString& name : built.entryList({"*.wav"}, QDir::Files))
        QFile::copy(built.filePath(name), zero + "/" + name);
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    SerialForm1->ComPort1->setBaud(115200);
    f->port->clearSent();
    RICHIESTA = true;
    SerialForm1->show();
    SerialForm1->Check->stop(); // no connection check: the board is scripted
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
    QVERIFY(
        f->sim.clock.advanceUntil([this] { return f->dialogs.messages.contains("Finito.."); }, WHOLE_SET_MS));
    QList<QByteArray> expected;
    for (const char* request : UPLOAD_REQUESTS)
        expected.append(hexBytes(request));
    QCOMPARE(uploadRequests(), expected);
    QCOMPARE(f->dialogs.messages, QStringList{"Finito.."});
    QCOMPARE(f->dialogs.questions.size(), 1); // no slot asked its own question
    QVERIFY(RICHIESTA);
    QVERIFY(!SerialForm1->Timer4->Enabled());
}

void BulkLoadTest::answeringNoLoadsNothing()
{
    f->dialogs.answers.enqueue(false);
    key(Qt::Key_F12);
    f->sim.clock.advance(30000);
    QCOMPARE(f->sentFrames(), QList<QByteArray>{});
    QVERIFY(RICHIESTA);
}

void BulkLoadTest::stopTakesEffectBetweenSteps_data()
{
    QTest::addColumn<bool>("annulla");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("F11") << false << QStringList{"Loading stopped."};
    QTest::newRow("Annulla") << true << QStringList{};
}

void BulkLoadTest::stopTakesEffectBetweenSteps()
{
    QFETCH(bool, annulla);
    SerialForm1->LoadAll();
    QVERIFY(f->sim.clock.advanceUntil([this] { return !uploadRequests().isEmpty(); }, 20000));
    if (annulla)
        waitform->Button2->click();
    else
        key(Qt::Key_F11);
    QTEST(f->dialogs.messages, "said");
    QVERIFY(RICHIESTA);
    f->sim.clock.advance(60000);
    QCOMPARE(uploadRequests(), QList<QByteArray>{hexBytes(UPLOAD_REQUESTS[0])});
    QVERIFY(!SerialForm1->Link->busy()); // the power-on sound went out whole
    QCOMPARE(SerialForm1->Link->done(), 52920);
    QVERIFY(!f->dialogs.messages.contains("Finito.."));
}

void BulkLoadTest::f11WithNothingRunningOnlySaysSo()
{
    key(Qt::Key_F11);
    QCOMPARE(f->dialogs.messages, QStringList{"Loading stopped."});
    f->sim.clock.advance(5000);
    QCOMPARE(f->sentFrames(), QList<QByteArray>{});
    QVERIFY(!SerialForm1->Timer4->Enabled());
}

void BulkLoadTest::deviceLossStopsTheRemainingSteps()
{
    SerialForm1->LoadAll();
    QVERIFY(f->sim.clock.advanceUntil([this] { return uploadRequests().size() == 2; }, 40000));
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages[0].startsWith("Upload into Bank 1 Power Off stopped after "),
             qPrintable(f->dialogs.messages[0]));
    f->sim.clock.advance(WHOLE_SET_MS);
    QCOMPARE(uploadRequests().size(), 2);
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(!SerialForm1->Timer4->Enabled());
    QVERIFY(RICHIESTA);
}

TAVRIN_TEST_MAIN(BulkLoadTest)
#include "tst_bulk_load.moc"
