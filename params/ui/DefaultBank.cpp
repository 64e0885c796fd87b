// The default bank: a bank button selected, by a click or by the board's reply,
// is written to the board at once.
#include "params/ui/ParameterPanel.h"

#include "params/ParameterLayout.h"

#include <QRadioButton>
#include <QSignalBlocker>

void ParameterPanel::defaultBankChosen(QRadioButton* button, int bank)
{
    // The buttons are mutually exclusive, so selecting this one has deselected the others.
    if (button->isChecked())
        board().writeDefaultBank(bank);
}

void ParameterPanel::showDefaultBank(int bank)
{
    // A bank already shown is the board's already: nothing goes.
    QRadioButton* button = radioButton(Params::defaultBankButtons().buttonFor(bank));
    if (button->isChecked())
        return;
    {
        const QSignalBlocker quiet(button);
        button->setChecked(true);
    }
    board().writeDefaultBank(bank);
}
