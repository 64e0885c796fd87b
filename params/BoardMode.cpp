// Board status (Active, SetUp, TX) and the default bank.
#include "app/Serial1.h"

#include "comm/BoardLink.h"
#include "comm/Frames.h"
#include "common/Define.h"

#include <QComboBox>
#include <QRadioButton>

void TSerialForm1::SelectButton(QRadioButton* button)
{
    // Selecting emits the toggle that runs the handler; an already selected
    // button emits nothing.
    button->setChecked(true);
}

void TSerialForm1::statusClicked(QRadioButton* button)
{
    if (cbports->isEnabled()) // no port open
        return;
    if (!button->isChecked())
        return;
    WriteModeBtn();
    if (button == RadioButton9)
        AttivaSetup();
    else
        DisattivaSetup();
    if (button == RadioButton13)
        ChartReset();
    else
        StopRecording(); // the stream ends with TX
}

void TSerialForm1::RadioButton10Click()
{
    statusClicked(RadioButton10);
}

void TSerialForm1::RadioButton9Click()
{
    statusClicked(RadioButton9);
}

void TSerialForm1::RadioButton13Click()
{
    statusClicked(RadioButton13);
}

void TSerialForm1::WriteModeBtn()
{
    int status = 0;
    if (RadioButton10->isChecked())
        status = Define::STATO_TAVRIN_ACTIVE;
    if (RadioButton13->isChecked())
        status = Define::STATO_TAVRIN_COMMAND_MODE_TX;
    if (RadioButton9->isChecked())
        status = Define::STATO_TAVRIN_COMMAND_MODE_NOTX;
    SendCommand(ParameterWriteFrame(Define::ADDR_STATO_TAVRIN, status));
}

void TSerialForm1::AttivaSetup()
{
    for (QWidget* control : SetupControls)
        control->setEnabled(true);
}

void TSerialForm1::DisattivaSetup()
{
    for (QWidget* control : SetupControls)
        control->setEnabled(false);
}

void TSerialForm1::defaultBankClicked(QRadioButton* button, int bank)
{
    // The buttons are mutually exclusive, so selecting this one has deselected the others.
    if (!button->isChecked())
        return;
    if (Link->sendCommand(ParameterWriteFrame(Define::ADDR_BANK, bank)))
        m_board.defaultBankWritten(bank);
}

void TSerialForm1::Def1Click()
{
    defaultBankClicked(Def1, 1);
}

void TSerialForm1::Def2Click()
{
    defaultBankClicked(Def2, 2);
}

void TSerialForm1::Def3Click()
{
    defaultBankClicked(Def3, 3);
}
