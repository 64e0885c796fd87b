// The sound slot buttons and menu items on simulated time: their requests,
// pauses and questions, and the checks that refuse before anything is sent.
#include "Controls.h"
#include "SoundSlotTest.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/SlotMap.h"

#include <QAction>
#include <QPushButton>

using namespace Sound;
using namespace SlotScript;

class SoundSlotCommandsTest : public QObject, private SoundSlotTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void bank1HumRequestsWithoutAddressAndWaitsWithButtonOff();
    void bank1Swing2AsksStraightAfterItsRequest();
    void oneSectorButtonsRefuseABigFileThatHumAccepts();
    void beforeAnySelectionEverySlotRefuses();
    void menuItemsWriteTheirSlotWithoutRequest_data();
    void menuItemsWriteTheirSlotWithoutRequest();
};

// ---- Slot commands -------------------------------------------------------------

void SoundSlotCommandsTest::bank1HumRequestsWithoutAddressAndWaitsWithButtonOff()
{
    setupWindow->board()->setSetUpMode(true);
    const QString path = select("hum.wav", wav(ramp(4)));
    QPushButton* hum = setupWindow->findChild<QPushButton*>("bank1HumButton");
    bool offDuringPause = false;
    f->sim.clock.duringPause = [&](int) { offDuringPause = !hum->isEnabled(); };
    f->dialogs.answers.enqueue(false);
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Hum, 1));
    QCOMPARE(f->sentFrames(), QList<QByteArray>{frame("23 4F 00 00 00 00 0A")});
    QCOMPARE(f->sim.clock.pauses.size(), 1);
    QCOMPARE(f->sim.clock.pauses[0].ms, 3000);
    QVERIFY(offDuringPause);
    QVERIFY(hum->isEnabled());
    QCOMPARE(f->dialogs.questions,
             QStringList{"Do you want to load the file " + path + " on Kordex as Hum sound ?  "});
    f->sim.clock.advance(10000);
    QCOMPARE(f->port->sent.size(), 1); // No: nothing more
}

void SoundSlotCommandsTest::bank1Swing2AsksStraightAfterItsRequest()
{
    const QString path = select("swing.wav", wav(ramp(4)));
    f->dialogs.answers.enqueue(false);
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Swing, 2));
    QCOMPARE(f->sentFrames(), QList<QByteArray>{frame("23 52 00 00 05 00 0A")});
    QVERIFY(f->sim.clock.pauses.isEmpty());
    QCOMPARE(f->dialogs.questions,
             QStringList{"Do you want to load the file " + path + " on Kordex as SWING sound ?  "});
}

void SoundSlotCommandsTest::oneSectorButtonsRefuseABigFileThatHumAccepts()
{
    const QString path = select("big.wav", wav(QList<quint16>(34978, 0)));
    f->dialogs.answers << false << false; // the offer to trim, declined
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(2, Sound::SlotKind::Swing, 1));
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(2, Sound::SlotKind::Swing, 1));
    QCOMPARE(f->dialogs.questions,
             QStringList(2, "The sound of " + path +
                                " is 69956 bytes for the board; the slot takes at most 64954. Trim its end, "
                                "fading out over the last 20 ms, so that it fits?"));
    QCOMPARE(f->dialogs.messages, QStringList(2, "The size of selected file " + path + SIZE_64K));
    QVERIFY(f->port->sent.isEmpty());
    f->dialogs.answers.enqueue(false);
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(3, Sound::SlotKind::Hum, 1));
    QCOMPARE(f->sentFrames(), QList<QByteArray>{frame("23 54 00 00 2A 00 0A")});
}

void SoundSlotCommandsTest::beforeAnySelectionEverySlotRefuses()
{
    for (int i = 0; i < SoundSlots().size(); ++i)
        control<QPushButton>(setupWindow, SoundSlots()[i].button)
            ->click(); // disabled buttons ignore clicks; the handler does not
    for (int i = 0; i < SoundSlots().size(); ++i)
        setupWindow->sounds()->slotControls()->uploadToSlot(i);
    QCOMPARE(f->dialogs.messages.size(), 57);
    QCOMPARE(f->dialogs.messages.first(), "The size of selected file " + SIZE_64K);
    QCOMPARE(f->dialogs.messages[2],
             QString("The size of selected file  is more than 128 Kbytes.  Uploaded deleted."));
    QVERIFY(f->port->sent.isEmpty());
}

void SoundSlotCommandsTest::menuItemsWriteTheirSlotWithoutRequest_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QByteArray>("erase");
    QTest::newRow("Bank1 Sounds, Clash, Clash 11") << "bank1Clash5Item"
                                                   << "CLASH" << frame("23 45 00 00 0E 00 0A");
    QTest::newRow("Bank2 Sounds, Clash, Clash 11 now writes its slot")
        << "bank2Clash5Item"
        << "CLASH" << frame("23 45 00 00 22 00 0A");
    QTest::newRow("Bank2 Sounds, Swing, Swing 1") << "bank2Swing1Item"
                                                  << "SWING" << frame("23 45 00 00 18 00 0A");
    QTest::newRow("Bank3 Sounds, Power On") << "bank3PowerOnItem"
                                            << "Power ON" << frame("23 45 00 00 28 00 0A");
}

void SoundSlotCommandsTest::menuItemsWriteTheirSlotWithoutRequest()
{
    QFETCH(QString, item);
    QFETCH(QByteArray, erase);
    const QString path = select("clash.wav", wav(ramp(2)));
    setupWindow->findChild<QAction*>(item)->trigger();
    QFETCH(QString, word);
    QCOMPARE(f->dialogs.questions,
             QStringList{"Do you want to load the file " + path + " on Kordex as " + word + " sound ?  "});
    f->sim.clock.advance(1500);
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{erase, erase}));
    QVERIFY(f->sim.clock.pauses.isEmpty());
}

TAVRIN_TEST_MAIN(SoundSlotCommandsTest)
#include "tst_sound_slot_commands.moc"
