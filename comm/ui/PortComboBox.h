// The port list: tells its owner just before it drops down, so the list can be
// read again and follow a board plugged in after start.
#pragma once

#include <QComboBox>

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override;

signals:
    void aboutToShowPopup();
};
