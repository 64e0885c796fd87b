#include "params/ParameterBytes.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"

namespace Params {

int ParameterBytes::shownValue(const ParameterField& field) const
{
    if (!field.isPair()) {
        const int byte = at(field.address);
        return byte == Define::PARAMETER_NOT_SET && field.notSetShownAs ? *field.notSetShownAs : byte;
    }
    const auto value = static_cast<std::uint16_t>((at(field.highAddress()) << Define::BITS_PER_BYTE) |
                                                  at(field.lowAddress()));
    return field.isSigned() ? static_cast<std::int16_t>(value) : value;
}

std::int32_t ParameterBytes::serialPart(const SerialPartLabel& part) const
{
    std::uint32_t bits = 0;
    for (int byte = 0; byte < Define::SERIAL_PART_BYTES; ++byte)
        bits = (bits << Define::BITS_PER_BYTE) | at(part.firstAddress + byte);
    return static_cast<std::int32_t>(bits);
}

} // namespace Params
