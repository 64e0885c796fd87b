#include "common/ui/ValueLabel.h"

ValueLabel::ValueLabel(const QString& caption, QWidget* parent)
    : QLabel(parent)
    , m_caption(caption)
{
    setAccessibleName(caption);
}

void ValueLabel::setValue(const QString& value)
{
    setText(value);
    setAccessibleName(value.isEmpty() ? m_caption : m_caption + QStringLiteral(": ") + value);
}
