// The port panel of the set-up window: the port list, opening and closing the
// port, the settings file that remembers it, the board's status buttons
// (Active, SetUp, TX), the connection check that runs when the window opens,
// and what a lost device does to all of it.
#pragma once

#include "common/ui/BoardPanel.h"
#include "common/ui/ProgressView.h"
#include "params/Board.h"

#include <QString>
#include <functional>

class ConnectionCheck;
class QComboBox;
class QFrame;
class QGroupBox;
class QPushButton;
class QRadioButton;
class Shape;

class PortPanel : public BoardPanel {
    Q_OBJECT
public:
    // What the window knows beyond the port.
    struct Hooks {
        // A port is in use as far as the status buttons and the connection check
        // go: opened, or held by the lock of an operation or a hand-over.
        std::function<bool()> portInUse;
        // A lost device stops this work too; says how far it got, or nothing.
        std::function<QString(const QString& port)> cutShortElsewhere;
    };

    PortPanel(Params::Board& board, Hooks hooks, ProgressView progressView, QWidget* parent = nullptr);

    // The check that runs when the window opens (2000 ms steps).
    ConnectionCheck* connectionCheck() const { return m_connectionCheck; }

    // ---- The port and the settings file (PortPanelOpening.cpp) ---------------
    void listPorts();
    // Reads the port list again while no port is open, keeping the selected port
    // when it is still there.
    void refreshPortList();
    void openSavedPort();
    void savePort();
    void openPort();
    void closePort();
    void closePortOnExit();
    // Opens the port again after the user moved the dip switches. When it cannot,
    // says why once and returns false: the procedure that asked stops there.
    bool reopenPort();
    // The window shows: the connection check starts, unless the board is on its loader.
    void fill() override;

    // ---- Board status ----------------------------------------------------------
    // Selects the mode's status button as a click would and sends the mode, even
    // when it was selected already.
    void chooseMode(Params::Board::Mode mode);
    void activeModeChosen();
    void setUpModeChosen();
    void txModeChosen();

signals:
    // A status button sent its mode to the board.
    void modeEntered(Params::Board::Mode mode);
    // The device is gone and the port closed; the message comes after this.
    void connectionLost();
    // The port saved in the settings file is about to open: what was logged of
    // the port before belongs to another connection.
    void savedPortOpening();

private:
    void buildPortFrame();
    void buildModeBox();
    void buildConnectionCheck();
    void connectBoard();
    void modeClicked(QRadioButton* button);
    QRadioButton* modeButton(Params::Board::Mode mode) const;
    // The component has closed itself: everything that talked to the board stops.
    void deviceLost();

    Hooks m_hooks;
    ProgressView m_progressView;
    bool m_portChosen = false; // openPort has set serialPort()'s port in this run
    QFrame* m_portFrame = nullptr;
    QComboBox* m_portList = nullptr;
    Shape* m_portOpenIndicator = nullptr;
    QPushButton* m_openButton = nullptr;        // "Open "
    QPushButton* m_closeButton = nullptr;       // "Close "
    QGroupBox* m_modeBox = nullptr;             // "Tavrin Status"
    QRadioButton* m_activeModeButton = nullptr; // "Active"
    QRadioButton* m_setUpModeButton = nullptr;  // "SetUp"
    QRadioButton* m_txModeButton = nullptr;     // "TX"
    ConnectionCheck* m_connectionCheck = nullptr;
};
