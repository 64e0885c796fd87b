// Sound slots on simulated time: the slot table against literal rows, the
// controls built from it, row erase and erase all with their spacing, the slot
// buttons' requests, pauses and questions, the upload's frames and sample bytes,
// the checks that refuse before anything is sent, and losing the device midway.
#include "SetupWindowFixture.h"
#include "SoundFiles.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ConnectionCheck.h"
#include "common/Clock.h"
#include "common/Globals.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>

using namespace Sound;

namespace {
const QString SIZE_64K = " is more than 64 kbytes.  Uploaded deleted.";

const SoundSlot* slotNamed(const QString& handler)
{
    for (const SoundSlot& s : SoundSlots())
        if (s.handler == handler)
            return &s;
    return nullptr;
}

// The board's header and the samples, little-endian: sent byte for byte.
QByteArray wav(const QList<quint16>& samples)
{
    QByteArray bytes = BoardFormatHeader();
    for (quint16 s : samples) {
        bytes.append(char(s & 0xFF));
        bytes.append(char(s >> 8));
    }
    return bytes;
}

QList<quint16> ramp(int count)
{
    QList<quint16> samples;
    for (int i = 0; i < count; ++i)
        samples.append(quint16(i));
    return samples;
}

QByteArray frame(const char* spaced)
{
    return hexBytes(spaced);
}
} // namespace

class SoundSlotsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void slotRowsAsTheBoardKnowsThem_data();
    void slotRowsAsTheBoardKnowsThem();
    void cancelStopsARowEraseBetweenSectors();
    void portClosedUnderAnEraseStopsItWithTheLossMessage();
    void closingTheProgramMidOperationAsksFirst_data();
    void closingTheProgramMidOperationAsksFirst();
    void everySlotHasItsOwnSectorsButtonAndMenuItem();
    void sizeLimits_data();
    void sizeLimits();
    void sampleConversion_data();
    void sampleConversion();
    void rowEraseControlsAndRuleAreInSetUpMode();

    void rowEraseFramesAndSpacing_data();
    void rowEraseFramesAndSpacing();
    void eraseAllAsksThenClosesAndErases_data();
    void eraseAllAsksThenClosesAndErases();

    void bank1HumRequestsWithoutAddressAndWaitsWithButtonOff();
    void bank1Swing2AsksStraightAfterItsRequest();
    void oneSectorButtonsRefuseABigFileThatHumAccepts();
    void beforeAnySelectionEverySlotRefuses();
    void menuItemsWriteTheirSlotWithoutRequest_data();
    void menuItemsWriteTheirSlotWithoutRequest();

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

    void deviceLossDuringRowEraseStopsIt();
    void deviceLossDuringUploadStopsIt();

private:
    QString select(const QString& name, const QByteArray& content);
    QLineEdit* skipField(const char* name);
    QList<ScriptedPort::Sent> framesFrom(qsizetype first) const;
    static QStringList runningTimers();
    std::unique_ptr<SetupWindowFixture> f;
    QString folder;
};

void SoundSlotsTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    folder = f->folder.path() + "/sounds";
    QDir().mkpath(folder);
    setupWindow->sounds()->browser()->soundFolder = folder;
    f->setPortList({"/dev/ttyACM0"});
    f->openPort();
    f->port->clearSent();
    RICHIESTA = true;
}

QString SoundSlotsTest::select(const QString& name, const QByteArray& content)
{
    QFile file(folder + "/" + name);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    file.close();
    setupWindow->sounds()->browser()->fillFileList();
    const auto items = setupWindow->sounds()->browser()->soundFileList->findItems(name, Qt::MatchExactly);
    setupWindow->sounds()->browser()->soundFileList->setCurrentItem(items.value(0));
    return folder + "/" + name;
}

// The browser owns the skip fields; when it is not built in, a stand-in field
// of the same name serves.
QLineEdit* SoundSlotsTest::skipField(const char* name)
{
    auto* field = setupWindow->findChild<QLineEdit*>(name);
    if (!field) {
        field = new QLineEdit("0", setupWindow);
        field->setObjectName(name);
    }
    return field;
}

