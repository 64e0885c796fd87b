// What a decoded parameter reply changes on the window's own controls: a label
// shows its value, a radio button is selected as a click would select it. The
// parameter panel shows its edits itself.
#include "app/SetupWindow.h"
#include "common/ui/Handlers.h"

#include "common/ui/ValueLabel.h"

#include <QRadioButton>

using Params::DecoderEffect;

void SetupWindow::showDecoded(const DecoderEffect& effect)
{
    switch (effect.kind) {
    case DecoderEffect::Kind::SetText:
        if (auto* label = findChild<ValueLabel*>(effect.control))
            label->setValue(effect.text);
        break;
    case DecoderEffect::Kind::SelectRadio:
        if (auto* button = findChild<QRadioButton*>(effect.control))
            SelectRadioButton(button);
        break;
    case DecoderEffect::Kind::FormatSerialNumber:
        serialNumber->setValue(m_board->shownSerialNumber());
        break;
    case DecoderEffect::Kind::SetReady:
    case DecoderEffect::Kind::ShowMessage:
        break; // the board model's own
    }
}
