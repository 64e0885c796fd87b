// A slot of a bank named in one word, as the command line and board profiles
// write it: "on", "off", "hum", "swing1".."swing6", "clash1".."clash6",
// "powerclash1".."powerclash4". A numbered kind without its number means 1.
#pragma once

#include <QString>

namespace Sound {

// Index into SoundSlots(); -1 when bank has no slot of that name.
int SlotIndexByName(int bank, const QString& name);

// The slot's word within its bank: "swing3", "hum".
QString SlotWord(int slot);

// The words a bank's slots go by, for messages that list them.
QString SlotWordsText();

} // namespace Sound
