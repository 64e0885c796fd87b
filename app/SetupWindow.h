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
class BusyLock;
class MotionPanel;
class PortPanel;
class HeaderPanel;
class Operation;
class QFileSystemModel;
class SoundBrowser;
class InfoFileBox;
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
    PortPanel* ports() const { return m_ports; }
    HeaderPanel* header() const { return m_header; }
    // Until the panels exist, each of these is the window itself.
    ParameterPanel* parameters() const { return m_parameters; }
    MotionPanel* motion() const { return m_motion; }
    SetupWindow* sounds() { return this; }
    SoundBrowser* browser() const { return m_browser; }
    InfoFileBox* fileInfo() const;
    SetupWindow* slotControls() { return this; }

private:
    Params::Board* m_board;
    MotionPanel* m_motion = nullptr; // telemetry, chart, battery, recording, calibration
    ParameterPanel* m_parameters = nullptr; // the "Parameters" group: values, sliders, bank, frequency
    PortPanel* m_ports = nullptr;    // port list, open and close, status buttons, connection check
    HeaderPanel* m_header = nullptr; // release, serial number, "FW" and the hidden service groups
    BusyLock* m_busyLock;              // the controls that are off while an operation runs
    SoundBrowser* m_browser = nullptr; // folders, sound files, "Info File ", waveform, preview

public:
    // ---- "Parameters" tab ---------------------------------------------------
    QTabWidget* pages = nullptr;
    QVBoxLayout* sideColumn = nullptr;    // right-hand column: sound browser, info, charts


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
    // The window shows: the telemetry grid's captions, the motion panel, the
    // sound list, then the panels (the connection check starts there).
    void windowShown();
    void connectLink();
    // A port is in use, as far as the mode buttons and the connection check go.
    bool portInUse() const;
    void buildHeader(QVBoxLayout* top);
    void buildParametersTab();
    // The motion panel goes below the sound browser; its calibration buttons into
    // the calibration box, where they write the fields it measures.
    void placeMotionPanel();
    void updateLock();
    // The controls that only set-up mode enables follow it.
    void enableSetUpControls(bool on);

    // Watches the sound folder, so a file copied in or removed shows in the list at once.
    QWidget* m_client = nullptr;    // everything the window shows, inside its scroll area
    bool m_placed = false;          // sized and placed at its first showing
};
