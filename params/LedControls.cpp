// Row selection for the brightness sliders, the sliders and the flicker limit.
#include "app/Serial1.h"

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

void TSerialForm1::RowCaptionClick(int row)
{
    const ScreenRow& screenRow = screenRows()[static_cast<size_t>(row)];
    QLabel* caption = RowCaptions[row];
    Leds->setText(QString::fromLatin1(LEDS_ACTIVE) + QString::fromLatin1(screenRow.bankText) +
                  QLatin1Char(' ') + caption->text());
    auto colourEdit = [&](Column column) {
        return edit(fieldAt(screenRow.bank, screenRow.row, column)->editName());
    };
    S_ED_R = colourEdit(Column::R);
    S_ED_G = colourEdit(Column::G);
    S_ED_B = colourEdit(Column::B);
    S_ED_W = colourEdit(Column::W);
    // The look is ours to choose: the chosen row's caption is highlighted.
    for (QLabel* other : RowCaptions)
        other->setStyleSheet(other == caption ? QString::fromLatin1(SELECTED_ROW_STYLE) : QString());
}

void TSerialForm1::TrackBarChange(int channel, int position)
{
    QLineEdit* const selected[] = {S_ED_R, S_ED_G, S_ED_B, S_ED_W};
    if (QLineEdit* target = selected[channel])
        target->setText(QString::number(Define::PARAMETER_MAX_VALUE - position));
}

void TSerialForm1::FlickerChange(QLineEdit* flicker)
{
    if (const QString limited = Params::FlickerLimited(flicker->text()); limited != flicker->text())
        flicker->setText(limited);
}
