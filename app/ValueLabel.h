// Labels that show a value (a size, a rate, a file name) carry it in their
// accessible description too, so that a screen reader reads the value and not
// only the label's name.
#pragma once

#include <QString>

class QLabel;

void SetValueText(QLabel* label, const QString& text);
