// Uploading a sound to a slot on simulated time: the upload's frames and sample
// bytes, the skip fields, what the running upload ignores, and how it stops.
#include "SoundSlotTest.h"
#include "SoundFiles.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

using namespace Sound;
using namespace SlotScript;

class SoundSlotUploadTest : public QObject, private SoundSlotTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void uploadOfOneSampleFrameBySpacing();
    void humUploadErasesBothSectors();
    void headerOnlyFileSendsNoSample_data();
    void headerOnlyFileSendsNoSample();
    void skipCountsLeaveExactlyTheirSamples_data();
    void skipCountsLeaveExactlyTheirSamples();
    void badSkipFieldsRefuseBeforeAnythingIsSent_data();
    void badSkipFieldsRefuseBeforeAnythingIsSent();
    void fileThatVanishedOrGrewIsNotErasedFor();
    void streamFollowsTheWireAndDialogCounts();
    void reopeningTheWindowLeavesTheUploadAlone();
    void nothingRetargetsARunningUpload_data();
    void nothingRetargetsARunningUpload();
    void cancelStopsTheStreamAndSaysTheSlotIsPartial();
    void deviceLossDuringUploadStopsIt();
};

// ---- Upload --------------------------------------------------------------------

void SoundSlotUploadTest::uploadOfOneSampleFrameBySpacing()
{
    const QString path = select("one.wav", wav({0x1234}));
    f->uploadAnswers->enabled = false; // the board's "End." comes below, at a moment of the test's choosing
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    QCOMPARE(f->sim.clock.pauses.size(), 1);
    const qint64 asked = f->sim.clock.now();
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->windowTitle(), QString("Uploading File ..."));
    QCOMPARE(waitDialog->message->text(), "Uploading file " + path + " (0 of 2 sample bytes)");
    f->sim.clock.advance(2040);
    const QList<ScriptedPort::Sent> sent = framesFrom(1);
    QCOMPARE(f->sentFrames().value(0), frame("23 52 00 00 04 00 0A"));
    QCOMPARE(sent.size(), 4);
    const QByteArray erase = frame("23 45 00 00 04 00 0A");
    const QList<std::pair<qint64, QByteArray>> expected = {
        {0, erase}, {1000, erase}, {2020, frame("23 4C 00 00 04 00 0A")}, {2040, frame("34 92")}};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(sent[i].at - asked, expected[i].first);
        QCOMPARE(sent[i].bytes.toHex(' '), expected[i].second.toHex(' '));
    }
    f->sim.clock.advance(20); // the next tick finds both bytes gone from the line: the progress counts them
    QCOMPARE(waitDialog->message->text(), "Uploading file " + path + " (2 of 2 sample bytes)");
    QCOMPARE(waitDialog->progressBar->value(), 2); // full with the last sample
    QCOMPARE(waitDialog->progressBar->maximum(), 2);
    f->sim.clock.advance(3999);
    QVERIFY(waitDialog->isVisible());
    QVERIFY(setupWindow->board()->link()->busy());
    f->port->feed("End."); // kept until the operation is over
    QVERIFY(f->dialogs.messages.isEmpty());
    f->sim.clock.advance(1);
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->board()->link()->busy());
    f->sim.clock.advance(1);
    QCOMPARE(f->dialogs.messages, QStringList{"Uploading file completed."});
    QCOMPARE(f->port->sent.size(), 5);
}

void SoundSlotUploadTest::humUploadErasesBothSectors()
{
    select("hum.wav", wav(ramp(3)));
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(2, Sound::SlotKind::Hum, 1));
    f->sim.clock.advance(3100);
    QCOMPARE(f->sentFrames().mid(0, 5),
             (QList<QByteArray>{frame("23 53 00 00 16 00 0A"), frame("23 45 00 00 16 00 0A"),
                                frame("23 45 00 00 16 00 0A"), frame("23 45 00 00 17 00 0A"),
                                frame("23 4C 00 00 16 00 0A")}));
    QCOMPARE(f->port->sent[4].at - f->port->sent[3].at, 1020);
}

void SoundSlotUploadTest::headerOnlyFileSendsNoSample_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("exactly the 44-byte header") << BoardFormatHeader();
    QTest::newRow("header and an odd byte") << BoardFormatHeader() + 'x';
}

void SoundSlotUploadTest::headerOnlyFileSendsNoSample()
{
    QFETCH(QByteArray, content);
    select("empty.wav", content);
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::PowerOn, 1));
    f->sim.clock.advance(2020);
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{frame("23 45 00 00 00 00 0A"), frame("23 45 00 00 00 00 0A"),
                                                 frame("23 4C 00 00 00 00 0A")}));
    f->sim.clock.advance(20 + 3999);
    QVERIFY(waitDialog->isVisible());
    f->sim.clock.advance(1);
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(f->port->sent.size(), 3);
    f->sim.clock.advance(1);
    QCOMPARE(f->dialogs.messages, QStringList{"Uploading file completed."}); // the board's answer to the empty stream
}

