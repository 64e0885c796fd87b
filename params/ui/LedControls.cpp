// Row selection for the brightness sliders, the sliders and the flicker limit.
#include "params/ui/ParameterPanel.h"

#include "common/Define.h"
#include "params/FlickerLimit.h"
#include "params/ParameterLayout.h"

#include <QLabel>
#include <QLineEdit>

using namespace Params;

namespace {
const char* const LEDS_ACTIVE = "LEDs Bar Brigthness active on ";
const char* const SELECTED_ROW_STYLE = "QLabel { background: #3fa9f5; color: white; border-radius: 3px; }";
} // namespace

void ParameterPanel::selectSliderRow(int row)
{
    const ScreenRow& screenRow = screenRows()[static_cast<size_t>(row)];
    QLabel* caption = rowCaptions[row];
    ledRowHeading->setText(QString::fromLatin1(LEDS_ACTIVE) + QString::fromLatin1(screenRow.bankText) +
                  QLatin1Char(' ') + caption->text());
    auto colourEdit = [&](Column column) {
        return edit(fieldAt(screenRow.bank, screenRow.row, column)->editName());
    };
    m_sliderTargets = {colourEdit(Column::R), colourEdit(Column::G), colourEdit(Column::B), colourEdit(Column::W)};
    // The look is ours to choose: the chosen row's caption is highlighted.
    for (QLabel* other : rowCaptions)
        other->setStyleSheet(other == caption ? QString::fromLatin1(SELECTED_ROW_STYLE) : QString());
}

void ParameterPanel::brightnessMoved(int channel, int position)
{
    if (QLineEdit* target = m_sliderTargets[static_cast<size_t>(channel)])
        target->setText(QString::number(Define::PARAMETER_MAX_VALUE - position));
}

void ParameterPanel::limitFlicker(QLineEdit* flicker)
{
    if (const QString limited = Params::FlickerLimited(flicker->text()); limited != flicker->text())
        flicker->setText(limited);
}
