// Sound slots on simulated time: the slot table against literal rows, the
// controls built from it and where the window places them, the size limits
// and the sample conversion.
#include "Controls.h"
#include "SoundSlotTest.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/SlotMap.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>

using namespace Sound;
using namespace SlotScript;

namespace {
const SoundSlot* slotNamed(const QString& button)
{
    for (const SoundSlot& s : SoundSlots())
        if (s.button == button)
            return &s;
    return nullptr;
}
} // namespace

class SoundSlotsTest : public QObject, private SoundSlotTest {
    Q_OBJECT
private slots:
    void init() { startWindows(); }
    void cleanup() { stopWindows(); }

    void slotRowsAsTheBoardKnowsThem_data();
    void slotRowsAsTheBoardKnowsThem();
    void everySlotHasItsOwnSectorsButtonAndMenuItem();
    void sizeLimits_data();
    void sizeLimits();
    void sampleConversion_data();
    void sampleConversion();
    void rowEraseControlsAndRuleAreInSetUpMode();
    void rowWidgetsEndTheirRow_data();
    void rowWidgetsEndTheirRow();
    void actionRowAboveTheRows();
    void soundActionsFollowSetUpMode_data();
    void soundActionsFollowSetUpMode();
};

// ---- The table -------------------------------------------------------------

void SoundSlotsTest::slotRowsAsTheBoardKnowsThem_data()
{
    QTest::addColumn<QString>("button");
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
    QTest::newRow("bank 1 power on waits 2 s") << "bank1PowerOnButton" << 0x000000u << "On"
                                               << "bank1PowerOnButton"
                                               << "Bank 1 Power On"
                                               << "Power On"
                                               << "bank1PowerOnItem"
                                               << "Power On"
                                               << "Power On" << 2000 << frame("23 52 00 00 00 00 0A");
    QTest::newRow("bank 1 power off, menu caption with a blank")
        << "bank1PowerOffButton" << 0x010000u << "Off"
        << "bank1PowerOffButton"
        << "Bank 1 Power Off"
        << "Power Off"
        << "bank1PowerOffItem"
        << "Power Off "
        << "Power Off" << 1000 << frame("23 52 00 00 01 00 0A");
    QTest::newRow("bank 1 hum asks with O and no address")
        << "bank1HumButton" << 0x020000u << "Hum"
        << "bank1HumButton"
        << "Bank 1 Hum"
        << "Hum"
        << "bank1HumItem"
        << "Background"
        << "Background" << 3000 << frame("23 4F 00 00 00 00 0A");
    QTest::newRow("bank 1 swing 2 has no pause") << "bank1Swing2Button" << 0x050000u << "2"
                                                 << "bank1Swing2Button"
                                                 << "Bank 1 Swing 2"
                                                 << "SWING"
                                                 << "bank1Swing2Item"
                                                 << "Swing 2 "
                                                 << "SWING" << 0 << frame("23 52 00 00 05 00 0A");
    QTest::newRow("bank 1 swing 3") << "bank1Swing3Button" << 0x060000u << "3"
                                    << "bank1Swing3Button"
                                    << "Bank 1 Swing 3"
                                    << "SWING"
                                    << "bank1Swing3Item"
                                    << "Swing 3"
                                    << "SWING" << 1000 << frame("23 52 00 00 06 00 0A");
    QTest::newRow("bank 1 clash 11") << "bank1Clash5Button" << 0x0E0000u << "11"
                                     << "bank1Clash5Button"
                                     << "Bank 1 Clash 11"
                                     << "CLASH 5"
                                     << "bank1Clash5Item"
                                     << "Clash 11"
                                     << "CLASH" << 1000 << frame("23 52 00 00 0E 00 0A");
    QTest::newRow("bank 2 hum asks with S") << "bank2HumButton" << 0x160000u << "Hum"
                                            << "bank2HumButton"
                                            << "Bank 2 Hum"
                                            << "Hum"
                                            << "bank2HumItem"
                                            << "Background"
                                            << "Background" << 3000 << frame("23 53 00 00 16 00 0A");
    QTest::newRow("bank 2 clash 8 in sector 31") << "bank2Clash2Button" << 0x1F0000u << "8"
                                                 << "bank2Clash2Button"
                                                 << "Bank 2 Clash 8"
                                                 << "CLASH 2"
                                                 << "bank2Clash2Item"
                                                 << "Clash 8"
                                                 << "CLASH" << 1000 << frame("23 52 00 00 1F 00 0A");
    QTest::newRow("bank 2 clash 11 of the mended menu item")
        << "bank2Clash5Button" << 0x220000u << "11"
        << "bank2Clash5Button"
        << "Bank 2 Clash 11"
        << "CLASH 5"
        << "bank2Clash5Item"
        << "Clash 11"
        << "CLASH" << 1000 << frame("23 52 00 00 22 00 0A");
    QTest::newRow("bank 2 power clash 16") << "bank2PowerClash4Button" << 0x270000u << "16"
                                           << "bank2PowerClash4Button"
                                           << "Bank 2 Power Clash 16"
                                           << "Power Clash 16"
                                           << "bank2PowerClash4Item"
                                           << "Power Clash 16"
                                           << "POWER CLASH" << 1000 << frame("23 52 00 00 27 00 0A");
    QTest::newRow("bank 3 power on") << "bank3PowerOnButton" << 0x280000u << "On"
                                     << "bank3PowerOnButton"
                                     << "Bank 3 Power On"
                                     << "Power On"
                                     << "bank3PowerOnItem"
                                     << "Power On"
                                     << "Power ON" << 1000 << frame("23 52 00 00 28 00 0A");
    QTest::newRow("bank 3 hum asks with T") << "bank3HumButton" << 0x2A0000u << "Hum"
                                            << "bank3HumButton"
                                            << "Bank 3 Hum"
                                            << "Hum"
                                            << "bank3HumItem"
                                            << "Background"
                                            << "Background" << 3000 << frame("23 54 00 00 2A 00 0A");
    QTest::newRow("bank 3 last slot") << "bank3PowerClash4Button" << 0x3B0000u << "16"
                                      << "bank3PowerClash4Button"
                                      << "Bank 3 Power Clash 16"
                                      << "Power Clash 16"
                                      << "bank3PowerClash4Item"
                                      << "Power Clash 16"
                                      << "POWER CLASH" << 1000 << frame("23 52 00 00 3B 00 0A");
}

