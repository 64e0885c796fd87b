// The shared wait dialog: a line of text, a progress bar and, when the caller
// makes the dialog tall enough, the "OK" and "Annulla" buttons.
#pragma once

#include <QWidget>

namespace Params {
class Board;
} // namespace Params

class QLabel;
class QProgressBar;
class QPushButton;

// Set by "OK": the operator confirms a calibration position.
extern bool CalibrationConfirmed;

class WaitDialog : public QWidget {
    Q_OBJECT
public:
    // Cancel reaches the operation that holds this board's link.
    explicit WaitDialog(Params::Board& board, QWidget* parent = nullptr);

    // The caption it was made with, which the connection check shows: an
    // operation's title is not left standing for work that is not it.
    static constexpr const char* STORED_CAPTION = "waitform";

    QLabel* message;
    QProgressBar* progressBar;
    QPushButton* okButton; // "OK"
    QPushButton* cancelButton; // "Annulla"

    // The window height in the classic convention (title bar included): 70 shows
    // only the text and the bar, 110 the upper part of the buttons, 140 or 144 all.
    int layoutHeight() const { return m_height; }
    void setLayoutHeight(int height);

    void confirm();
    void cancel();
    // The program's own close, when its work has ended. Hides QWidget::close so
    // that every close made through a WaitDialog pointer is told apart from the
    // user's close by the window frame, which while work runs asks as Cancel does.
    bool close();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Params::Board& m_board;
    int m_height;
    bool m_closingFromCode = false;
};