QList<ScriptedPort::Sent> SoundSlotsTest::framesFrom(qsizetype first) const
{
    return f->port->sent.mid(first);
}

QStringList SoundSlotsTest::runningTimers()
{
    QStringList running;
    for (const WindowTimer* t : setupWindow->findChildren<WindowTimer*>())
        if (t->Enabled())
            running << t->objectName();
    return running;
}

// ---- The table -------------------------------------------------------------

void SoundSlotsTest::slotRowsAsTheBoardKnowsThem_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<uint>("address");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("accessible");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("menuCaption");
    QTest::addColumn<QString>("menuWord");
    QTest::addColumn<int>("pause");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("bank 1 power on waits 2 s") << "BANK1_ON" << 0x000000u << "On"
                                               << "bank1PowerOnButton"
                                               << "Bank 1 Power On"
                                               << "Power On"
                                               << "bank1PowerOnItem"
                                               << "Power On"
                                               << "Power On" << 2000 << frame("23 52 00 00 00 00 0A");
    QTest::newRow("bank 1 power off, menu caption with a blank")
        << "BANK1_OFF" << 0x010000u << "Off"
        << "bank1PowerOffButton"
        << "Bank 1 Power Off"
        << "Power Off"
        << "bank1PowerOffItem"
        << "Power Off "
        << "Power Off" << 1000 << frame("23 52 00 00 01 00 0A");
    QTest::newRow("bank 1 hum asks with O and no address")
        << "BANK1_GUARD" << 0x020000u << "Hum"
        << "bank1HumButton"
        << "Bank 1 Hum"
        << "Hum"
        << "bank1HumItem"
        << "Background"
        << "Background" << 3000 << frame("23 4F 00 00 00 00 0A");
    QTest::newRow("bank 1 swing 2 has no pause") << "BANK1_SWING_2" << 0x050000u << "2"
                                                 << "bank1Swing2Button"
                                                 << "Bank 1 Swing 2"
                                                 << "SWING"
                                                 << "bank1Swing2Item"
                                                 << "Swing 2 "
                                                 << "SWING" << 0 << frame("23 52 00 00 05 00 0A");
    QTest::newRow("bank 1 swing 3") << "BANK1_SWING_3" << 0x060000u << "3"
                                    << "bank1Swing3Button"
                                    << "Bank 1 Swing 3"
                                    << "SWING"
                                    << "bank1Swing3Item"
                                    << "Swing 3"
                                    << "SWING" << 1000 << frame("23 52 00 00 06 00 0A");
    QTest::newRow("bank 1 clash 11") << "BANK1_CLASH_5" << 0x0E0000u << "11"
                                     << "bank1Clash5Button"
                                     << "Bank 1 Clash 11"
                                     << "CLASH 5"
                                     << "bank1Clash5Item"
                                     << "Clash 11"
                                     << "CLASH" << 1000 << frame("23 52 00 00 0E 00 0A");
    QTest::newRow("bank 2 hum asks with S") << "BANK2_GUARD" << 0x160000u << "Hum"
                                            << "bank2HumButton"
                                            << "Bank 2 Hum"
                                            << "Hum"
                                            << "bank2HumItem"
                                            << "Background"
                                            << "Background" << 3000 << frame("23 53 00 00 16 00 0A");
    QTest::newRow("bank 2 clash 8 in sector 31") << "BANK2_CLASH_2" << 0x1F0000u << "8"
                                                 << "bank2Clash2Button"
                                                 << "Bank 2 Clash 8"
                                                 << "CLASH 2"
                                                 << "bank2Clash2Item"
                                                 << "Clash 8"
                                                 << "CLASH" << 1000 << frame("23 52 00 00 1F 00 0A");
    QTest::newRow("bank 2 clash 11 of the mended menu item")
        << "BANK2_CLASH_5" << 0x220000u << "11"
        << "bank2Clash5Button"
        << "Bank 2 Clash 11"
        << "CLASH 5"
        << "bank2Clash5Item"
        << "Clash 11"
        << "CLASH" << 1000 << frame("23 52 00 00 22 00 0A");
    QTest::newRow("bank 2 power clash 16") << "BANK2_CLASH_10" << 0x270000u << "16"
                                           << "bank2PowerClash4Button"
                                           << "Bank 2 Power Clash 16"
                                           << "Power Clash 16"
                                           << "bank2PowerClash4Item"
                                           << "Power Clash 16"
                                           << "POWER CLASH" << 1000 << frame("23 52 00 00 27 00 0A");
    QTest::newRow("bank 3 power on") << "BANK3_ON" << 0x280000u << "On"
                                     << "bank3PowerOnButton"
                                     << "Bank 3 Power On"
                                     << "Power On"
                                     << "bank3PowerOnItem"
                                     << "Power On"
                                     << "Power ON" << 1000 << frame("23 52 00 00 28 00 0A");
    QTest::newRow("bank 3 hum asks with T") << "BANK3_GUARD" << 0x2A0000u << "Hum"
                                            << "bank3HumButton"
                                            << "Bank 3 Hum"
                                            << "Hum"
                                            << "bank3HumItem"
                                            << "Background"
                                            << "Background" << 3000 << frame("23 54 00 00 2A 00 0A");
    QTest::newRow("bank 3 last slot") << "BANK3_CLASH_10" << 0x3B0000u << "16"
                                      << "bank3PowerClash4Button"
                                      << "Bank 3 Power Clash 16"
                                      << "Power Clash 16"
                                      << "bank3PowerClash4Item"
                                      << "Power Clash 16"
                                      << "POWER CLASH" << 1000 << frame("23 52 00 00 3B 00 0A");
}

