// Tooltips of the parameter group. Every value says what it does on the board,
// where it lives and what it may hold, and, while the screen shows something
// else than the board holds, the board's value: the user sees what "Write
// Parameters" would change before pressing it. Buttons and sliders say what
// they do.
#include "params/ui/ParameterPanel.h"

#include "params/ParameterHelp.h"
#include "params/ParameterLayout.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

using namespace Params;

namespace {

struct ControlTip {
    const char* control;
    const char* tip;
};
constexpr ControlTip BUTTON_TIPS[] = {
    {"readParametersButton", "Reads every parameter of the board onto the screen."},
    {"writeParametersButton",
     "Writes every value the screen shows to the board, one at a time with the board's pause after each."},
    {"verifyParametersButton",
     "Reads the board again and names each value where it differs from the screen."},
    {"saveParametersButton", "Saves the values the screen shows to a parameter file."},
    {"loadParametersButton",
     "Puts a parameter file's values on the screen; the board gets them with \"Write Parameters\"."},
};
const char* const SLIDER_TIP = "Sets the %1 channel of the row chosen by clicking its caption: the top "
                               "stands for 254, the bottom for 0.";
const char* const CAPTION_TIP = "Click to set this row's colour with the brightness sliders.";

QString withBoardValue(const ParameterHelp& help, const QString& shown, const QString& onBoard)
{
    const QString note = boardValueNote(shown, onBoard);
    return note.isEmpty() ? help.tooltip() : help.tooltip() + QLatin1Char('\n') + note;
}

QString choiceText(const std::optional<int>& value)
{
    return value ? QString::number(*value) : QString();
}

} // namespace

void ParameterPanel::showParameterTips()
{
    for (const ControlTip& tip : BUTTON_TIPS)
        findChild<QPushButton*>(QString::fromLatin1(tip.control))->setToolTip(QString::fromLatin1(tip.tip));
    const std::pair<QSlider*, const char*> sliders[] = {{redBrightness, "red"},
                                                        {greenBrightness, "green"},
                                                        {blueBrightness, "blue"},
                                                        {whiteBrightness, "white"}};
    for (const auto& [slider, channel] : sliders)
        slider->setToolTip(QString::fromLatin1(SLIDER_TIP).arg(QLatin1String(channel)));
    for (QLabel* caption : std::as_const(rowCaptions))
        caption->setToolTip(QString::fromLatin1(CAPTION_TIP));

}

void ParameterPanel::refreshParameterTips()
{
    const BoardModel& onBoard = board().model();
    const BoardModel& shown = board().screen();
    for (const ParameterField& field : parameterFields())
        if (QLineEdit* e = edit(field.editName()))
            e->setToolTip(withBoardValue(fieldHelp(field), shown.shownText(field.editName()),
                                         onBoard.text(field.editName())));
    const QString bankTip =
        withBoardValue(choiceHelp(defaultBankButtons()), choiceText(shown.shownDefaultBank()),
                       choiceText(onBoard.defaultBank()));
    for (const RadioChoice& choice : defaultBankButtons().choices)
        radioButton(choice.button)->setToolTip(bankTip);
    const QString frequencyTip =
        withBoardValue(choiceHelp(frequencyButtons()), choiceText(shown.shownFrequency()),
                       choiceText(onBoard.frequencyMode()));
    for (const RadioChoice& choice : frequencyButtons().choices)
        radioButton(choice.button)->setToolTip(frequencyTip);
}
