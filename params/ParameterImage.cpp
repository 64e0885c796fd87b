#include "params/ParameterImage.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"
#include "params/SerialNumber.h"

#include <QDateTime>

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
    switch (effect.kind) {
    case DecoderEffect::Kind::SetText:
        m_texts.insert(effect.control, effect.text);
        break;
    case DecoderEffect::Kind::SelectRadio: {
        const Selection selection = selectionOf(effect.control);
        if (selection.group == &defaultBankButtons())
            m_defaultBank = selection.value;
        else if (selection.group == &frequencyButtons())
            m_frequencyMode = selection.value;
        break;
    }
    case DecoderEffect::Kind::FormatSerialNumber:
        m_serialNumber = SerialHeaderText(
            m_texts.value(QString::fromLatin1(serialPartLabels().front().label)), effect.number);
        break;
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
    ParameterFileContent content;
    for (const ParameterField& field : parameterFields())
        content.edits.insert(field.editName(), m_texts.value(field.editName()));
    content.defaultBank = m_defaultBank;
    content.frequencyMode = m_frequencyMode.value_or(Define::FREQUENCY_EVO);
    content.release = release();
    content.serialNumber = m_serialNumber;
    content.saved = QDateTime::currentDateTime();
    return content;
}

} // namespace Params