void SoundSlotsTest::slotRowsAsTheBoardKnowsThem()
{
    QFETCH(QString, handler);
    const SoundSlot* s = slotNamed(handler);
    QVERIFY(s);
    QTEST(s->address, "address");
    QTEST(s->caption, "caption");
    QTEST(s->button, "button");
    QTEST(s->accessibleName, "accessible");
    QTEST(s->buttonWord, "word");
    QTEST(s->menu.name, "menu");
    QTEST(s->menu.caption, "menuCaption");
    QTEST(s->menu.word, "menuWord");
    QTEST(s->requestPauseMs, "pause");
    QTEST(s->requestFrame(), "request");
    // The controls are the table's.
    auto* b = setupWindow->findChild<QPushButton*>(s->button);
    QVERIFY(b);
    QCOMPARE(b->text(), s->caption);
    QCOMPARE(b->accessibleName(), s->accessibleName);
    auto* item = setupWindow->findChild<QAction*>(s->menu.name);
    QVERIFY(item);
    QCOMPARE(item->text(), s->menu.caption);
}

void SoundSlotsTest::everySlotHasItsOwnSectorsButtonAndMenuItem()
{
    const QList<SoundSlot>& all = SoundSlots();
    QCOMPARE(all.size(), 57);
    QSet<quint32> sectors;
    QSet<QString> names;
    for (const SoundSlot& s : all) {
        QCOMPARE(s.address % 0x10000, 0u);
        for (int i = 0; i < s.sectors; ++i)
            sectors.insert(s.address / 0x10000 + i);
        names << s.button << s.handler << s.menu.name;
        QVERIFY(s.address + s.sectors * 0x10000u <= 0x3C0000u);
    }
    QCOMPARE(sectors.size(), 60); // sectors 0 to 59, each in exactly one slot
    QCOMPARE(names.size(), 3 * 57);
    QCOMPARE(setupWindow->sounds()->slotControls()->slotMenu->actions().size(), 3);
    QCOMPARE(setupWindow->findChild<QMenu*>("bank2Menu")->title(), QString("Bank2 Sounds"));
    const QStringList bank2 = [] {
        QStringList titles;
        for (QAction* a : setupWindow->findChild<QMenu*>("bank2Menu")->actions())
            titles << a->text();
        return titles;
    }();
    QCOMPARE(bank2, (QStringList{"Power On", "Power Off", "Background", "Swing", "Clash", "Power Clash "}));
}

