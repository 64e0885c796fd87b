// The base sound set: one file per slot of bank 1, in slot order, kept in the
// folder Sounds/ZERO under the installation folder.
#pragma once

#include <array>

namespace Sound {

inline constexpr std::array<const char*, 19> BASE_SOUND_FILES = {
    "Base_PowerOn_0.wav", "Base_PowerOff_0.wav", "Base_Hum_0.wav",     "Base_Swing_1_0.wav",
    "Base_Swing_2_0.wav", "Base_Swing_3_0.wav",  "Base_Swing_4_0.wav", "Base_Swing_5_0.wav",
    "Base_Swing_6_0.wav", "Base_Clash_1_0.wav",  "Base_Clash_2_0.wav", "Base_Clash_3_0.wav",
    "Base_Clash_4_0.wav", "Base_Clash_5_0.wav",  "Base_Clash_6_0.wav", "Base_Clash_7_0.wav",
    "Base_Clash_8_0.wav", "Base_Clash_9_0.wav",  "Base_Clash_10_0.wav"};

// Position of the hum in the set: the only two-sector slot.
inline constexpr int BASE_HUM_INDEX = 2;

} // namespace Sound
