// Decoding of the board's parameter replies onto the parameter screen.
#include "app/Serial1.h"

#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/ValueLabel.h"
#include "params/SerialNumber.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <QRadioButton>

using Params::DecoderEffect;

void TSerialForm1::UnpackComand(const QByteArray& Data)
{
    const QScopedValueRollback decoding(m_decoding, true);
    for (const DecoderEffect& effect : m_decoder->decode(Data)) {
        m_board.apply(effect);
        switch (effect.kind) {
        case DecoderEffect::Kind::SetReady:
            READY = 1;
            break;
        case DecoderEffect::Kind::SetText:
            if (QLineEdit* target = edit(effect.control))
                target->setText(effect.text);
            else if (auto* label = findChild<ValueLabel*>(effect.control))
                label->setValue(effect.text);
            break;
        case DecoderEffect::Kind::SelectRadio:
            if (auto* button = findChild<QRadioButton*>(effect.control))
                SelectButton(button);
            break;
        case DecoderEffect::Kind::FormatSerialNumber:
            FormattaSerialNumber(effect.number);
            break;
        case DecoderEffect::Kind::ShowMessage:
            ShowMessage(effect.text);
            break;
        }
    }
}

void TSerialForm1::FormattaSerialNumber(int num)
{
    Label21->setValue(Params::SerialHeaderText(Label14->value(), num));
}
