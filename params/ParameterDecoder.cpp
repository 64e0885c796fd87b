#include "params/ParameterDecoder.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"

namespace Params {

using namespace Define;

namespace {

// Shown when a reply carries the end mark where the address would be.
const QString END_MARK_MESSAGE = QStringLiteral("r");

} // namespace

QString ReleaseText(std::uint8_t byte)
{
    // The board reports whole releases only.
    return QString::number(byte) + QStringLiteral(".0");
}

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
    m_answered.set(address, v);

    if (address == ADDR_VERSIONE) {
        effects.append(
            DecoderEffect::setText(QString::fromLatin1(RELEASE_LABEL), ReleaseText(v)));
    } else if (const RadioGroup* group = radioGroupAt(address)) {
        if (const char* button = group->buttonFor(v))
            effects.append(DecoderEffect::selectRadio(QString::fromLatin1(button)));
        else if (address == ADDR_FREQUENCY_MODE)
            effects.append(DecoderEffect::unlistedFrequency(v));
    } else if (const ParameterField* field = fieldAtAddress(address)) {
        effects.append(DecoderEffect::setText(field->editName(), QString::number(m_answered.shownValue(*field))));
    } else if (const SerialPartLabel* part = serialPartAt(address)) {
        const std::int32_t number = m_answered.serialPart(*part);
        effects.append(DecoderEffect::setText(QString::fromLatin1(part->label), QString::number(number)));
        effects.append(DecoderEffect::formatSerialNumber(number));
    }

    // "E" is address 69, so the end mark has already shown its bytes in that
    // address's edit by now.
    if (block.mid(REPLY_END_MARK_INDEX).startsWith(REPLY_END_MARK))
        effects.append(DecoderEffect::showMessage(END_MARK_MESSAGE));
    return effects;
}

} // namespace Params
