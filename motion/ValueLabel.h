// A label that shows a value: its accessible name says what it is, and the
// value it shows is also its accessible description, so a screen reader reads both.
#pragma once

class QLabel;
class QString;

void ShowValue(QLabel* label, const QString& text);
