// The main window: background picture and menu. It does no device work itself;
// one second after it is shown it opens the set-up window.
#pragma once

#include <QMainWindow>

class QAction;
class QLabel;
class WindowTimer;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    QLabel* background;
    QAction* openSetupAction;         // "Open" / "Go"
    QAction* updateFirmwareAction; // "Up" / "Update Firmware"
    QAction* aboutAction;          // "About"
    WindowTimer* setupTimer;

    void paintBackground();
    void startUp();
    void openSetupWindow();
    void showSetupWindow();
    void showFirmwareWindow();
    void showAbout();
    void closing();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
};
