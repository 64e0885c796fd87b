// A label that shows a value: the release, a serial number, a battery reading.
// A screen reader speaks a label's accessible name in place of its text as soon
// as a name is set, so the name carries both: "Serial number: 1523-0300".
#pragma once

#include <QLabel>

class ValueLabel : public QLabel {
    Q_OBJECT
public:
    // The caption names the value for assistive technology; it is not drawn.
    explicit ValueLabel(const QString& caption, QWidget* parent = nullptr);

    const QString& caption() const { return m_caption; }
    QString value() const { return text(); }
    // Shows the value and names the label "caption: value" (the caption alone
    // while the value is empty).
    void setValue(const QString& value);

private:
    // Text goes through setValue, so the spoken name never falls behind.
    using QLabel::clear;
    using QLabel::setText;

    QString m_caption;
};