void SoundSlotsTest::slotRowsAsTheBoardKnowsThem()
{
    QFETCH(QString, button);
    const SoundSlot* s = slotNamed(button);
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
        names << s.button << s.menu.name;
        QVERIFY(s.address + s.sectors * 0x10000u <= 0x3C0000u);
    }
    QCOMPARE(sectors.size(), 60); // sectors 0 to 59, each in exactly one slot
    QCOMPARE(names.size(), 2 * 57); // a button and a menu item each
    QCOMPARE(control<QMenu>(setupWindow, "slotMenu")->actions().size(), 3);
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
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("fits");
    QTest::newRow("65000 bytes refused for a swing") << "bank1Swing1Button" << 65000 << false;
    QTest::newRow("64999 bytes accepted for power on") << "bank2PowerOnButton" << 64999 << true;
    QTest::newRow("131000 bytes refused for the hum") << "bank3HumButton" << 131000 << false;
    QTest::newRow("130999 bytes accepted for the hum") << "bank1HumButton" << 130999 << true;
    QTest::newRow("100000 bytes refused for a power clash") << "bank3PowerClash1Button" << 100000 << false;
    QTest::newRow("100000 bytes accepted for the hum") << "bank2HumButton" << 100000 << true;
}

void SoundSlotsTest::sizeLimits()
{
    QFETCH(QString, button);
    QFETCH(int, bytes);
    QTEST(FitsSlot(bytes, *slotNamed(button)), "fits");
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
    QCOMPARE(
        setupWindow->findChildren<QPushButton*>(QRegularExpression("^bank[123][A-Za-z]+EraseButton$")).size(),
        12);
    auto* erase = setupWindow->findChild<QPushButton*>("bank2SwingEraseButton");
    QVERIFY(erase);
    QVERIFY(erase->text().isEmpty());
    QVERIFY(!erase->icon().isNull());
    QCOMPARE(erase->accessibleName(), QString("Erase bank 2 Swing sounds"));
    QCOMPARE(erase->parentWidget()->objectName(), QString("bank2SwingRow"));
    QCOMPARE(setupWindow->findChild<QPushButton*>("bank1HumButton")->parentWidget()->objectName(),
             QString("bank1GuardRow"));
    QCOMPARE(control<QLabel>(setupWindow, "soundFileRule")->text(),
             QString("Sound files must be wav format 22050 Hz - 16 bit. Max size 64 kB (128 kB - Hum only)\n"
                     "Other formats (other WAV, FLAC, OGG, MP3, AIFF) are converted to it before upload."));
    QCOMPARE(control<QPushButton>(setupWindow, "eraseAllButton")->text(), QString("Erase All Sounds"));
    QVERIFY(!control<QPushButton>(setupWindow, "eraseAllButton")->isEnabled());
    QVERIFY(!erase->isEnabledTo(setupWindow));
    setupWindow->board()->setSetUpMode(true);
    QVERIFY(control<QPushButton>(setupWindow, "eraseAllButton")->isEnabled());
    QVERIFY(erase->isEnabledTo(setupWindow));
    setupWindow->board()->setSetUpMode(false);
    QVERIFY(!control<QPushButton>(setupWindow, "eraseAllButton")->isEnabled());
}

