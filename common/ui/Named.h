// Every control a person reads or edits carries an object name (how code and
// tests find it) and an accessible name (what a screen reader says it is).
#pragma once

#include "common/ui/ValueLabel.h"

#include <QString>

template <typename Widget> Widget* named(Widget* widget, const char* objectName, const QString& accessibleName)
{
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// A value label: its caption names it for assistive technology and its text is
// the value, both spoken together.
inline ValueLabel* valueLabel(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* label = new ValueLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}
