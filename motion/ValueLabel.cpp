#include "motion/ValueLabel.h"

#include <QLabel>

void ShowValue(QLabel* label, const QString& text)
{
    label->setText(text);
    label->setAccessibleDescription(text);
}
