// The set-up window lays out the panels and wires what one panel needs of
// another: the header, the port panel and the battery on top; the parameters
// beside the sound browser and the motion panel below. Each panel owns its
// controls and talks to the board model; only this window knows them all.
#pragma once

// Whoever reaches a panel through the window finds its controls declared.
#include "comm/ui/PortPanel.h"
#include "common/ui/ProgressView.h"
#include "motion/ui/MotionPanel.h"
#include "params/Board.h"
#include "params/ui/HeaderPanel.h"
#include "params/ui/ParameterPanel.h"
#include "params/ui/ProfilePanel.h"
#include "sound/ui/SoundPanel.h"

#include <QList>
#include <QWidget>

class BoardPanel;
class BusyLock;
class InfoFileBox;
class Operation;
class QTabWidget;
class QVBoxLayout;
class SoundBrowser;

class SetupWindow : public QWidget {
    Q_OBJECT
public:
    explicit SetupWindow(QWidget* parent = nullptr);
    ~SetupWindow() override;

    // The board: its link and port, what was read of it, its mode and who holds it.
    Params::Board* board() const { return m_board; }
    PortPanel* ports() const { return m_ports; }
    HeaderPanel* header() const { return m_header; }
    ParameterPanel* parameters() const { return m_parameters; }
    MotionPanel* motion() const { return m_motion; }
    SoundPanel* sounds() const { return m_sounds; }
    ProfilePanel* profiles() const { return m_profiles; }
    // The sound panel's browser and its "Info File" group.
    SoundBrowser* browser() const;
    InfoFileBox* fileInfo() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The wait dialog, made after this window from its board.
    static ProgressView progressView();
    void buildHeader(QVBoxLayout* top);
    void buildParametersTab();
    // The motion panel goes below the sound browser; its calibration buttons into
    // the calibration box, where they write the fields it measures.
    void placeMotionPanel();
    // The erase and slot buttons go into the parameter rows, the sound row above them.
    void placeSoundControls();
    void connectLink();
    // The window shows: the telemetry grid's captions and the sound list, then
    // each panel fills itself (the port panel's connection check starts there).
    void windowShown();
    // A port is in use, as far as the mode buttons and the connection check go.
    bool portInUse() const;
    void updateLock();
    // Starts an operation the window owns from now on: the wait dialog shows its
    // progress and offers Cancel, and its end closes the dialog and tells its
    // message. False when the link refused it (nothing was sent).
    bool runOperation(Operation* operation);

    Params::Board* m_board;
    BusyLock* m_busyLock;                   // the controls that are off while an operation runs
    HeaderPanel* m_header = nullptr;        // release, serial number, "FW" and the hidden service groups
    PortPanel* m_ports = nullptr;           // port list, open and close, status buttons, connection check
    ParameterPanel* m_parameters = nullptr; // the "Parameters" group: values, sliders, bank, frequency
    SoundPanel* m_sounds = nullptr;         // sound browser, slot buttons, erasing, loading sounds
    ProfilePanel* m_profiles = nullptr;     // saving, applying and comparing board profiles
    MotionPanel* m_motion = nullptr;        // telemetry, chart, battery, recording, calibration
    // The panels the window fills, locks and tells of a lost board, in the order it does.
    QList<BoardPanel*> m_panels;
    QTabWidget* m_pages = nullptr;
    QVBoxLayout* m_sideColumn = nullptr; // right-hand column: sound browser, info, charts
    QWidget* m_client = nullptr;         // everything the window shows, inside its scroll area
    bool m_placed = false;               // sized and placed at its first showing
};
