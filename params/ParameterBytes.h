// The board's parameter memory as far as it is known: one byte per address.
// Every value is assembled from its own addresses' bytes, so the order in
// which they became known never matters.
#pragma once

#include "comm/ReadReplies.h"

#include <QString>
#include <array>
#include <cstdint>

namespace Params {

struct ParameterField;
struct SerialPartLabel;

class ParameterBytes {
public:
    // 0 until the address is set.
    std::uint8_t at(int address) const { return m_bytes.at(static_cast<std::size_t>(address)); }
    void set(int address, std::uint8_t byte) { m_bytes.at(static_cast<std::size_t>(address)) = byte; }

    // The field's number as it reaches the screen: a pair from both bytes, with
    // its sign; the board's "not set" byte as the field shows it.
    int shownValue(const ParameterField& field) const;
    // A serial-number part, most significant byte first.
    std::int32_t serialPart(const SerialPartLabel& part) const;

private:
    std::array<std::uint8_t, ADDRESS_SPACE> m_bytes{};
};

} // namespace Params
