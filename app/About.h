// The about box: the maker's logo, the version and the credit lines.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

class TQorForm : public QWidget {
    Q_OBJECT
public:
    explicit TQorForm(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label4; // "VER. 16"
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Office97Button11; // "Ok", intentionally without an action

    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;
};
