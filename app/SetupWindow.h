// The set-up window: port panel, parameters, sounds, motion and diagnostics.
// Its controls are declared here and built in SetupWindow.cpp; its behaviour is
// defined by the subsystem that owns each part (comm/, params/, sound/,
// motion/, firmware/).
#pragma once

#include "common/ui/ValueLabel.h"
#include "params/Board.h"
#include "params/ParameterWriter.h"
#include "sound/ui/SoundPanel.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QFormLayout;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QVBoxLayout;
class MediaPlayer;
class QChartView;
class QLineSeries;
class QTreeView;
class QTemporaryFile;
class HandOver;
class BusyLock;
class MotionPanel;
class ConnectionCheck;
class Operation;
class QFileSystemModel;
class SoundBrowser;
class InfoFileBox;
class Shape;
class WindowTimer;
class QCheckBox;
namespace Params {
struct RadioGroup;
} // namespace Params

class SetupWindow : public QWidget {
    Q_OBJECT
public:
    explicit SetupWindow(QWidget* parent = nullptr);
    ~SetupWindow() override;

    // The board: its link and port, what was read of it, its mode and who holds it.
    Params::Board* board() const { return m_board; }
    // Until the panels exist, each of these is the window itself.
    SetupWindow* ports() { return this; }
    SetupWindow* parameters() { return this; }
    SetupWindow* header() { return this; }
    MotionPanel* motion() const { return m_motion; }
    SoundPanel* sounds() const { return m_sounds; }
    SoundBrowser* browser() const;
    InfoFileBox* fileInfo() const;

private:
    Params::Board* m_board;
    MotionPanel* m_motion = nullptr; // telemetry, chart, battery, recording, calibration
    SoundPanel* m_sounds = nullptr;  // sound browser, slot buttons, erasing, loading sounds
    HandOver* m_handOver = nullptr; // "FW": the board over to its loader
    BusyLock* m_busyLock;              // the controls that are off while an operation runs

public:
    // ---- Header -------------------------------------------------------------
    QFrame* identityBand = nullptr;
    QLabel* releaseCaption = nullptr;         // "Release n."
    ValueLabel* releaseNumber = nullptr;    // release number
    QLabel* serialCaption = nullptr;       // "Serial N."
    ValueLabel* serialNumber = nullptr;   // serial number
    QPushButton* writeSerialButton = nullptr; // "WriteSN", never shown

    // ---- Port panel ---------------------------------------------------------
    QFrame* portFrame = nullptr;
    QComboBox* portList = nullptr;
    Shape* portOpenIndicator = nullptr;
    QPushButton* openButton = nullptr;  // "Open "
    QPushButton* closeButton = nullptr; // "Close "

    // ---- Board status -------------------------------------------------------
    QGroupBox* modeBox = nullptr;        // "Tavrin Status"
    QRadioButton* activeModeButton = nullptr; // "Active"
    QRadioButton* setUpModeButton = nullptr;  // "SetUp"
    QRadioButton* txModeButton = nullptr; // "TX"

    // ---- "Parameters" tab ---------------------------------------------------
    QTabWidget* pages = nullptr;
    QGroupBox* parameterGroup = nullptr;        // the parameter group
    QPushButton* readParametersButton = nullptr;   // "Read Parameters"
    QPushButton* writeParametersButton = nullptr;   // "Write Parameters"
    QPushButton* saveParametersButton = nullptr; // "Save...": the screen to a parameter file
    QPushButton* loadParametersButton = nullptr; // "Load...": a parameter file to the screen
    QPushButton* verifyParametersButton = nullptr; // "Verify": where the screen and the board differ
    QRadioButton* defaultBank1Button = nullptr;
    QRadioButton* defaultBank2Button = nullptr;
    QRadioButton* defaultBank3Button = nullptr;
    QLabel* ledRowHeading = nullptr;              // heading, names the row the sliders act on
    QSlider* redBrightness = nullptr;        // brightness R
    QSlider* greenBrightness = nullptr;        // G
    QSlider* blueBrightness = nullptr;        // B
    QSlider* whiteBrightness = nullptr;        // W
    QList<QFrame*> rowPanels;            // the twelve sound rows, four per bank
    QList<QLabel*> rowCaptions;          // the caption label of each row panel
    QFrame* frequencyBox = nullptr;           // "Frequency"
    QRadioButton* frequencyStdButton = nullptr;    // "Std"
    QRadioButton* frequencyMedButton = nullptr;    // "Med", present but not shown
    QRadioButton* frequencyEvoButton = nullptr;   // "Evo"
    QGroupBox* calibrationBox = nullptr;     // "Calibration"
    QLineEdit* verticalCalibration = nullptr;         // "VERT."
    QLineEdit* horizontalCalibration = nullptr;         // "HORZ."
    QVBoxLayout* sideColumn = nullptr;    // right-hand column: sound browser, info, charts

    // The edits of the parameter screen by name ("bank1GuardRed", "bank1FlickerRed", ...).
    QLineEdit* edit(const QString& name) const;
    // The text of that edit; empty for a name that is none of them.
    QString editText(const QString& name) const;

    // The row the brightness sliders act on; none until a row caption is clicked.
    QLineEdit* redSliderTarget = nullptr;
    QLineEdit* greenSliderTarget = nullptr;
    QLineEdit* blueSliderTarget = nullptr;
    QLineEdit* whiteSliderTarget = nullptr;

