// The about box: the maker's logo, the version and the credit lines.
#pragma once

#include "common/ValueLabel.h"

#include <QWidget>

class QLabel;
class QPushButton;

class TQorForm : public QWidget {
    Q_OBJECT
public:
    explicit TQorForm(QWidget* parent = nullptr);

    QLabel* Image1;
    ValueLabel* Label4; // "VER. 16"
    ValueLabel* Label1;
    ValueLabel* Label2;
    ValueLabel* Label3;
    QPushButton* Office97Button11; // "Ok", intentionally without an action

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};
