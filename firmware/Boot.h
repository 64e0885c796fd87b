// The firmware update window.
#pragma once

#include <QWidget>

class TBootForm : public QWidget {
    Q_OBJECT
public:
    explicit TBootForm(QWidget* parent = nullptr);
};