void SoundSlotUploadTest::skipCountsLeaveExactlyTheirSamples_data()
{
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QByteArray>("samples"); // the low bytes of the samples sent (all 0x80 high)
    QTest::newRow("none skipped: every sample, the last ones too")
        << "0"
        << "0" << frame("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17");
    QTest::newRow("ten at the start") << "10"
                                      << "0" << frame("0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17");
    QTest::newRow("exactly three at the end")
        << "0"
        << "3" << frame("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14");
    QTest::newRow("both") << "2"
                          << "20" << frame("02 03");
}

void SoundSlotUploadTest::skipCountsLeaveExactlyTheirSamples()
{
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QByteArray, samples);
    skipField("beginSkip")->setText(begin);
    skipField("endSkip")->setText(end);
    select("ramp.wav", wav(ramp(24)));
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->sim.clock.advance(2040);
    QByteArray expected;
    for (char low : samples)
        expected.append(low).append(char(0x80));
    QCOMPARE(f->port->sent.last().bytes.toHex(' '), expected.toHex(' '));
    f->sim.clock.advance(60); // at most 48 bytes: gone from a 9600 line within 50 ms, counted at a tick
    QCOMPARE(waitDialog->progressBar->value(), 2 * samples.size());
    QCOMPARE(waitDialog->progressBar->maximum(), 2 * samples.size());
}

void SoundSlotUploadTest::badSkipFieldsRefuseBeforeAnythingIsSent_data()
{
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("field");
    QTest::newRow("begin not a number") << "ten"
                                        << "0"
                                        << "Samples to skip (begin)";
    QTest::newRow("begin negative") << "-1"
                                    << "0"
                                    << "Samples to skip (begin)";
    QTest::newRow("end empty") << "0"
                               << ""
                               << "Samples to skip (end)";
    QTest::newRow("end hexadecimal") << "0"
                                     << "0x10"
                                     << "Samples to skip (end)";
    QTest::newRow("begin skips the whole file") << "24"
                                                << "0"
                                                << "Samples to skip (begin)";
    QTest::newRow("together the whole file") << "12"
                                             << "12"
                                             << "Samples to skip (end)";
}

void SoundSlotUploadTest::badSkipFieldsRefuseBeforeAnythingIsSent()
{
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, field);
    skipField("beginSkip")->setText(begin);
    skipField("endSkip")->setText(end);
    select("ramp.wav", wav(ramp(24)));
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Clash, 1));
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Clash, 1));
    f->sim.clock.advance(10000);
    QCOMPARE(f->dialogs.messages.size(), 2);
    QVERIFY2(f->dialogs.messages[0].startsWith(field), qPrintable(f->dialogs.messages[0]));
    QVERIFY(f->dialogs.questions.isEmpty());
    QVERIFY(f->port->sent.isEmpty());
}

void SoundSlotUploadTest::fileThatVanishedOrGrewIsNotErasedFor()
{
    const QString path = select("gone.wav", wav(ramp(8)));
    QFile::remove(path);
    setupWindow->sounds()->slotControls()->uploadToSlotAt(0x040000);
    QCOMPARE(f->dialogs.messages, QStringList{"Error File"});

    select("grows.wav", wav(ramp(8)));
    const QString grown = select("grows.wav", wav(QList<quint16>(32478, 0)));
    f->dialogs.answers.enqueue(false);
    setupWindow->sounds()->slotControls()->uploadToSlotAt(0x040000);
    QCOMPARE(f->dialogs.messages.last(), "The size of selected file " + grown + SIZE_64K);
    f->sim.clock.advance(10000);
    QVERIFY(f->port->sent.isEmpty());
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->board()->link()->busy());
}

void SoundSlotUploadTest::streamFollowsTheWireAndDialogCounts()
{
    // 11520 sample bytes at 115200 baud leave in one second of wire time; the
    // stream is handed over in a few dozen sends, never far ahead of the wire.
    f->port->setBaud(115200);
    select("second.wav", wav(ramp(5760)));
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->sim.clock.advance(2020);
    const qsizetype first = f->port->sent.size();
    const qint64 streamStart = f->port->sent.last().at;
    QVERIFY(f->sim.clock.advanceUntil([] { return setupWindow->board()->link()->progress().done == 11520; }, 5000));
    const QList<ScriptedPort::Sent> chunks = framesFrom(first);
    QVERIFY(chunks.size() > 10 && chunks.size() <= 60);
    QByteArray stream;
    for (const ScriptedPort::Sent& c : chunks) {
        stream += c.bytes;
        QVERIFY(stream.size() <= (c.at - streamStart + 20 + 500) * 11520 / 1000 + 1);
    }
    QCOMPARE(stream.size(), 11520);
    QCOMPARE(stream.left(4), frame("00 80 01 80"));
    QVERIFY(chunks.last().at - streamStart >= 1000 - 500 - 20);
    QCOMPARE(waitDialog->progressBar->value(), 11520);
    QCOMPARE(waitDialog->progressBar->maximum(), 11520);
}

