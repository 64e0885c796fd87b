// The traffic monitor: transmit and receive logs and the telemetry grid.
#pragma once

#include <QWidget>

class THiddenForm : public QWidget {
    Q_OBJECT
public:
    explicit THiddenForm(QWidget* parent = nullptr);
};