void SoundSlotsTest::sizeLimits_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("fits");
    QTest::newRow("65000 bytes refused for a swing") << "BANK1_SWING_1" << 65000 << false;
    QTest::newRow("64999 bytes accepted for power on") << "BANK2_ON" << 64999 << true;
    QTest::newRow("131000 bytes refused for the hum") << "BANK3_GUARD" << 131000 << false;
    QTest::newRow("130999 bytes accepted for the hum") << "BANK1_GUARD" << 130999 << true;
    QTest::newRow("100000 bytes refused for a power clash") << "BANK3_CLASH_7" << 100000 << false;
    QTest::newRow("100000 bytes accepted for the hum") << "BANK2_GUARD" << 100000 << true;
}

void SoundSlotsTest::sizeLimits()
{
    QFETCH(QString, handler);
    QFETCH(int, bytes);
    QTEST(FitsSlot(bytes, *slotNamed(handler)), "fits");
}

void SoundSlotsTest::sampleConversion_data()
{
    QTest::addColumn<uint>("sample");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("0x0000") << 0x0000u << frame("00 80");
    QTest::newRow("0x0001") << 0x0001u << frame("01 80");
    QTest::newRow("0x7FFF stands in as 0xFFFE") << 0x7FFFu << frame("FE FF");
    QTest::newRow("0x8000") << 0x8000u << frame("00 00");
    QTest::newRow("0xFFFF") << 0xFFFFu << frame("FF 7F");
    QTest::newRow("0x1234") << 0x1234u << frame("34 92");
}

void SoundSlotsTest::sampleConversion()
{
    QFETCH(uint, sample);
    QTEST(SlotBytes(wav({quint16(sample)}), {}), "sent");
}

void SoundSlotsTest::rowEraseControlsAndRuleAreInSetUpMode()
{
    QCOMPARE(setupWindow->sounds()->slotControls()->eraseButtons.size(), 12);
    auto* erase = setupWindow->findChild<QPushButton*>("bank2SwingEraseButton");
    QVERIFY(erase);
    QVERIFY(erase->text().isEmpty());
    QVERIFY(!erase->icon().isNull());
    QCOMPARE(erase->accessibleName(), QString("Erase bank 2 Swing sounds"));
    QCOMPARE(erase->parentWidget()->objectName(), QString("bank2SwingRow"));
    QCOMPARE(setupWindow->findChild<QPushButton*>("bank1HumButton")->parentWidget()->objectName(),
             QString("bank1GuardRow"));
    QCOMPARE(setupWindow->sounds()->slotControls()->soundFileRule->text(),
             QString("Sound files must be wav format 22050 Hz - 16 bit. Max size 64 kB (128 kB - Hum only)\n"
                     "Other formats (other WAV, FLAC, OGG, MP3, AIFF) are converted to it before upload."));
    QCOMPARE(setupWindow->sounds()->slotControls()->eraseAllButton->text(), QString("Erase All Sounds"));
    QVERIFY(!setupWindow->sounds()->slotControls()->eraseAllButton->isEnabled());
    QVERIFY(!erase->isEnabledTo(setupWindow));
    setupWindow->board()->setSetUpMode(true);
    QVERIFY(setupWindow->sounds()->slotControls()->eraseAllButton->isEnabled());
    QVERIFY(erase->isEnabledTo(setupWindow));
    setupWindow->board()->setSetUpMode(false);
    QVERIFY(!setupWindow->sounds()->slotControls()->eraseAllButton->isEnabled());
}

// ---- Erasing -------------------------------------------------------------------

