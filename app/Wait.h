// The shared wait dialog: a line of text, a progress bar and, when the caller
// makes the dialog tall enough, the "OK" and "Annulla" buttons.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// Set by "OK": the operator confirms a calibration position.
extern bool CALIBRAZIONE;

class Twaitform : public QWidget {
    Q_OBJECT
public:
    explicit Twaitform(QWidget* parent = nullptr);

    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QPushButton* Button1; // "OK"
    QPushButton* Button2; // "Annulla"

    // The window height in the classic convention (title bar included): 70 shows
    // only the text and the bar, 110 the upper part of the buttons, 140 or 144 all.
    int Height() const { return m_height; }
    void setHeight(int height);

    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int m_height;
};
