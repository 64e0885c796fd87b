// Board status (Active, SetUp, TX) and the default bank.
#include "app/SetupWindow.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Define.h"

#include <QComboBox>
#include <QRadioButton>

void SetupWindow::modeClicked(QRadioButton* button)
{
    if (portList->isEnabled()) // no port open
        return;
    if (!button->isChecked())
        return;
    sendMode();
    if (button == setUpModeButton)
        setSetUpMode(true);
    else
        setSetUpMode(false);
    if (button == txModeButton)
        resetChart();
    else
        stopRecording(); // the stream ends with TX
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

void SetupWindow::sendMode()
{
    int status = 0;
    if (activeModeButton->isChecked())
        status = Define::STATO_TAVRIN_ACTIVE;
    if (txModeButton->isChecked())
        status = Define::STATO_TAVRIN_COMMAND_MODE_TX;
    if (setUpModeButton->isChecked())
        status = Define::STATO_TAVRIN_COMMAND_MODE_NOTX;
    sendCommand(ParameterWriteFrame(Define::ADDR_STATO_TAVRIN, status));
}

void SetupWindow::setSetUpMode(bool on)
{
    for (QWidget* control : m_setUpControls)
        control->setEnabled(on);
}

void SetupWindow::defaultBankChosen(QRadioButton* button, int bank)
{
    // The buttons are mutually exclusive, so selecting this one has deselected the others.
    if (!button->isChecked())
        return;
    if (m_link->sendCommand(ParameterWriteFrame(Define::ADDR_BANK, bank)))
        m_image.defaultBankWritten(bank);
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