void SoundSlotsTest::rowEraseFramesAndSpacing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("sectors"); // the address's high byte, frame by frame
    QTest::newRow("bank 2 Swing") << "bank2SwingEraseButton" << frame("18 18 19 19 1A 1A 1B 1B 1C 1C 1D 1D");
    QTest::newRow("bank 1 Guard: on, off and both hum sectors")
        << "bank1GuardEraseButton" << frame("00 00 01 01 02 02 03 03");
    QTest::newRow("bank 3 Power Clash") << "bank3PowerClashEraseButton" << frame("38 38 39 39 3A 3A 3B 3B");
    QTest::newRow("bank 1 Clash") << "bank1ClashEraseButton" << frame("0A 0A 0B 0B 0C 0C 0D 0D 0E 0E 0F 0F");
}

void SoundSlotsTest::rowEraseFramesAndSpacing()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, sectors);
    setupWindow->board()->setSetUpMode(true);
    const qint64 start = f->sim.clock.now();
    setupWindow->findChild<QPushButton*>(button)->click();
    QVERIFY(setupWindow->board()->link()->busy());
    QVERIFY(!setupWindow->parameters()->writeParametersButton->isEnabled());
    f->sim.clock.advance(1500 * sectors.size() / 2 - 1);
    QVERIFY(setupWindow->board()->link()->busy()); // until 1000 ms after the last frame
    f->sim.clock.advance(1);
    QVERIFY(!setupWindow->board()->link()->busy());
    QVERIFY(setupWindow->parameters()->writeParametersButton->isEnabled());

    const QList<ScriptedPort::Sent> sent = f->port->sent;
    QCOMPARE(sent.size(), sectors.size());
    qint64 at = start;
    for (int i = 0; i < sent.size(); ++i) {
        QByteArray expected = frame("23 45 00 00 00 00 0A");
        expected[4] = sectors[i];
        QCOMPARE(sent[i].bytes.toHex(' '), expected.toHex(' '));
        QCOMPARE(sent[i].at - at, i == 0 ? 0 : (i % 2 ? 500 : 1000));
        at = sent[i].at;
    }
    QVERIFY(setupWindow->board()->expectingReply());
    QVERIFY(f->dialogs.questions.isEmpty());
}

void SoundSlotsTest::eraseAllAsksThenClosesAndErases_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::newRow("No sends nothing") << false << QList<QByteArray>{};
    QTest::newRow("Yes: close, then erase all 100 ms later")
        << true << QList<QByteArray>{frame("23 43 00 00 00 00 0A"), frame("23 44 00 00 00 00 0A")};
}

void SoundSlotsTest::eraseAllAsksThenClosesAndErases()
{
    QFETCH(bool, yes);
    setupWindow->board()->setSetUpMode(true);
    f->dialogs.answers.enqueue(yes);
    setupWindow->sounds()->slotControls()->eraseAllButton->click();
    QCOMPARE(f->dialogs.questions, QStringList{"Do you want to erase all sound memory ? "});
    f->sim.clock.advance(1000);
    QTEST(f->sentFrames(), "frames");
    if (yes)
        QCOMPARE(f->port->sent[1].at - f->port->sent[0].at, 100);
    QVERIFY(!setupWindow->board()->link()->busy());
}

// ---- Slot commands -------------------------------------------------------------

void SoundSlotsTest::bank1HumRequestsWithoutAddressAndWaitsWithButtonOff()
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

void SoundSlotsTest::bank1Swing2AsksStraightAfterItsRequest()
{
    const QString path = select("swing.wav", wav(ramp(4)));
    f->dialogs.answers.enqueue(false);
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Swing, 2));
    QCOMPARE(f->sentFrames(), QList<QByteArray>{frame("23 52 00 00 05 00 0A")});
    QVERIFY(f->sim.clock.pauses.isEmpty());
    QCOMPARE(f->dialogs.questions,
             QStringList{"Do you want to load the file " + path + " on Kordex as SWING sound ?  "});
}

