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
    {1, SlotKind::PowerOn, 1, "SpeedButton25", "Power On", {"PowerOn1", "Power On", "Power On"}, LONG},
    {1, SlotKind::PowerOff, 1, "SpeedButton26", "Power Off", {"PowerOff1", "Power Off ", "Power Off"}, STD},
    {1, SlotKind::Hum, 1, "SpeedButton3", "Hum", {"Background1", "Background", "Background"}, HUM},
    {1, SlotKind::Swing, 1, "SpeedButton2", "SWING1", {"Swing11", "Swing 1 ", "SWING"}, STD},
    {1, SlotKind::Swing, 2, "SpeedButton8", "SWING", {"Swing21", "Swing 2 ", "SWING"}, NONE},
    {1, SlotKind::Swing, 3, "SpeedButton10", "SWING", {"Swing31", "Swing 3", "SWING"}, STD},
    {1, SlotKind::Swing, 4, "SpeedButton12", "SWING", {"Swing4Sect71", "Swing 4", "SWING"}, STD},
    {1, SlotKind::Swing, 5, "SpeedButton14", "SWING 5", {"Swing51", "Swing 5", "SWING"}, STD},
    {1, SlotKind::Swing, 6, "SpeedButton16", "SWING 6", {"Swing6Sec91", "Swing 6", "SWING"}, STD},
    {1, SlotKind::Clash, 1, "SpeedButton9", "CLASH", {"Clash11", "Clash 7", "CLASH"}, STD},
    {1, SlotKind::Clash, 2, "SpeedButton13", "CLASH", {"Clash21", "Clash 8", "CLASH"}, STD},
    {1, SlotKind::Clash, 3, "SpeedButton15", "CLASH", {"Clash31", "Clash 9", "CLASH"}, STD},
    {1, SlotKind::Clash, 4, "SpeedButton17", "CLASH 4", {"Clash41", "Clash 10", "CLASH"}, STD},
    {1, SlotKind::Clash, 5, "SpeedButton18", "CLASH 5", {"Clash4Sect131", "Clash 11", "CLASH"}, STD},
    {1, SlotKind::Clash, 6, "SpeedButton19", "CLASH 6", {"Clash4Sect132", "Clash 12", "CLASH"}, STD},
    {1,
     SlotKind::PowerClash,
     1,
     "SpeedButton20",
     "Power Clash 13",
     {"PowerClash2", "Power Clash 13", "POWER CLASH"},
     STD},
    {1,
     SlotKind::PowerClash,
     2,
     "SpeedButton22",
     "Power Clash 14",
     {"PowerCLash141", "Power Clash 14", "POWER CLASH"},
     STD},
    {1,
     SlotKind::PowerClash,
     3,
     "SpeedButton23",
     "Power Clash 15",
     {"PowerClash142", "Power Clash 15", "POWER CLASH"},
     STD},
    {1,
     SlotKind::PowerClash,
     4,
     "SpeedButton24",
     "Power Clash 16",
     {"PowerClash144", "Power Clash 16", "POWER CLASH"},
     STD},
    {2, SlotKind::PowerOn, 1, "SpeedButton28", "Power On", {"PowerOnSect01", "Power On", "PowerON"}, STD},
    {2,
     SlotKind::PowerOff,
     1,
     "SpeedButton29",
     "Power Off",
     {"PowerOFFSect1", "Power Off", "Power Off"},
     STD},
    {2, SlotKind::Hum, 1, "SpeedButton31", "Hum", {"Background2", "Background", "Background"}, HUM},
    {2, SlotKind::Swing, 1, "SpeedButton35", "Swing 1", {"Swing12", "Swing 1", "SWING"}, STD},
    {2, SlotKind::Swing, 2, "SpeedButton36", "Swing 2", {"Swing22", "Swing 2", "SWING"}, STD},
    {2, SlotKind::Swing, 3, "SpeedButton38", "Swing 3", {"Swing32", "Swing 3", "SWING"}, STD},
    {2, SlotKind::Swing, 4, "SpeedButton39", "Swing 4", {"Swing41", "Swing 4", "SWING"}, STD},
    {2, SlotKind::Swing, 5, "SpeedButton40", "SWING 5", {"Swing52", "Swing 5", "SWING"}, STD},
    {2, SlotKind::Swing, 6, "SpeedButton41", "SWING 6", {"Swig61", "Swing 6", "SWING"}, STD},
    {2, SlotKind::Clash, 1, "SpeedButton42", "CLASH 1", {"Clash12", "Clash 7", "CLASH"}, STD},
    {2, SlotKind::Clash, 2, "SpeedButton43", "CLASH 2", {"Clash22", "Clash 8", "CLASH"}, STD},
    {2, SlotKind::Clash, 3, "SpeedButton45", "CLASH 3", {"Clash32", "Clash 9", "CLASH"}, STD},
    {2, SlotKind::Clash, 4, "SpeedButton46", "CLASH 4", {"Clash42", "Clash 10", "CLASH"}, STD},
    {2, SlotKind::Clash, 5, "SpeedButton47", "CLASH 5", {"Clash51", "Clash 11", "CLASH"}, STD},
    {2, SlotKind::Clash, 6, "SpeedButton48", "CLASH 6", {"Clash61", "Clash 12", "CLASH"}, STD},
    {2,
     SlotKind::PowerClash,
     1,
     "SpeedButton49",
     "Power Clash 13",
     {"PowerClash131", "Power Clash 13", "POWER CLASH"},
     STD},
    {2,
     SlotKind::PowerClash,
     2,
     "SpeedButton51",
     "Power Clash 14",
     {"PowerClash132", "Power Clash 14", "POWER CLASH"},
     STD},
    {2,
     SlotKind::PowerClash,
     3,
     "SpeedButton52",
     "Power Clash 15",
     {"PowerClash133", "Power Clash 15", "POWER CLASH"},
     STD},
    {2,
     SlotKind::PowerClash,
     4,
     "SpeedButton54",
     "Power Clash 16",
     {"PowerClash134", "Power Clash 16", "POWER CLASH"},
     STD},
    {3, SlotKind::PowerOn, 1, "SpeedButton32", "Power On", {"PoweOn1", "Power On", "Power ON"}, STD},
    {3, SlotKind::PowerOff, 1, "SpeedButton33", "Power Off", {"PowerOff2", "Power Off", "Power OFF"}, STD},
    {3, SlotKind::Hum, 1, "SpeedButton34", "Hum", {"Background3", "Background", "Background"}, HUM},
    {3, SlotKind::Swing, 1, "SpeedButton66", "SWING 1", {"Swing13", "Swing 1", "SWING"}, STD},
    {3, SlotKind::Swing, 2, "SpeedButton68", "SWING 2", {"Swing23", "Swing 2", "SWING"}, STD},
    {3, SlotKind::Swing, 3, "SpeedButton69", "SWING 3", {"Swing33", "Swing 3", "SWING"}, STD},
    {3, SlotKind::Swing, 4, "SpeedButton70", "SWING 4", {"Swing42", "Swing 4", "SWING"}, STD},
    {3, SlotKind::Swing, 5, "SpeedButton71", "SWING 5", {"Swing53", "Swing 5", "SWING"}, STD},
    {3, SlotKind::Swing, 6, "SpeedButton72", "SWING 6", {"Swing61", "Swing 6", "SWING"}, STD},
    {3, SlotKind::Clash, 1, "SpeedButton59", "CLASH 1", {"CLash13", "Clash 7", "CLASH"}, STD},
    {3, SlotKind::Clash, 2, "SpeedButton61", "CLASH 2", {"Clash23", "Clash 8", "CLASH"}, STD},
    {3, SlotKind::Clash, 3, "SpeedButton62", "CLASH 3", {"CLash33", "Clash 9", "CLASH"}, STD},
    {3, SlotKind::Clash, 4, "SpeedButton63", "CLASH 4", {"Clash43", "Clash 10", "CLASH"}, STD},
    {3, SlotKind::Clash, 5, "SpeedButton64", "CLASH 5", {"Clash52", "Clash 11", "CLASH"}, STD},
    {3, SlotKind::Clash, 6, "SpeedButton65", "CLASH 6", {"Clash62", "Clash 12", "CLASH"}, STD},
    {3,
     SlotKind::PowerClash,
     1,
     "SpeedButton55",
     "Power Clash 13",
     {"PowerClash135", "Power Clash 13", "POWER CLASH"},
     STD},
    {3,
     SlotKind::PowerClash,
     2,
     "SpeedButton56",
     "Power Clash 14",
     {"PowerClash136", "Power Clash 14", "POWER CLASH"},
     STD},
    {3,
     SlotKind::PowerClash,
     3,
     "SpeedButton57",
     "Power Clash 15",
     {"PowerClash137", "Power Clash 15", "POWER CLASH"},
     STD},
    {3,
     SlotKind::PowerClash,
     4,
     "SpeedButton58",
     "Power Clash 16",
     {"PowerClash138", "Power Clash 16", "POWER CLASH"},
     STD},
};