// ---- Where the window places the sound controls ----------------------------

void SoundSlotsTest::rowWidgetsEndTheirRow_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QStringList>("widgets"); // erase button's accessible name, then slot captions
    QTest::newRow("bank 1 Guard: on, off, hum")
        << 0 << "Bank 1 Guard" << QStringList{"Erase bank 1 Guard sounds", "On", "Off", "Hum"};
    QTest::newRow("bank 1 Clash: 7 to 12")
        << 2 << "Bank 1 Clash" << QStringList{"Erase bank 1 Clash sounds", "7", "8", "9", "10", "11", "12"};
    QTest::newRow("bank 2 Swing: 1 to 6")
        << 5 << "Bank 2 Swing" << QStringList{"Erase bank 2 Swing sounds", "1", "2", "3", "4", "5", "6"};
    QTest::newRow("bank 3 Guard") << 8 << "Bank 3 Guard" << QStringList{"Erase bank 3 Guard sounds", "On", "Off", "Hum"};
    QTest::newRow("bank 3 Power Clash: 13 to 16")
        << 11 << "Bank 3 Power Clash" << QStringList{"Erase bank 3 Power Clash sounds", "13", "14", "15", "16"};
}

void SoundSlotsTest::rowWidgetsEndTheirRow()
{
    QFETCH(int, row);
    QFETCH(QStringList, widgets);
    const QList<QWidget*> placed = setupWindow->sounds()->slotControls()->rowWidgets(row);
    QStringList shown;
    for (QWidget* w : placed) {
        const auto* b = qobject_cast<QPushButton*>(w);
        QVERIFY(b);
        shown << (b->text().isEmpty() ? b->accessibleName() : b->text());
        QTEST(b->parentWidget()->accessibleName(), "panel");
    }
    QCOMPARE(shown, widgets);
    // Last in the row panel, after its parameter edits, in the same order.
    QLayout* cells = placed.first()->parentWidget()->layout();
    for (int i = 0; i < placed.size(); ++i)
        QCOMPARE(cells->itemAt(cells->count() - placed.size() + i)->widget(), placed[i]);
}

void SoundSlotsTest::actionRowAboveTheRows()
{
    QWidget* actions = setupWindow->sounds()->slotControls()->actionRow();
    auto* cells = qobject_cast<QHBoxLayout*>(actions->layout());
    QVERIFY(cells);
    QCOMPARE(cells->contentsMargins(), QMargins(0, 0, 0, 0));
    QStringList names;
    QList<int> stretches;
    for (int i = 0; i < cells->count(); ++i) {
        names << cells->itemAt(i)->widget()->objectName();
        stretches << cells->stretch(i);
    }
    QCOMPARE(names, (QStringList{"eraseAllButton", "importFontButton", "slotContentsButton", "journalNote", "soundFileRule"}));
    QCOMPARE(stretches, (QList<int>{0, 0, 0, 1, 1}));
    // Second in the parameter group, right below "Read Parameters" and its neighbours.
    auto* group = setupWindow->findChild<QGroupBox*>("parameterGroup");
    QCOMPARE(group->layout()->itemAt(1)->widget(), actions);
    QCOMPARE(group->layout()->itemAt(0)->layout()->itemAt(0)->widget()->objectName(), QString("readParametersButton"));
}

void SoundSlotsTest::soundActionsFollowSetUpMode_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("setUpOnly");
    QTest::newRow("Erase All Sounds sends") << "eraseAllButton" << true;
    QTest::newRow("Import font... sends") << "importFontButton" << true;
    QTest::newRow("Slot contents only reads the journal") << "slotContentsButton" << false;
}

void SoundSlotsTest::soundActionsFollowSetUpMode()
{
    QFETCH(QString, button);
    QFETCH(bool, setUpOnly);
    auto* b = setupWindow->findChild<QPushButton*>(button);
    QVERIFY(b);
    QCOMPARE(b->isEnabled(), !setUpOnly);
    setupWindow->board()->setSetUpMode(true);
    QVERIFY(b->isEnabled());
    setupWindow->board()->setSetUpMode(false);
    QCOMPARE(b->isEnabled(), !setUpOnly);
}

TAVRIN_TEST_MAIN(SoundSlotsTest)
#include "tst_sound_slots.moc"
