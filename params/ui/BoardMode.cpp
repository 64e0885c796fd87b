// The default bank, and the controls that only set-up mode enables.
#include "app/SetupWindow.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Define.h"

#include <QRadioButton>

void SetupWindow::enableSetUpControls(bool on)
{
    for (QWidget* control : m_setUpControls)
        control->setEnabled(on);
}

void SetupWindow::defaultBankChosen(QRadioButton* button, int bank)
{
    // The buttons are mutually exclusive, so selecting this one has deselected the others.
    if (!button->isChecked())
        return;
    if (m_board->link()->sendCommand(ParameterWriteFrame(Define::ADDR_BANK, bank)))
        m_board->defaultBankWritten(bank);
}

void SetupWindow::defaultBank1Chosen()
{
    defaultBankChosen(defaultBank1Button, 1);
}

void SetupWindow::defaultBank2Chosen()
{
    defaultBankChosen(defaultBank2Button, 2);
}

void SetupWindow::defaultBank3Chosen()
{
    defaultBankChosen(defaultBank3Button, 3);
}
