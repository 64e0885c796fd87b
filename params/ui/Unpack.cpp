// What a decoded parameter reply changes on the parameter screen: an edit
// shows its value, a radio button is selected as a click would select it. The
// header and the port panel show the replies that are theirs.
#include "app/SetupWindow.h"
#include "common/ui/Handlers.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

using Params::DecoderEffect;

void SetupWindow::showDecoded(const DecoderEffect& effect)
{
    switch (effect.kind) {
    case DecoderEffect::Kind::SetText:
        if (QLineEdit* target = edit(effect.control))
            target->setText(effect.text);
        break;
    case DecoderEffect::Kind::SelectRadio:
        if (auto* button = parameterGroup->findChild<QRadioButton*>(effect.control))
            SelectRadioButton(button);
        break;
    case DecoderEffect::Kind::FormatSerialNumber:
    case DecoderEffect::Kind::SetReady:
    case DecoderEffect::Kind::ShowMessage:
        break; // the header's and the board model's own
    }
}
