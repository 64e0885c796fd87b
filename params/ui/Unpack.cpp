// Decoding of the board's parameter replies onto the parameter screen.
#include "app/SetupWindow.h"
#include "common/ui/Handlers.h"

#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/ui/ValueLabel.h"
#include "params/SerialNumber.h"

#include <QLineEdit>
#include <QScopedValueRollback>
#include <QRadioButton>

using Params::DecoderEffect;

void SetupWindow::showParameterReply(const QByteArray& Data)
{
    const QScopedValueRollback decoding(m_decoding, true);
    for (const DecoderEffect& effect : m_decoder->decode(Data)) {
        m_image.apply(effect);
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
                SelectRadioButton(button);
            break;
        case DecoderEffect::Kind::FormatSerialNumber:
            showSerialNumber(effect.number);
            break;
        case DecoderEffect::Kind::ShowMessage:
            ShowMessage(effect.text);
            break;
        }
    }
}

void SetupWindow::showSerialNumber(int num)
{
    serialNumber->setValue(Params::SerialHeaderText(serialLot->value(), num));
}
