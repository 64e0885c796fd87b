// The set-up window: port panel, parameters, sounds, motion and diagnostics.
// Its controls are declared here and built in SetupWindow.cpp; its behaviour is
// defined by the subsystem that owns each part (comm/, params/, sound/,
// motion/, firmware/).
#pragma once

#include "common/ui/ValueLabel.h"
#include "params/Board.h"
#include "params/ui/ParameterPanel.h"
#include "sound/ErasePlans.h"
#include "sound/FontPlan.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

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
namespace Sound {
class BoardJournal;
} // namespace Sound

class SetupWindow : public QWidget {
    Q_OBJECT
public:
    explicit SetupWindow(QWidget* parent = nullptr);
    ~SetupWindow() override;

    // The board: its link and port, what was read of it, its mode and who holds it.
    Params::Board* board() const { return m_board; }
    // Until the panels exist, each of these is the window itself.
    SetupWindow* ports() { return this; }
    ParameterPanel* parameters() const { return m_parameters; }
    SetupWindow* header() { return this; }
    MotionPanel* motion() const { return m_motion; }
    SetupWindow* sounds() { return this; }
    SoundBrowser* browser() const { return m_browser; }
    InfoFileBox* fileInfo() const;
    SetupWindow* slotControls() { return this; }

private:
    Params::Board* m_board;
    MotionPanel* m_motion = nullptr; // telemetry, chart, battery, recording, calibration
    ParameterPanel* m_parameters = nullptr; // the "Parameters" group: values, sliders, bank, frequency
    HandOver* m_handOver = nullptr; // "FW": the board over to its loader
    BusyLock* m_busyLock;              // the controls that are off while an operation runs
    SoundBrowser* m_browser = nullptr; // folders, sound files, "Info File ", waveform, preview

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
    QVBoxLayout* sideColumn = nullptr;    // right-hand column: sound browser, info, charts

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

    // ---- Board status (params/ui/BoardMode.cpp) ------------------------------
    void activeModeChosen();
    void setUpModeChosen();
    void txModeChosen();

    // ---- Parameters (params/) ----------------------------------------------
    // Shows on its control what a decoded reply changed.
    void showDecoded(const Params::DecoderEffect& effect);

    // ---- Sound (sound/) ----------------------------------------------------
    void stopBulkLoad();
    // F11 in the file list: stops the loading of sounds that runs (the base sound
    // set or a sound font) after the file being sent, and says what it stopped.
    QString stopLoading();
    void fileListKeyPressed(int key);
    int m_previousKey = 0; // the previous key pressed in the file list


    // ---- Bulk load of the base sound set (sound/ui/BulkLoad.cpp) ---------------
    void askToLoadBaseSounds(); // "Test Sounds": the question, then loadBaseSounds
    void loadBaseSounds();

    // ---- Sound slots, erasing and upload (sound/) --------------------------
    // Slot buttons in the order of Sound::SoundSlots(), one erase button per row
    // panel in the order of rowPanels.
    QList<QPushButton*> slotButtons;
    QList<QPushButton*> eraseButtons;
    QPushButton* eraseAllButton = nullptr; // "Erase All Sounds"
    QLabel* soundFileRule = nullptr;           // the rule for sound files
    QMenu* slotMenu = nullptr;         // context menu of soundFileList
    // The erase and slot buttons go into the parameter rows, the sound row above them.
    void buildSoundControls(const QList<QFrame*>& rowPanels, QGroupBox* parameterGroup);
    // The skip fields of the "Info File" group and its file-name line.
    QString beginSkipText() const;
    QString endSkipText() const;
    void showSoundFileName(const QString& path);
    void uploadToSlot(int slot);   // any slot button, by index into Sound::SoundSlots()
    void uploadFromMenu(int slot); // any item of slotMenu
    // The selected file into the slot that starts at Add.
    void uploadToSlotAt(quint32 Add);
    // The file's checks (size, skip fields), converted for the board, the offer to
    // trim a sound too long; the message when it is refused. *checksum: the file's.
    std::optional<Sound::PreparedUpload> checkedUpload(const Sound::SoundSlot& slot, const QString& path,
                                                       QString* checksum);
    // Starts the upload operation of a file already checked.
    void startUpload(const Sound::SoundSlot& slot, const QString& path, Sound::PreparedUpload upload,
                     const QString& checksum);
    // What went where (sound/ui/Upload.cpp): the journal of the board whose serial
    // number was read since the port was opened.
    Sound::BoardJournal* journal = nullptr;
    // A sound font into a bank, and the journal's view (sound/ui/FontImport.cpp).
    QPushButton* importFontButton = nullptr;   // "Import font..."
    QPushButton* slotContentsButton = nullptr; // "Slot contents"
    // Says that the last sound operation was not journalled, until the board's
    // serial number has been read.
    QLabel* journalNote = nullptr;
    void showJournalNote(const QString& text);
    void importFont();
    bool runImport(int bank, QList<Sound::FontUpload> uploads);
    void showSlotContents();
    void eraseRow(Sound::SoundRow row, int sect); // sect: bank 0 to 2
    void eraseAllSounds();

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
    void buildServiceGroups();
    // The motion panel goes below the sound browser; its calibration buttons into
    // the calibration box, where they write the fields it measures.
    void placeMotionPanel();
    void connectHandlers();
    void updateLock();
    void modeClicked(QRadioButton* button);
    // The controls that only set-up mode enables follow it.
    void enableSetUpControls(bool on);

    bool m_portChosen = false; // openPort has set serialPort()'s port in this run
    // Watches the sound folder, so a file copied in or removed shows in the list at once.
    QWidget* m_client = nullptr;    // everything the window shows, inside its scroll area
    bool m_placed = false;          // sized and placed at its first showing
};
