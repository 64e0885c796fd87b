// The flicker colours run from 0 to 100: a larger number in a flicker edit,
// typed or read from the board (an unset byte reads 255), becomes 100 as soon as
// it is there. The screen and a board read without the screen apply the same rule,
// so both show, save and write the same value.
#pragma once

#include <QString>

namespace Params {

struct ParameterField;

bool IsFlicker(const ParameterField& field);
// The text a flicker edit keeps once `text` is set: 100 in place of a larger
// number. Raises EConvertError for text that is no integer.
QString FlickerLimited(const QString& text);

} // namespace Params