    // ---- Hidden groups ------------------------------------------------------
    QGroupBox* factoryTestBox = nullptr; // "Collaudo"
    ValueLabel* serialLot = nullptr;  // serial number, first part
    ValueLabel* serialRunningNumber = nullptr;  // serial number, second part
    ValueLabel* oldSerialNumber = nullptr;   // old-format serial number
    QGroupBox* flashServiceBox = nullptr; // "Flash App."
    QGroupBox* bootServiceBox = nullptr; // "Boot App."

    // ---- Timers and state ---------------------------------------------------

    // ---- Port panel and settings file (comm/ui/SerialLink.cpp) ---------------
    void listPorts();
    // Reads the port list again while no port is open, keeping the selected port
    // when it is still there.
    void refreshPortList();
    void openSavedPort();
    void savePort();
    void openPort();
    void closePort();
    void closePortOnExit();
    void showPortOpen();
    void showPortClosed();
    void deviceLost();
    void windowShown();
    void windowClosing();
    // The check that runs when the window opens (2000 ms steps).
    ConnectionCheck* connectionCheck = nullptr;
    // "Read Parameters".
    void readParameters();

    // ---- Board status and default bank (params/ui/BoardMode.cpp) -------------
    void activeModeChosen();
    void setUpModeChosen();
    void txModeChosen();
    void defaultBank1Chosen();
    void defaultBank2Chosen();
    void defaultBank3Chosen();

    // ---- Parameters (params/) ----------------------------------------------
    // Shows on its control what a decoded reply changed.
    void showDecoded(const Params::DecoderEffect& effect);
    void selectSliderRow(int row);                  // the twelve row caption labels
    void brightnessMoved(int channel, int position); // the four brightness sliders
    void limitFlicker(QLineEdit* flicker);         // the twelve flicker edits
    void writeParameters();                       // "Write Parameters"
    void saveParameters();
    void loadParameters();
    // Clears the marks of the fields a loaded file changed (after a read or a write).
    void clearLoadedMarks();
    // Reads the board again and says, value by value, where it differs from the screen.
    void verifyParameters();

    // ---- Firmware update (firmware/ui/FirmwareButton.cpp) ----------------------
    QPushButton* firmwareButton = nullptr;  // "FW": hand the board over to its loader
    QLineEdit* flashAddress = nullptr;   // flash address of the word being sent, never shown
    QLineEdit* flashData = nullptr;   // flash data, the word being sent, never shown
    WindowTimer* handOverTimer = nullptr; // the hand-over's steps, 200 ms
    int handOverStep() const;              // the hand-over's next step
    void updateFirmware();
    // From "FW" until the firmware window shows; the lock follows.
    void setHandingOver(bool handingOver);
    // Opens the port again after the user moved the dip switches. When it cannot,
    // says why once and returns false: the procedure that asked stops there.
    bool reopenPort();
    void buildFirmwareButton();

    // ---- What a lost device cut short (each in its subsystem's file) ---------
    // Stops the work and says how far it got; empty when it was not running.
    QString handOverCutShort(const QString& port); // firmware/ui/FirmwareButton.cpp

    // Starts an operation the window owns from now on: the wait dialog shows its
    // progress and offers Cancel, and its end closes the dialog and tells its
    // message. False when the link refused it (nothing was sent).
    bool RunOperation(Operation* operation);

    // Controls that only set-up mode enables (AttivaSetup / DisattivaSetup).
    QList<QWidget*> m_setUpControls;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectLink();
    void buildConnectionCheck();
    // A port is in use, as far as the mode buttons and the connection check go.
    bool portInUse() const;
    void buildHeader(QVBoxLayout* top);
    void buildParametersTab();
    void buildParameterScreen(QVBoxLayout* group);
    void buildServiceGroups();
    // The motion panel goes below the sound browser; its calibration buttons into
    // the calibration box, where they write the fields it measures.
    void placeMotionPanel();
    // Each sound row's erase and slot buttons at the end of its row panel, the
    // sound actions above the rows.
    void placeSoundControls();
    void connectHandlers();
    void updateLock();
    void modeClicked(QRadioButton* button);
    // The controls that only set-up mode enables follow it.
    void enableSetUpControls(bool on);
    QString parameterFileFolder() const;
    QRadioButton* radioButton(const char* name) const;
    // The value of the selected button of the group; nothing when none is selected.
    std::optional<int> selectedValue(const Params::RadioGroup& group) const;
    void defaultBankChosen(QRadioButton* button, int bank);

    // Values never read are marked and never written back (params/UnreadValues.cpp).
    void watchUserValues();
    void userSetValue(int address);
    // The board's read has ended: the marks follow what answered.
    void readSweepEnded();
    void showUnreadMarks();
    // The checked plan of "Write Parameters" from the screen; on a bad edit,
    // shows why, puts the cursor there and returns nothing.
    std::optional<Params::WritePlan> planFromScreen();
    bool m_portChosen = false; // openPort has set serialPort()'s port in this run
    QHash<QString, QLineEdit*> m_edits;
    // Watches the sound folder, so a file copied in or removed shows in the list at once.
    QWidget* m_client = nullptr;    // everything the window shows, inside its scroll area
    bool m_placed = false;          // sized and placed at its first showing

    QString m_parameterFileFolder; // where the last parameter file was saved or loaded
};
