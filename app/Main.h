// The main window: background picture and menu. It does no device work itself;
// one second after it is shown it opens the set-up window.
#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class WindowTimer;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);

    QLabel* Image1;
    QAction* Serial1;         // "Open" / "Go"
    QAction* UpdateFirmware1; // "Up" / "Update Firmware"
    QAction* About1;          // "About"
    WindowTimer* Timer1;

    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void Serial1Click();
    void UpdateFirmware1Click();
    void About1Click();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
};
