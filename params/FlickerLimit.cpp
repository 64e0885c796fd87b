#include "params/FlickerLimit.h"

#include "common/Define.h"
#include "common/Framework.h"
#include "params/ParameterLayout.h"

namespace Params {

bool IsFlicker(const ParameterField& field)
{
    return field.column >= Column::Rf && field.column <= Column::Wf;
}

QString FlickerLimited(const QString& text)
{
    return StrToInt(text) > Define::FLICKER_MAX ? QString::number(Define::FLICKER_MAX) : text;
}

} // namespace Params
