// The sound slots of the board's flash: where each sound lives, how large it may
// be, and every control, text and request that addresses it. Buttons, the file
// list's menu, the upload, the erase rows and the bulk load all read this table.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>

namespace Sound {

enum class SlotKind { PowerOn, PowerOff, Hum, Swing, Clash, PowerClash };

// The four rows of a bank on screen; each has its erase button.
enum class SoundRow { Guard, Swing, Clash, PowerClash };

struct SlotMenuItem {
    QString name;    // component name, "bank2Swing1Item"
    QString caption; // exactly as shown, blanks included
    QString word;    // the slot word of its question
};

struct SoundSlot {
    int bank = 0; // 1 to 3
    SlotKind kind = SlotKind::PowerOn;
    int number = 0; // within its kind: swing 1-6, clash 1-6, power clash 1-4, else 1
    SoundRow row = SoundRow::Guard;
    QString caption; // of its button: "On", "Off", "Hum", "1" to "16"
    std::uint32_t address = 0;
    int sectors = 1;
    int sizeLimit = 0;      // a WAV file must be strictly smaller
    QString button;         // the slot button's component name
    QString accessibleName; // "Bank 2 Swing 1", "Bank 1 Hum"
    QString buttonWord;     // the slot word of the button's question
    SlotMenuItem menu;
    char request = 0;       // pre-upload command: R, or O, S, T for the hums
    int requestPauseMs = 0; // pause after it, before the question

    QByteArray requestFrame() const;
    bool isHum() const { return kind == SlotKind::Hum; }
};

// All 57 slots: bank 1, 2, 3; in each, power on, power off, hum, swings, clashes,
// power clashes.
const QList<SoundSlot>& SoundSlots();
// Index into SoundSlots(), -1 when there is no such slot.
int SlotIndex(int bank, SlotKind kind, int number);
// The slot that starts at address, or nullptr.
const SoundSlot* SlotStartingAt(std::uint32_t address);
// Slots of one row panel, in their on-screen order.
QList<int> SlotsOfRow(int bank, SoundRow row);

// First addresses of the sectors a slot spans, in order.
QList<std::uint32_t> SlotSectors(const SoundSlot& slot);
// Those of every slot: what "Erase All Sounds" clears.
QList<std::uint32_t> AllSlotSectors();

std::uint32_t BankBase(int bank); // bank 1 to 3
bool FitsSlot(qint64 fileBytes, const SoundSlot& slot);

// The rows of a bank: caption, the sectors their erase button clears, and the
// erase buttons of banks 1, 2, 3.
struct EraseRowEntry {
    SoundRow row;
    const char* caption;
    int firstSector; // from the bank base
    int sectors;
    std::array<const char*, 3> buttons;
};
const std::array<EraseRowEntry, 4>& EraseRows();
// First addresses of the sectors a row erase clears, in order; bank counted 0 to 2.
QList<std::uint32_t> EraseGroup(int bankFromZero, SoundRow row);

// Bank submenu of the file list's menu: caption, component name, and the caption
// of its "Power Clash" submenu (bank 2's carries a trailing blank).
struct BankMenuEntry {
    const char* caption;
    const char* name;
    const char* powerClashCaption;
};
const std::array<BankMenuEntry, 3>& BankMenus();

} // namespace Sound