void SoundSlotUploadTest::reopeningTheWindowLeavesTheUploadAlone()
{
    f->port->setBaud(115200);
    setupWindow->show();
    setupWindow->ports()->connectionCheck()->stop(); // no connection check: the board is scripted
    setupWindow->sounds()->browser()->setSoundFolder(
        folder);                          // showing the window points the browser elsewhere
    select("long.wav", wav(ramp(20000))); // 40000 bytes: some 3.5 s of wire time
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->sim.clock.advance(2020 + 1000);
    setupWindow->hide();
    setupWindow->show();
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, 20000));
    const QList<QByteArray> sent = f->sentFrames();
    const QByteArray request = frame("23 4C 00 00 04 00 0A");
    QCOMPARE(sent.count(request), 1);
    QByteArray stream;
    for (const QByteArray& chunk : sent.mid(sent.indexOf(request) + 1))
        stream += chunk;
    QByteArray expected;
    for (int i = 0; i < 20000; ++i)
        expected.append(char(i & 0xFF)).append(char((i >> 8) | 0x80));
    QCOMPARE(stream.size(), expected.size());
    QVERIFY(stream == expected);
}

void SoundSlotUploadTest::nothingRetargetsARunningUpload_data()
{
    QTest::addColumn<bool>("menu");
    QTest::addColumn<int>("slot");
    QTest::newRow("menu item Bank3 Sounds, Power Clash 16")
        << true << SlotIndex(3, SlotKind::PowerClash, 4); // 0x3B0000
    QTest::newRow("slot button BANK3_CLASH_10") << false << SlotIndex(3, SlotKind::PowerClash, 4);
    QTest::newRow("slot button of the same slot") << false << SlotIndex(1, SlotKind::Swing, 1);
}

void SoundSlotUploadTest::nothingRetargetsARunningUpload()
{
    QFETCH(bool, menu);
    QFETCH(int, slot);
    const QString path = select("swing.wav", wav(ramp(4)));
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->sim.clock.advance(500); // between the two erase frames
    f->dialogs.clear();
    if (menu)
        setupWindow->sounds()->slotControls()->uploadFromMenu(slot);
    else
        setupWindow->sounds()->slotControls()->uploadToSlot(slot);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Upload into Bank 1 Swing 1 is running. Wait until it has finished."});
    QVERIFY(f->dialogs.questions.isEmpty());
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, 20000));
    const QByteArray erase = frame("23 45 00 00 04 00 0A");
    QCOMPARE(f->sentFrames().mid(0, 3), (QList<QByteArray>{erase, erase, frame("23 4C 00 00 04 00 0A")}));
    QCOMPARE(f->port->sent.size(), 4);
}

void SoundSlotUploadTest::cancelStopsTheStreamAndSaysTheSlotIsPartial()
{
    select("long.wav", wav(ramp(20000))); // 40000 bytes: 41 s at 9600 baud
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->sim.clock.advance(2020 + 5000);
    f->dialogs.clear();
    waitDialog->cancelButton->click(); // "Annulla"
    QCOMPARE(f->dialogs.questions, QStringList{"Stop the upload into Bank 1 Swing 1?"});
    const qsizetype sent = f->port->sent.size();
    const int streamed = setupWindow->board()->link()->progress().done;
    QVERIFY(streamed > 0 && streamed < 40000);
    f->sim.clock.advance(3999); // the board still takes what comes as samples
    QVERIFY(setupWindow->board()->link()->busy());
    QVERIFY(waitDialog->isVisible());
    f->sim.clock.advance(1);
    QVERIFY(!setupWindow->board()->link()->busy());
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(f->port->sent.size(), sent);
    // The board answers the cut stream with "End." too: no completion is reported for it.
    f->sim.clock.advance(1);
    QCOMPARE(
        f->dialogs.messages,
        QStringList{QString("The upload into Bank 1 Swing 1 was stopped after %1 of 40000 sample bytes: the "
                            "slot now holds only part of the sound. Upload it again.")
                        .arg(streamed)});
}

void SoundSlotUploadTest::deviceLossDuringUploadStopsIt()
{
    select("long.wav", wav(ramp(20000))); // 40000 bytes: 41 s at 9600 baud
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    f->sim.clock.advance(2020 + 10000);
    QVERIFY(waitDialog->isVisible());
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages[0].startsWith("Upload into Bank 1 Swing 1 stopped after "),
             qPrintable(f->dialogs.messages[0]));
    QVERIFY(
        f->dialogs.messages[0].contains(" of 40000 sample bytes: the connection to /dev/ttyACM0 was lost."));
    QVERIFY(!waitDialog->isVisible());
    QCOMPARE(runningTimers(), QStringList());
    QVERIFY(!setupWindow->board()->link()->busy());
    const qsizetype sent = f->port->sent.size();
    f->sim.clock.advance(60000);
    QCOMPARE(f->port->sent.size(), sent);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

TAVRIN_TEST_MAIN(SoundSlotUploadTest)
#include "tst_sound_slot_upload.moc"
