#include "app/ValueLabel.h"

#include <QLabel>

void SetValueText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}
