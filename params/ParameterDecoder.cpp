#include "params/ParameterDecoder.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"

namespace Params {

using namespace Define;

namespace {

// Shown after the release byte: the board reports whole releases only.
const QString RELEASE_SUFFIX = QStringLiteral(".0");
// Shown when a reply carries the end mark where the address would be.
const QString END_MARK_MESSAGE = QStringLiteral("r");

} // namespace

QList<DecoderEffect> ParameterDecoder::decode(const QByteArray& block)
{
    QList<DecoderEffect> effects;
    if (block.isEmpty())
        return effects;

    // The loader acknowledges a write or an erase by echoing its command code.
    const char code = block.at(REPLY_CODE_INDEX);
    if (code == WRITEFLASHAPP_CMD || code == ERASEFLASHAPP_CMD)
        effects.append(DecoderEffect::ready());

    // Only the first reply of a block is looked at; anything after its value
    // byte matters only to the end-mark test.
    if (code != READ_CMD || block.size() < REPLY_LENGTH)
        return effects;
    const int address = static_cast<std::uint8_t>(block.at(REPLY_ADDRESS_INDEX));
    const auto v = static_cast<std::uint8_t>(block.at(REPLY_VALUE_INDEX));

    if (address == ADDR_VERSIONE) {
        effects.append(
            DecoderEffect::setText(QString::fromLatin1(RELEASE_LABEL), QString::number(v) + RELEASE_SUFFIX));
    } else if (const RadioGroup* group = radioGroupAt(address)) {
        if (address == ADDR_FREQUENCY_MODE)
            Value_low = v;
        if (const char* button = group->buttonFor(v))
            effects.append(DecoderEffect::selectRadio(QString::fromLatin1(button)));
        else if (address == ADDR_FREQUENCY_MODE)
            effects.append(DecoderEffect::unlistedFrequency(v));
    } else if (fieldAtAddress(address)) {
        decodeField(address, v, effects);
    } else if (serialPartAt(address)) {
        decodeSerialByte(address, v, effects);
    }

    // "E" is address 69, so the end mark has already shown its bytes in that
    // address's edit by now.
    if (block.mid(REPLY_END_MARK_INDEX).startsWith(REPLY_END_MARK))
        effects.append(DecoderEffect::showMessage(END_MARK_MESSAGE));
    return effects;
}

void ParameterDecoder::decodeField(int address, std::uint8_t v, QList<DecoderEffect>& effects)
{
    const ParameterField& field = *fieldAtAddress(address);
    QString text;
    if (!field.isPair()) {
        Value_low = v;
        const bool substitute = v == PARAMETER_NOT_SET && field.notSetShownAs.has_value();
        text = QString::number(substitute ? *field.notSetShownAs : v);
    } else {
        // The other byte of the pair is whatever the latch last held; the
        // upward sweep makes the value complete at the pair's later address.
        if (address == field.lowAddress())
            Value_low = v;
        else
            value_high = v;
        const auto value = static_cast<std::uint16_t>((value_high << 8) | Value_low);
        text = field.isSigned() ? QString::number(static_cast<std::int16_t>(value)) : QString::number(value);
    }
    effects.append(DecoderEffect::setText(field.editName(), text));
}

void ParameterDecoder::decodeSerialByte(int address, std::uint8_t v, QList<DecoderEffect>& effects)
{
    const SerialPartLabel& part = *serialPartAt(address);
    std::uint8_t* const latches[SERIAL_PART_BYTES] = {&value_high_h, &Value_High_l, &value_low_h,
                                                      &Value_low_l};
    *latches[address - part.firstAddress] = v;

    const std::uint32_t bits = (std::uint32_t{value_high_h} << 24) | (std::uint32_t{Value_High_l} << 16) |
                               (std::uint32_t{value_low_h} << 8) | std::uint32_t{Value_low_l};
    const auto num = static_cast<std::int32_t>(bits);
    effects.append(DecoderEffect::setText(QString::fromLatin1(part.label), QString::number(num)));
    effects.append(DecoderEffect::formatSerialNumber(num));
}

} // namespace Params