void SoundSlotsTest::oneSectorButtonsRefuseABigFileThatHumAccepts()
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

void SoundSlotsTest::beforeAnySelectionEverySlotRefuses()
{
    for (int i = 0; i < SoundSlots().size(); ++i)
        setupWindow->sounds()->slotControls()->slotButtons[i]->click(); // disabled buttons ignore clicks; the handler does not
    for (int i = 0; i < SoundSlots().size(); ++i)
        setupWindow->sounds()->slotControls()->uploadToSlot(i);
    QCOMPARE(f->dialogs.messages.size(), 57);
    QCOMPARE(f->dialogs.messages.first(), "The size of selected file " + SIZE_64K);
    QCOMPARE(f->dialogs.messages[2],
             QString("The size of selected file  is more than 128 Kbytes.  Uploaded deleted."));
    QVERIFY(f->port->sent.isEmpty());
}

void SoundSlotsTest::menuItemsWriteTheirSlotWithoutRequest_data()
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

void SoundSlotsTest::menuItemsWriteTheirSlotWithoutRequest()
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

// ---- Upload --------------------------------------------------------------------

void SoundSlotsTest::uploadOfOneSampleFrameBySpacing()
{
    select("one.wav", wav({0x1234}));
    setupWindow->sounds()->slotControls()->uploadToSlot(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    QCOMPARE(f->sim.clock.pauses.size(), 1);
    const qint64 asked = f->sim.clock.now();
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->windowTitle(), QString("Upload into Bank 1 Swing 1"));
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
    QCOMPARE(waitDialog->message->text(), QString("Upload into Bank 1 Swing 1... 2 of 2 sample bytes"));
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

void SoundSlotsTest::humUploadErasesBothSectors()
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

void SoundSlotsTest::headerOnlyFileSendsNoSample_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("exactly the 44-byte header") << BoardFormatHeader();
    QTest::newRow("header and an odd byte") << BoardFormatHeader() + 'x';
}

void SoundSlotsTest::headerOnlyFileSendsNoSample()
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
    QVERIFY(f->dialogs.messages.isEmpty());
}

void SoundSlotsTest::skipCountsLeaveExactlyTheirSamples_data()
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

void SoundSlotsTest::skipCountsLeaveExactlyTheirSamples()
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

void SoundSlotsTest::badSkipFieldsRefuseBeforeAnythingIsSent_data()
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

void SoundSlotsTest::badSkipFieldsRefuseBeforeAnythingIsSent()
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

void SoundSlotsTest::fileThatVanishedOrGrewIsNotErasedFor()
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

void SoundSlotsTest::streamFollowsTheWireAndDialogCounts()
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

void SoundSlotsTest::reopeningTheWindowLeavesTheUploadAlone()
{
    f->port->setBaud(115200);
    setupWindow->show();
    setupWindow->ports()->connectionCheck->stop();           // no connection check: the board is scripted
    setupWindow->sounds()->browser()->soundFolder = folder;    // showing the window points the browser elsewhere
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

void SoundSlotsTest::nothingRetargetsARunningUpload_data()
{
    QTest::addColumn<bool>("menu");
    QTest::addColumn<int>("slot");
    QTest::newRow("menu item Bank3 Sounds, Power Clash 16")
        << true << SlotIndex(3, SlotKind::PowerClash, 4); // 0x3B0000
    QTest::newRow("slot button BANK3_CLASH_10") << false << SlotIndex(3, SlotKind::PowerClash, 4);
    QTest::newRow("slot button of the same slot") << false << SlotIndex(1, SlotKind::Swing, 1);
}

void SoundSlotsTest::nothingRetargetsARunningUpload()
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

void SoundSlotsTest::cancelStopsTheStreamAndSaysTheSlotIsPartial()
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
    QCOMPARE(
        f->dialogs.messages,
        QStringList{QString("The upload into Bank 1 Swing 1 was stopped after %1 of 40000 sample bytes: the "
                            "slot now holds only part of the sound. Upload it again.")
                        .arg(streamed)});
}

