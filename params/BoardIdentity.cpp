#include "params/BoardIdentity.h"

#include "params/ParameterLayout.h"
#include "params/ReadState.h"
#include "params/SerialNumber.h"

#include <algorithm>

namespace Params {

QList<int> BoardIdentity::addresses()
{
    QList<int> bytes;
    for (const SerialPartLabel& part : serialPartLabels())
        bytes.append(addressesDecodedTogether(part.firstAddress));
    return bytes;
}

void BoardIdentity::follow(const DecoderEffect& effect)
{
    if (effect.kind == DecoderEffect::Kind::SetText &&
        effect.control == QLatin1String(serialPartLabels().front().label))
        m_lot = effect.text;
    else if (effect.kind == DecoderEffect::Kind::FormatSerialNumber)
        m_shown = SerialHeaderText(m_lot, effect.number);
}

void BoardIdentity::readEnded(const ReadState& state)
{
    const QList<int> bytes = addresses();
    if (std::none_of(bytes.begin(), bytes.end(), [&state](int address) { return state.isUnread(address); }))
        m_serialNumber = m_shown;
}

} // namespace Params
