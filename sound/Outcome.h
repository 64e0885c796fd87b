// A value, or the reason why there is none: what reading and converting a sound
// file give back, so that bad input ends in a message and never in a crash.
#pragma once

#include <QString>
#include <optional>

namespace Sound {

template <typename T> struct Outcome {
    std::optional<T> value;
    QString message; // empty when value is there
};

} // namespace Sound
