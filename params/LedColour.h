// The colour a row of a bank gives the blade, from its four channels as the
// screen shows them: red, green and blue mixed, the white LED added to all
// three, each channel as bright as its value. The Guard row also flickers:
// each flicker channel is how deep, in percent, that channel dips.
// Widgets paint what this computes; the command line and tests read the same.
#pragma once

#include "params/ParameterLayout.h"

#include <QString>
#include <array>
#include <optional>

namespace Params {

class BoardModel;

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Red, green, blue and white, in that order; nothing where the screen shows no
// number (never read, or not a number as typed).
using Channels = std::array<std::optional<int>, 4>;

struct RowLight {
    QString name;                    // "Bank 1 Guard"
    Channels colour;                 // 0..254 each
    std::optional<Channels> flicker; // 0..100 each; the Guard row's only
    bool operator==(const RowLight&) const = default;
};

// The row's channels as `shown` shows them.
RowLight ShownRowLight(const BoardModel& shown, const ScreenRow& row);

// The colour on screen, 0..255 a channel; nothing while a channel is unknown.
// `dip` (0..1) is how far into the flicker the moment is: 0 is the steady
// colour, 1 every channel dimmed by its full flicker depth.
std::optional<Rgb> MixedColour(const RowLight& light, double dip = 0);
// True when the row's flicker would change what the blade shows.
bool Flickers(const RowLight& light);

// "Bank 1 Guard: red 25, green 5, blue 240, white 0", then for the Guard row
// "; flicker red 0, green 0, blue 0, white 0"; "unknown" for a channel the
// screen shows no number for.
QString LightDescription(const RowLight& light);

} // namespace Params
