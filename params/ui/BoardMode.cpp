// Board status (Active, SetUp, TX).
#include "app/SetupWindow.h"
#include "motion/ui/MotionPanel.h"

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
