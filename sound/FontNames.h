// Which slot of a bank a sound font's file belongs in, from its name alone.
//
// The rule: take the file name without its extension, in lower case, and drop
// every character that is not a letter or a digit ("Swing_03", "swing-3" and
// "SWING 3" all become "swing03" / "swing3"). What is left must be one of the
// words below followed by an optional number; leading zeros do not count and no
// number means 1. The number must be one of the kind's slots: Swing 1-6,
// Clash 1-6, Power Clash 1-4, and only 1 for Power On, Power Off and Hum.
//
//   Power On     poweron, on, out
//   Power Off    poweroff, off, in
//   Hum          hum
//   Swing        swing, swng
//   Clash        clash, clsh
//   Power Clash  powerclash, lockup, lock
//
// Anything else ("blaster", "clash7", "font", "swing_1_b") matches no slot and is
// left for the owner to place by hand.
#pragma once

#include "sound/SlotMap.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace Sound {

struct FontSlot {
    SlotKind kind;
    int number; // within its kind, from 1
};

std::optional<FontSlot> MatchFontName(const QString& fileName);

// The slot as the font table and its progress name it: "Power On", "Hum",
// "Swing 3", "Clash 2", "Power Clash 4".
QString FontSlotName(SlotKind kind, int number);

} // namespace Sound
