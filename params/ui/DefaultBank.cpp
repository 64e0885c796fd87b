// The default bank: a bank button selected, by a click or by the board's reply,
// is written to the board at once.
#include "params/ui/ParameterPanel.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Define.h"

#include <QRadioButton>

void ParameterPanel::defaultBankChosen(QRadioButton* button, int bank)
{
    // The buttons are mutually exclusive, so selecting this one has deselected the others.
    if (!button->isChecked())
        return;
    if (m_board.link()->sendCommand(ParameterWriteFrame(Define::ADDR_BANK, bank)))
        m_board.defaultBankWritten(bank);
}
