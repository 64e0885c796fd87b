// Board status (Active, SetUp, TX) and the default bank.
#include "app/SetupWindow.h"
#include "motion/ui/MotionPanel.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Define.h"

#include <QRadioButton>

void SetupWindow::modeClicked(QRadioButton* button)
{
    if (!portInUse())
        return;
    if (!button->isChecked())
        return;
    using Mode = Params::Board::Mode;
    m_board->sendMode(button == setUpModeButton ? Mode::SetUp : button == txModeButton ? Mode::Tx : Mode::Active);
    m_board->setSetUpMode(button == setUpModeButton);
    if (button == txModeButton)
        m_motion->resetChart();
    else
        m_motion->stopRecording(); // the stream ends with TX
}

void SetupWindow::activeModeChosen()
{
    modeClicked(activeModeButton);
}

void SetupWindow::setUpModeChosen()
{
    modeClicked(setUpModeButton);
}

void SetupWindow::txModeChosen()
{
    modeClicked(txModeButton);
}

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
