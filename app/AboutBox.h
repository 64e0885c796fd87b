// The about box: the maker's logo, the version and the credit lines.
#pragma once

#include "common/ui/ValueLabel.h"

#include <QWidget>

class QLabel;
class QPushButton;

class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    QLabel* logo;
    ValueLabel* version; // "VER. 16"
    ValueLabel* productLine;
    ValueLabel* makerLine;
    ValueLabel* supportLine;
    QPushButton* okButton; // "Ok", intentionally without an action

    void showVersion();

protected:
    void showEvent(QShowEvent* event) override;
};
