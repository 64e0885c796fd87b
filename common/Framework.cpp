#include "common/Framework.h"

#include "common/Define.h"

#include <cmath>
#include <limits>

Exception::Exception(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toStdString())
{
}

bool TryStrToInt(const QString& text, int& value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    // Only an optional sign and ASCII digits: no blanks inside, no other numerals.
    int start = (trimmed[0] == u'+' || trimmed[0] == u'-') ? 1 : 0;
    if (start == trimmed.size())
        return false;
    for (int i = start; i < trimmed.size(); ++i)
        if (trimmed[i] < u'0' || trimmed[i] > u'9')
            return false;
    bool ok = false;
    const int parsed = trimmed.toInt(&ok, 10);
    if (!ok)
        return false;
    value = parsed;
    return true;
}

QString ElidedValue(const QString& value)
{
    if (value.size() <= Define::QUOTED_VALUE_MAX)
        return value;
    return value.left(Define::QUOTED_VALUE_MAX) + QStringLiteral("...");
}

EConvertError NotAnInteger(const QString& text)
{
    return EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(ElidedValue(text)));
}

int StrToInt(const QString& text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw NotAnInteger(text);
    return value;
}

long long RoundHalfEven(double value)
{
    // Explicit rather than std::nearbyint, which depends on the process-wide rounding mode.
    const double floorValue = std::floor(value);
    const double diff = value - floorValue;
    double result = floorValue;
    if (diff > 0.5)
        result = floorValue + 1.0;
    else if (diff == 0.5)
        result = std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
    return static_cast<long long>(result);
}
