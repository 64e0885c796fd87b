#include "sound/SlotMap.h"

#include "comm/Frames.h"
#include "common/Define.h"

namespace Sound {
namespace {

enum Pause { STD, LONG, HUM, NONE };

struct SlotRow {
    int bank;
    SlotKind kind;
    int number;
    const char* button;
    const char* buttonWord;
    struct {
        const char* name;
        const char* caption;
        const char* word;
    } menu;
    Pause pause;
};

// What differs from slot to slot, as the screen and the board know it.
const SlotRow SLOT_ROWS[] = {
    {1, SlotKind::PowerOn, 1, "bank1PowerOnButton", "Power On", {"bank1PowerOnItem", "Power On", "Power On"}, LONG},
    {1, SlotKind::PowerOff, 1, "bank1PowerOffButton", "Power Off", {"bank1PowerOffItem", "Power Off ", "Power Off"}, STD},
    {1, SlotKind::Hum, 1, "bank1HumButton", "Hum", {"bank1HumItem", "Background", "Background"}, HUM},
    {1, SlotKind::Swing, 1, "bank1Swing1Button", "SWING1", {"bank1Swing1Item", "Swing 1 ", "SWING"}, STD},
    {1, SlotKind::Swing, 2, "bank1Swing2Button", "SWING", {"bank1Swing2Item", "Swing 2 ", "SWING"}, NONE},
    {1, SlotKind::Swing, 3, "bank1Swing3Button", "SWING", {"bank1Swing3Item", "Swing 3", "SWING"}, STD},
    {1, SlotKind::Swing, 4, "bank1Swing4Button", "SWING", {"bank1Swing4Item", "Swing 4", "SWING"}, STD},
    {1, SlotKind::Swing, 5, "bank1Swing5Button", "SWING 5", {"bank1Swing5Item", "Swing 5", "SWING"}, STD},
    {1, SlotKind::Swing, 6, "bank1Swing6Button", "SWING 6", {"bank1Swing6Item", "Swing 6", "SWING"}, STD},
    {1, SlotKind::Clash, 1, "bank1Clash1Button", "CLASH", {"bank1Clash1Item", "Clash 7", "CLASH"}, STD},
    {1, SlotKind::Clash, 2, "bank1Clash2Button", "CLASH", {"bank1Clash2Item", "Clash 8", "CLASH"}, STD},
    {1, SlotKind::Clash, 3, "bank1Clash3Button", "CLASH", {"bank1Clash3Item", "Clash 9", "CLASH"}, STD},
    {1, SlotKind::Clash, 4, "bank1Clash4Button", "CLASH 4", {"bank1Clash4Item", "Clash 10", "CLASH"}, STD},
    {1, SlotKind::Clash, 5, "bank1Clash5Button", "CLASH 5", {"bank1Clash5Item", "Clash 11", "CLASH"}, STD},
    {1, SlotKind::Clash, 6, "bank1Clash6Button", "CLASH 6", {"bank1Clash6Item", "Clash 12", "CLASH"}, STD},
    {1,
     SlotKind::PowerClash,
     1,
     "bank1PowerClash1Button",
     "Power Clash 13",
     {"bank1PowerClash1Item", "Power Clash 13", "POWER CLASH"},
     STD},
    {1,
     SlotKind::PowerClash,
     2,
     "bank1PowerClash2Button",
     "Power Clash 14",
     {"bank1PowerClash2Item", "Power Clash 14", "POWER CLASH"},
     STD},
    {1,
     SlotKind::PowerClash,
     3,
     "bank1PowerClash3Button",
     "Power Clash 15",
     {"bank1PowerClash3Item", "Power Clash 15", "POWER CLASH"},
     STD},
    {1,
     SlotKind::PowerClash,
     4,
     "bank1PowerClash4Button",
     "Power Clash 16",
     {"bank1PowerClash4Item", "Power Clash 16", "POWER CLASH"},
     STD},
    {2, SlotKind::PowerOn, 1, "bank2PowerOnButton", "Power On", {"bank2PowerOnItem", "Power On", "PowerON"}, STD},
    {2,
     SlotKind::PowerOff,
     1,
     "bank2PowerOffButton",
     "Power Off",
     {"bank2PowerOffItem", "Power Off", "Power Off"},
     STD},
    {2, SlotKind::Hum, 1, "bank2HumButton", "Hum", {"bank2HumItem", "Background", "Background"}, HUM},
    {2, SlotKind::Swing, 1, "bank2Swing1Button", "Swing 1", {"bank2Swing1Item", "Swing 1", "SWING"}, STD},
    {2, SlotKind::Swing, 2, "bank2Swing2Button", "Swing 2", {"bank2Swing2Item", "Swing 2", "SWING"}, STD},
    {2, SlotKind::Swing, 3, "bank2Swing3Button", "Swing 3", {"bank2Swing3Item", "Swing 3", "SWING"}, STD},
    {2, SlotKind::Swing, 4, "bank2Swing4Button", "Swing 4", {"bank2Swing4Item", "Swing 4", "SWING"}, STD},
    {2, SlotKind::Swing, 5, "bank2Swing5Button", "SWING 5", {"bank2Swing5Item", "Swing 5", "SWING"}, STD},
    {2, SlotKind::Swing, 6, "bank2Swing6Button", "SWING 6", {"bank2Swing6Item", "Swing 6", "SWING"}, STD},
    {2, SlotKind::Clash, 1, "bank2Clash1Button", "CLASH 1", {"bank2Clash1Item", "Clash 7", "CLASH"}, STD},
    {2, SlotKind::Clash, 2, "bank2Clash2Button", "CLASH 2", {"bank2Clash2Item", "Clash 8", "CLASH"}, STD},
    {2, SlotKind::Clash, 3, "bank2Clash3Button", "CLASH 3", {"bank2Clash3Item", "Clash 9", "CLASH"}, STD},
    {2, SlotKind::Clash, 4, "bank2Clash4Button", "CLASH 4", {"bank2Clash4Item", "Clash 10", "CLASH"}, STD},
    {2, SlotKind::Clash, 5, "bank2Clash5Button", "CLASH 5", {"bank2Clash5Item", "Clash 11", "CLASH"}, STD},
    {2, SlotKind::Clash, 6, "bank2Clash6Button", "CLASH 6", {"bank2Clash6Item", "Clash 12", "CLASH"}, STD},
    {2,
     SlotKind::PowerClash,
     1,
     "bank2PowerClash1Button",
     "Power Clash 13",
     {"bank2PowerClash1Item", "Power Clash 13", "POWER CLASH"},
     STD},
    {2,
     SlotKind::PowerClash,
     2,
     "bank2PowerClash2Button",
     "Power Clash 14",
     {"bank2PowerClash2Item", "Power Clash 14", "POWER CLASH"},
     STD},
    {2,
     SlotKind::PowerClash,
     3,
     "bank2PowerClash3Button",
     "Power Clash 15",
     {"bank2PowerClash3Item", "Power Clash 15", "POWER CLASH"},
     STD},
    {2,
     SlotKind::PowerClash,
     4,
     "bank2PowerClash4Button",
     "Power Clash 16",
     {"bank2PowerClash4Item", "Power Clash 16", "POWER CLASH"},
     STD},
    {3, SlotKind::PowerOn, 1, "bank3PowerOnButton", "Power On", {"bank3PowerOnItem", "Power On", "Power ON"}, STD},
    {3, SlotKind::PowerOff, 1, "bank3PowerOffButton", "Power Off", {"bank3PowerOffItem", "Power Off", "Power OFF"}, STD},
    {3, SlotKind::Hum, 1, "bank3HumButton", "Hum", {"bank3HumItem", "Background", "Background"}, HUM},
    {3, SlotKind::Swing, 1, "bank3Swing1Button", "SWING 1", {"bank3Swing1Item", "Swing 1", "SWING"}, STD},
    {3, SlotKind::Swing, 2, "bank3Swing2Button", "SWING 2", {"bank3Swing2Item", "Swing 2", "SWING"}, STD},
    {3, SlotKind::Swing, 3, "bank3Swing3Button", "SWING 3", {"bank3Swing3Item", "Swing 3", "SWING"}, STD},
    {3, SlotKind::Swing, 4, "bank3Swing4Button", "SWING 4", {"bank3Swing4Item", "Swing 4", "SWING"}, STD},
    {3, SlotKind::Swing, 5, "bank3Swing5Button", "SWING 5", {"bank3Swing5Item", "Swing 5", "SWING"}, STD},
    {3, SlotKind::Swing, 6, "bank3Swing6Button", "SWING 6", {"bank3Swing6Item", "Swing 6", "SWING"}, STD},
    {3, SlotKind::Clash, 1, "bank3Clash1Button", "CLASH 1", {"bank3Clash1Item", "Clash 7", "CLASH"}, STD},
    {3, SlotKind::Clash, 2, "bank3Clash2Button", "CLASH 2", {"bank3Clash2Item", "Clash 8", "CLASH"}, STD},
    {3, SlotKind::Clash, 3, "bank3Clash3Button", "CLASH 3", {"bank3Clash3Item", "Clash 9", "CLASH"}, STD},
    {3, SlotKind::Clash, 4, "bank3Clash4Button", "CLASH 4", {"bank3Clash4Item", "Clash 10", "CLASH"}, STD},
    {3, SlotKind::Clash, 5, "bank3Clash5Button", "CLASH 5", {"bank3Clash5Item", "Clash 11", "CLASH"}, STD},
    {3, SlotKind::Clash, 6, "bank3Clash6Button", "CLASH 6", {"bank3Clash6Item", "Clash 12", "CLASH"}, STD},
    {3,
     SlotKind::PowerClash,
     1,
     "bank3PowerClash1Button",
     "Power Clash 13",
     {"bank3PowerClash1Item", "Power Clash 13", "POWER CLASH"},
     STD},
    {3,
     SlotKind::PowerClash,
     2,
     "bank3PowerClash2Button",
     "Power Clash 14",
     {"bank3PowerClash2Item", "Power Clash 14", "POWER CLASH"},
     STD},
    {3,
     SlotKind::PowerClash,
     3,
     "bank3PowerClash3Button",
     "Power Clash 15",
     {"bank3PowerClash3Item", "Power Clash 15", "POWER CLASH"},
     STD},
    {3,
     SlotKind::PowerClash,
     4,
     "bank3PowerClash4Button",
     "Power Clash 16",
     {"bank3PowerClash4Item", "Power Clash 16", "POWER CLASH"},
     STD},
};

struct KindInfo {
    SlotKind kind;
    SoundRow row;
    int firstSector; // from the bank base
    int captionBase; // caption = captionBase + number; 0: a word caption
    const char* caption;
    const char* accessible;
    int accessibleBase;
};

constexpr int FIRST_SWING_SECTOR = 4;
constexpr int FIRST_CLASH_SECTOR = 10;
constexpr int FIRST_POWER_CLASH_SECTOR = 16;
constexpr int POWER_CLASH_CAPTION_BASE = Define::SWING_SLOTS + Define::CLASH_SLOTS;

const KindInfo KINDS[] = {
    {SlotKind::PowerOn, SoundRow::Guard, 0, 0, "On", "Power On", 0},
    {SlotKind::PowerOff, SoundRow::Guard, 1, 0, "Off", "Power Off", 0},
    {SlotKind::Hum, SoundRow::Guard, 2, 0, "Hum", "Hum", 0},
    {SlotKind::Swing, SoundRow::Swing, FIRST_SWING_SECTOR, 0, nullptr, "Swing ", 0},
    {SlotKind::Clash, SoundRow::Clash, FIRST_CLASH_SECTOR, Define::SWING_SLOTS, nullptr, "Clash ",
     Define::SWING_SLOTS},
    {SlotKind::PowerClash, SoundRow::PowerClash, FIRST_POWER_CLASH_SECTOR, POWER_CLASH_CAPTION_BASE, nullptr,
     "Power Clash ", POWER_CLASH_CAPTION_BASE},
};

const KindInfo& infoOf(SlotKind kind)
{
    for (const KindInfo& k : KINDS)
        if (k.kind == kind)
            return k;
    return KINDS[0];
}

int pauseMs(Pause pause)
{
    switch (pause) {
    case LONG:
        return Define::SLOT_REQUEST_PAUSE_LONG_MS;
    case HUM:
        return Define::SLOT_REQUEST_PAUSE_HUM_MS;
    case NONE:
        return Define::SLOT_REQUEST_PAUSE_NONE_MS;
    case STD:
        break;
    }
    return Define::SLOT_REQUEST_PAUSE_MS;
}

// The hums have a request of their own per bank; every other slot asks with R.
char requestOf(const SlotRow& r)
{
    if (r.kind != SlotKind::Hum)
        return Define::SOUND_SECT_CMD_64;
    const char hums[] = {Define::LOOP_CMD, Define::LOOP1_CMD, Define::LOOP2_CMD};
    return hums[r.bank - 1];
}

SoundSlot build(const SlotRow& r)
{
    const KindInfo& k = infoOf(r.kind);
    SoundSlot s;
    s.bank = r.bank;
    s.kind = r.kind;
    s.number = r.number;
    s.row = k.row;
    const bool numbered = k.caption == nullptr;
    s.caption = numbered ? QString::number(k.captionBase + r.number) : QString::fromLatin1(k.caption);
    s.sectors = r.kind == SlotKind::Hum ? Define::HUM_SECTORS : 1;
    const int sector = k.firstSector + (numbered ? r.number - 1 : 0);
    s.address = BankBase(r.bank) + static_cast<std::uint32_t>(sector) * Define::SECTOR_SIZE;
    s.sizeLimit = r.kind == SlotKind::Hum ? Define::MAX_FILE_HUM_SIZE : Define::MAX_FILE_SIZE;
    s.button = QString::fromLatin1(r.button);
    s.accessibleName = QStringLiteral("Bank %1 %2").arg(r.bank).arg(QString::fromLatin1(k.accessible));
    if (numbered)
        s.accessibleName += QString::number(k.accessibleBase + r.number);
    s.buttonWord = QString::fromLatin1(r.buttonWord);
    s.menu = {QString::fromLatin1(r.menu.name), QString::fromLatin1(r.menu.caption),
              QString::fromLatin1(r.menu.word)};
    s.request = requestOf(r);
    s.requestPauseMs = pauseMs(r.pause);
    return s;
}

// The guard row is everything before the swings: power on, power off, both hum sectors.
constexpr int GUARD_ROW_SECTORS = FIRST_SWING_SECTOR;

const std::array<EraseRowEntry, 4> ERASE_ROW_TABLE = {{
    {SoundRow::Guard, "Guard", 0, GUARD_ROW_SECTORS, {"bank1GuardEraseButton", "bank2GuardEraseButton", "bank3GuardEraseButton"}},
    {SoundRow::Swing,
     "Swing",
     FIRST_SWING_SECTOR,
     Define::SWING_SLOTS,
     {"bank1SwingEraseButton", "bank2SwingEraseButton", "bank3SwingEraseButton"}},
    {SoundRow::Clash,
     "Clash",
     FIRST_CLASH_SECTOR,
     Define::CLASH_SLOTS,
     {"bank1ClashEraseButton", "bank2ClashEraseButton", "bank3ClashEraseButton"}},
    {SoundRow::PowerClash,
     "Power Clash",
     FIRST_POWER_CLASH_SECTOR,
     Define::POWER_CLASH_SLOTS,
     {"bank1PowerClashEraseButton", "bank2PowerClashEraseButton", "bank3PowerClashEraseButton"}},
}};

const std::array<BankMenuEntry, 3> BANK_MENUS = {{
    {"Bank1 Sounds", "bank1Menu", "Power Clash"},
    {"Bank2 Sounds", "bank2Menu", "Power Clash "},
    {"Bank3 Sounds", "bank3Menu", "Power Clash"},
}};

} // namespace

QByteArray SoundSlot::requestFrame() const
{
    // Bank 1's hum request carries no address; the others carry the slot's.
    if (request == Define::LOOP_CMD)
        return NoArgumentFrame(request);
    return AddressFrame(request, address);
}

const QList<SoundSlot>& SoundSlots()
{
    static const QList<SoundSlot> table = [] {
        QList<SoundSlot> all;
        for (const SlotRow& r : SLOT_ROWS)
            all.append(build(r));
        return all;
    }();
    return table;
}

int SlotIndex(int bank, SlotKind kind, int number)
{
    const QList<SoundSlot>& all = SoundSlots();
    for (int i = 0; i < all.size(); ++i)
        if (all[i].bank == bank && all[i].kind == kind && all[i].number == number)
            return i;
    return -1;
}

const SoundSlot* SlotStartingAt(std::uint32_t address)
{
    for (const SoundSlot& s : SoundSlots())
        if (s.address == address)
            return &s;
    return nullptr;
}

QList<int> SlotsOfRow(int bank, SoundRow row)
{
    QList<int> indices;
    const QList<SoundSlot>& all = SoundSlots();
    for (int i = 0; i < all.size(); ++i)
        if (all[i].bank == bank && all[i].row == row)
            indices.append(i);
    return indices;
}

std::uint32_t BankBase(int bank)
{
    return static_cast<std::uint32_t>(bank - 1) * Define::SOUND_BANK_SIZE;
}

bool FitsSlot(qint64 fileBytes, const SoundSlot& slot)
{
    return fileBytes < slot.sizeLimit;
}

const std::array<EraseRowEntry, 4>& EraseRows()
{
    return ERASE_ROW_TABLE;
}

QList<std::uint32_t> SlotSectors(const SoundSlot& slot)
{
    QList<std::uint32_t> sectors;
    for (int i = 0; i < slot.sectors; ++i)
        sectors.append(slot.address + static_cast<std::uint32_t>(i) * Define::SECTOR_SIZE);
    return sectors;
}

QList<std::uint32_t> AllSlotSectors()
{
    QList<std::uint32_t> sectors;
    for (const SoundSlot& slot : SoundSlots())
        sectors.append(SlotSectors(slot));
    return sectors;
}

QList<std::uint32_t> EraseGroup(int bankFromZero, SoundRow row)
{
    QList<std::uint32_t> sectors;
    for (const EraseRowEntry& entry : ERASE_ROW_TABLE)
        if (entry.row == row)
            for (int i = 0; i < entry.sectors; ++i)
                sectors.append(BankBase(bankFromZero + 1) +
                               static_cast<std::uint32_t>(entry.firstSector + i) * Define::SECTOR_SIZE);
    return sectors;
}

const std::array<BankMenuEntry, 3>& BankMenus()
{
    return BANK_MENUS;
}

} // namespace Sound