// ---- Device loss ---------------------------------------------------------------

void SoundSlotsTest::deviceLossDuringRowEraseStopsIt()
{
    setupWindow->board()->setSetUpMode(true);
    setupWindow->sounds()->slotControls()->eraseRow(Sound::SoundRow::Swing, 1);
    f->sim.clock.advance(2000); // frames at 0, 500, 1500, 2000
    f->port->vanish();
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(
        f->dialogs.messages[0].startsWith("Erase bank 2 Swing sounds stopped after 4 of 12 erase frames: "
                                          "the connection to /dev/ttyACM0 was lost."),
        qPrintable(f->dialogs.messages[0]));
    f->sim.clock.advance(20000);
    QCOMPARE(f->port->sent.size(), 4);
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(runningTimers(), QStringList());
}

void SoundSlotsTest::deviceLossDuringUploadStopsIt()
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

TAVRIN_TEST_MAIN(SoundSlotsTest)
#include "tst_sound_slots.moc"

void SoundSlotsTest::cancelStopsARowEraseBetweenSectors()
{
    setupWindow->board()->setSetUpMode(true);
    setupWindow->findChild<QPushButton*>("bank2SwingEraseButton")->click(); // bank 2 Swing: sectors 0x18 to 0x1D
    f->sim.clock.advance(600); // inside the first sector: its second frame is due at 500 ms
    waitDialog->cancelButton->click();
    QCOMPARE(f->dialogs.questions.last(), QString("Stop \"Erase bank 2 Swing sounds\" after the sector being erased?"));
    QVERIFY(setupWindow->board()->link()->busy()); // the sector being erased gets its 1000 ms
    f->sim.clock.advance(1000);
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{frame("23 45 00 00 18 00 0A"), frame("23 45 00 00 18 00 0A")}));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Erase bank 2 Swing sounds was stopped after 1 of 6 sectors; the other sectors of the row "
                         "keep what they held."});
    f->sim.clock.advance(10000);
    QCOMPARE(f->sentFrames().size(), 2);
}

void SoundSlotsTest::closingTheProgramMidOperationAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("No: the erase goes on") << false;
    QTest::newRow("Yes: the program ends") << true;
}

void SoundSlotsTest::closingTheProgramMidOperationAsksFirst()
{
    QFETCH(bool, answer);
    mainWindow->show();
    setupWindow->board()->setSetUpMode(true);
    setupWindow->findChild<QPushButton*>("bank1GuardEraseButton")->click(); // bank 1 Guard, 8 frames
    f->sim.clock.advance(1000); // the first sector's two frames, 500 ms apart
    f->dialogs.answers.enqueue(answer);
    mainWindow->close();
    QCOMPARE(f->dialogs.questions.last(),
             QString("Erase bank 1 Guard sounds is running (2 of 8 erase frames done). Closing now leaves the rest "
                     "undone. Close anyway?"));
    QCOMPARE(mainWindow->isVisible(), !answer);
    if (!answer) {
        f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, 20000);
        QCOMPARE(f->sentFrames().size(), 8);
    }
}

void SoundSlotsTest::portClosedUnderAnEraseStopsItWithTheLossMessage()
{
    setupWindow->board()->setSetUpMode(true);
    setupWindow->sounds()->slotControls()->eraseRow(Sound::SoundRow::Swing, 1);
    f->sim.clock.advance(600); // frames at 0 and 500
    f->port->Close();          // whatever closed it, the next frame has nowhere to go
    f->sim.clock.advance(20000);
    QCOMPARE(f->port->sent.size(), 2);
    QCOMPARE(f->dialogs.messages,
             QStringList{"Erase bank 2 Swing sounds stopped after 2 of 12 erase frames: the connection to "
                         "/dev/ttyACM0 was lost.\nPlug it in again, choose the port and press \"Open \"."});
    QVERIFY(!setupWindow->board()->link()->busy());
}
