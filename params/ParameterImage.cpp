#include "params/ParameterImage.h"

#include "common/Define.h"
#include "params/FlickerLimit.h"
#include "params/ParameterLayout.h"

namespace Params {

namespace {
// The value a selected button stands for, and the group it belongs to.
struct Selection {
    const RadioGroup* group = nullptr;
    int value = 0;
};

Selection selectionOf(const QString& button)
{
    for (const RadioGroup* group : {&defaultBankButtons(), &frequencyButtons()})
        for (const RadioChoice& choice : group->choices)
            if (button == QLatin1String(choice.button))
                return {group, choice.value};
    return {};
}
} // namespace

void ParameterImage::receive(const QByteArray& block)
{
    for (const DecoderEffect& effect : m_decoder.decode(block))
        apply(effect);
}

void ParameterImage::apply(const DecoderEffect& effect)
{
    m_identity.follow(effect);
    switch (effect.kind) {
    case DecoderEffect::Kind::SetText: {
        // The decoder only ever shows numbers in the edits.
        const ParameterField* field = fieldByEdit(effect.control);
        m_texts.insert(effect.control, field && IsFlicker(*field) ? FlickerLimited(effect.text) : effect.text);
        break;
    }
    case DecoderEffect::Kind::SelectRadio: {
        const Selection selection = selectionOf(effect.control);
        if (selection.group == &defaultBankButtons())
            m_defaultBank = selection.value;
        else if (selection.group == &frequencyButtons())
            m_frequencyMode = selection.value;
        break;
    }
    case DecoderEffect::Kind::UnlistedFrequency:
        m_frequencyMode = effect.number;
        break;
    case DecoderEffect::Kind::FormatSerialNumber:
    case DecoderEffect::Kind::SetReady:
    case DecoderEffect::Kind::ShowMessage:
        break;
    }
}

QString ParameterImage::release() const
{
    return m_texts.value(QString::fromLatin1(RELEASE_LABEL));
}

ParameterFileContent ParameterImage::fileContent() const
{
    return ScreenFileContent([this](const QString& edit) { return text(edit); }, m_defaultBank, m_frequencyMode,
                             release(), serialNumber());
}

} // namespace Params