struct KindInfo {
    SlotKind kind;
    SoundRow row;
    int firstSector; // from the bank base
    int captionBase; // caption = captionBase + number; 0: a word caption
    const char* caption;
    const char* handler; // handler name after "BANKn_"
    int handlerBase;     // the handler's number = handlerBase + number
    const char* accessible;
    int accessibleBase;
};

constexpr int FIRST_SWING_SECTOR = 4;
constexpr int FIRST_CLASH_SECTOR = 10;
constexpr int FIRST_POWER_CLASH_SECTOR = 16;
constexpr int POWER_CLASH_CAPTION_BASE = Define::SWING_SLOTS + Define::CLASH_SLOTS;

const KindInfo KINDS[] = {
    {SlotKind::PowerOn, SoundRow::Guard, 0, 0, "On", "ON", 0, "Power On", 0},
    {SlotKind::PowerOff, SoundRow::Guard, 1, 0, "Off", "OFF", 0, "Power Off", 0},
    {SlotKind::Hum, SoundRow::Guard, 2, 0, "Hum", "GUARD", 0, "Hum", 0},
    {SlotKind::Swing, SoundRow::Swing, FIRST_SWING_SECTOR, 0, nullptr, "SWING_", 0, "Swing ", 0},
    {SlotKind::Clash, SoundRow::Clash, FIRST_CLASH_SECTOR, Define::SWING_SLOTS, nullptr, "CLASH_", 0,
     "Clash ", Define::SWING_SLOTS},
    {SlotKind::PowerClash, SoundRow::PowerClash, FIRST_POWER_CLASH_SECTOR, POWER_CLASH_CAPTION_BASE, nullptr,
     "CLASH_", Define::CLASH_SLOTS, "Power Clash ", POWER_CLASH_CAPTION_BASE},
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
    s.handler = QStringLiteral("BANK%1_%2").arg(r.bank).arg(QString::fromLatin1(k.handler));
    if (numbered)
        s.handler += QString::number(k.handlerBase + r.number);
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
    {SoundRow::Guard, "Guard", 0, GUARD_ROW_SECTORS, {"SpeedButton1", "SpeedButton27", "SpeedButton50"}},
    {SoundRow::Swing,
     "Swing",
     FIRST_SWING_SECTOR,
     Define::SWING_SLOTS,
     {"SpeedButton7", "SpeedButton30", "SpeedButton53"}},
    {SoundRow::Clash,
     "Clash",
     FIRST_CLASH_SECTOR,
     Define::CLASH_SLOTS,
     {"SpeedButton11", "SpeedButton37", "SpeedButton60"}},
    {SoundRow::PowerClash,
     "Power Clash",
     FIRST_POWER_CLASH_SECTOR,
     Define::POWER_CLASH_SLOTS,
     {"SpeedButton21", "SpeedButton44", "SpeedButton67"}},
}};

const std::array<BankMenuEntry, 3> BANK_MENUS = {{
    {"Bank1 Sounds", "Bank11", "Power Clash"},
    {"Bank2 Sounds", "Bank21", "Power Clash "},
    {"Bank3 Sounds", "Bank31", "Power Clash"},
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
