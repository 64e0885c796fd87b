// The set-up window: port panel, parameters, sounds, motion and diagnostics.
// Its controls are declared here and built in Serial1.cpp; its behaviour is
// defined by the subsystem that owns each part (comm/, params/, sound/,
// motion/, firmware/).
#pragma once

#include "common/ValueLabel.h"
#include "params/ParameterDecoder.h"
#include "params/ParameterImage.h"
#include "params/ParameterWriter.h"
#include "params/ReadState.h"
#include "sound/ErasePlans.h"
#include "sound/FontPlan.h"
#include "sound/SampleStream.h"
#include "sound/SlotMap.h"

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
class BoardLink;
class HandOver;
class BusyLock;
class CalibrationOperation;
class ConnectionCheck;
class Operation;
class ReadSweep;
class QFileSystemModel;
class SerialPort;
class Shape;
class WindowTimer;
class QCheckBox;
namespace Params {
struct RadioGroup;
} // namespace Params
namespace Sound {
class BoardJournal;
} // namespace Sound
namespace Motion {
class TelemetryChart;
class TelemetryRecorder;
} // namespace Motion

class TSerialForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TSerialForm1(QWidget* parent = nullptr);
    ~TSerialForm1() override;

    // ---- Serial component and the link that owns it ---------------------------
    SerialPort* ComPort1 = nullptr; // the link's port
    // Replaces the serial component (tests install a scripted port).
    void setComPort(std::unique_ptr<SerialPort> port);
    // The port, what is sent and received on it, and the operation holding it.
    BoardLink* Link;

private:
    HandOver* m_handOver = nullptr; // "FW": the board over to its loader
    BusyLock* m_busyLock;       // the controls that are off while an operation runs

public:
    // ---- Header -------------------------------------------------------------
    QFrame* Panel1 = nullptr;
    QLabel* Verlb = nullptr;         // "Release n."
    ValueLabel* Label1 = nullptr;    // release number
    QLabel* Label42 = nullptr;       // "Serial N."
    ValueLabel* Label21 = nullptr;   // serial number
    QPushButton* Button10 = nullptr; // "WriteSN", never shown
    Shape* Shape2 = nullptr;         // battery bar

    // ---- Port panel ---------------------------------------------------------
    QFrame* Panel23 = nullptr;
    QComboBox* cbports = nullptr;
    Shape* shPortOpen = nullptr;
    QPushButton* OpenButton = nullptr;  // "Open "
    QPushButton* CloseButton = nullptr; // "Close "

    // ---- Board status -------------------------------------------------------
    QGroupBox* GroupBox5 = nullptr;        // "Tavrin Status"
    QRadioButton* RadioButton10 = nullptr; // "Active"
    QRadioButton* RadioButton9 = nullptr;  // "SetUp"
    QRadioButton* RadioButton13 = nullptr; // "TX"

    // ---- "Parameters" tab ---------------------------------------------------
    QTabWidget* PageControl1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;        // the parameter group
    QPushButton* SpeedButton4 = nullptr;   // "Read Parameters"
    QPushButton* SpeedButton5 = nullptr;   // "Write Parameters"
    QPushButton* SaveParameters = nullptr; // "Save...": the screen to a parameter file
    QPushButton* LoadParameters = nullptr; // "Load...": a parameter file to the screen
    QPushButton* VerifyParameters = nullptr; // "Verify": where the screen and the board differ
    QRadioButton* Def1 = nullptr;
    QRadioButton* Def2 = nullptr;
    QRadioButton* Def3 = nullptr;
    QLabel* Leds = nullptr;              // heading, names the row the sliders act on
    QSlider* TrackBar1 = nullptr;        // brightness R
    QSlider* TrackBar2 = nullptr;        // G
    QSlider* TrackBar3 = nullptr;        // B
    QSlider* TrackBar4 = nullptr;        // W
    QList<QFrame*> RowPanels;            // Panel2 .. Panel13
    QList<QLabel*> RowCaptions;          // the caption label of each row panel
    QFrame* Panel15 = nullptr;           // "Frequency"
    QRadioButton* lowcheck = nullptr;    // "Std"
    QRadioButton* Medcheck = nullptr;    // "Med", present but not shown
    QRadioButton* highcheck = nullptr;   // "Evo"
    QGroupBox* GroupBox10 = nullptr;     // "Calibration"
    QLineEdit* Edit43 = nullptr;         // "VERT."
    QLineEdit* Edit44 = nullptr;         // "HORZ."
    QVBoxLayout* SidePanel = nullptr;    // right-hand column: sound browser, info, charts
    QListWidget* FileListBox1 = nullptr; // the WAV files of the sound folder

    // The edits of the parameter screen by name ("Edit9", "RFBK1", ...).
    QLineEdit* edit(const QString& name) const;
    // The text of that edit; empty for a name that is none of them.
    QString editText(const QString& name) const;

    // The row the brightness sliders act on; none until a row caption is clicked.
    QLineEdit* S_ED_R = nullptr;
    QLineEdit* S_ED_G = nullptr;
    QLineEdit* S_ED_B = nullptr;
    QLineEdit* S_ED_W = nullptr;

    // ---- Hidden groups ------------------------------------------------------
    QGroupBox* GroupBox1 = nullptr; // "Collaudo"
    ValueLabel* Label14 = nullptr;  // serial number, first part
    ValueLabel* Label43 = nullptr;  // serial number, second part
    ValueLabel* SN_OLD = nullptr;   // old-format serial number
    QGroupBox* GroupBox3 = nullptr; // "Flash App."
    QGroupBox* GroupBox4 = nullptr; // "Boot App."

    // ---- Timers and state ---------------------------------------------------
    int STEP = 0;
    QString SoundFolder; // the folder the sound-file browser shows

    // ---- Port panel and settings file (comm/SerialLink.cpp) ---------------
    void InitSeriale();
    // Reads the port list again while no port is open, keeping the selected port
    // when it is still there.
    void RefreshPortList();
    void LoadSeriale();
    void SaveSeriale();
    void OpenPort();
    void ClosePort();
    void CloseSeriale();
    void ComPort1PortOpen();
    void ComPort1PortClose();
    void ComPort1Error();
    void ComPort1DeviceLost();
    void FormShow();
    void FormClose();
    // The check that runs when the window opens (Timer3, 2000 ms steps).
    ConnectionCheck* Check = nullptr;
    // The board is being handed over to its loader, or its firmware window is up:
    // it would not understand the check's frames.
    bool BoardOnLoader() const;
    // Refuses with a message naming what holds the board (an operation, or the
    // firmware update while the board is on its loader); false when nothing does.
    // For the paths no control locks: the file list's keys.
    bool RefuseWhileBoardBusy() const;

    // ---- Receive dispatch (comm/SerialDispatch.cpp) ------------------------
    void ComPort1ReceiveCallBack(const QByteArray& Data);
    void DisplayTrasmit(const QByteArray& Data);

    // ---- Senders (comm/SerialSenders.cpp) ----------------------------------
    void SendToBoard(const QByteArray& msg);
    // Logs and sends a frame; false (nothing logged or sent) while an operation
    // holds the link and this is not one of its steps.
    bool SendFrame(const QByteArray& frame);
    // Sends a frame and marks a reply as expected: the common path of every sender.
    void SendCommand(const QByteArray& frame);
    // Whether the last command still waits for its reply.
    bool COMMAND() const;
    void WriteDato(int dato, int addr);
    void SetCloseReadSeq();
    void ReadBtnClick();
    bool ReadingParameters() const;

    // ---- Board status and default bank (params/BoardMode.cpp) -------------
    void RadioButton10Click();
    void RadioButton9Click();
    void RadioButton13Click();
    void WriteModeBtn();
    void AttivaSetup();
    void DisattivaSetup();
    void Def1Click();
    void Def2Click();
    void Def3Click();
    // Selects a radio button as the program; its handler runs only when it was
    // not selected before, as with a user's click.
    static void SelectButton(QRadioButton* button);

    // ---- Parameters (params/) ----------------------------------------------
    void UnpackComand(const QByteArray& Data);
    void FormattaSerialNumber(int num);
    void RowCaptionClick(int row);                  // the twelve row caption labels
    void TrackBarChange(int channel, int position); // TrackBar1Change .. TrackBar4Change
    void FlickerChange(QLineEdit* flicker);         // RFBK1Change .. WFBK3Change
    void SpeedButton5Click();                       // "Write Parameters"
    bool WritingParameters() const;
    void SaveParametersClick();
    void LoadParametersClick();
    // Clears the marks of the fields a loaded file changed (after a read or a write).
    void ClearLoadedMarks();
    // Reads the board again and says, value by value, where it differs from the screen.
    void VerifyParametersClick();
    // Which values of the screen came from the board (or the user) in this connection.
    const Params::ReadState& readState() const { return m_readState; }

    // ---- Motion (motion/) --------------------------------------------------
    Motion::TelemetryChart* Chart2 = nullptr; // live chart
    QCheckBox* Acccheck = nullptr;            // "Accelerometer / Gyro"
    ValueLabel* Label61 = nullptr;            // "X= ..."
    ValueLabel* Label62 = nullptr;            // "Y= ..."
    ValueLabel* Label63 = nullptr;            // "Z= ..."
    QGroupBox* BatteryBox = nullptr;          // "Battery": Shape2 and Label8
    ValueLabel* Label8 = nullptr;             // battery percentage
    QPushButton* SpeedButton73 = nullptr;     // "Auto" calibration
    QPushButton* SpeedButton74 = nullptr;     // "Man." calibration
    void UnpackData(const QByteArray& Data);
    void GraphUpdate();
    void ShowShot(const QByteArray& Data);
    void ChartReset();
    void SpeedButton73Click(); // "Auto"
    void SpeedButton74Click(); // "Man."
    // Telemetry recording (motion/TelemetryRecording.cpp)
    QPushButton* RecordButton = nullptr; // "Record..." / "Stop (n frames)"
    void RecordButtonClick();
    void StopRecording();

    // ---- Sound (sound/) ----------------------------------------------------
    void StopBulkLoad();
    // F11 in the file list: stops the loading of sounds that runs (the base sound
    // set or a sound font) after the file being sent, and says what it stopped.
    QString StopLoading();
    void FillFileList();
    void FileListBox1KeyDown(int key);
    int KEYPREC = 0; // the previous key pressed in the file list

    // ---- Sound-file browser (sound/SoundBrowser.cpp) ------------------------
    QTreeView* DirectoryListBox1 = nullptr; // folder tree; the file list follows it
    QGroupBox* GroupBox13 = nullptr;        // "Info File "
    ValueLabel* Label35 = nullptr;          // file name of the selected file
    ValueLabel* Label23 = nullptr;          // "PCM": format code
    ValueLabel* Label24 = nullptr;          // "Mono": channels
    ValueLabel* Label28 = nullptr;          // "Sample rate"
    ValueLabel* Label30 = nullptr;          // "Bit / Sample"
    ValueLabel* Label37 = nullptr;          // "Size" in bytes, red when too big for a slot
    // The sound as the board will receive it (sound/InfoFile.cpp).
    ValueLabel* SoundFormat = nullptr;     // the file's real format
    ValueLabel* SoundConversion = nullptr; // what converting it for the board does
    ValueLabel* BoardSize = nullptr;       // bytes a slot receives, red when they do not fit
    ValueLabel* ClipNote = nullptr;        // samples the conversion clips
    QByteArray ConvertedWav;               // the selected sound as the board plays it, once converted
    QTemporaryFile* PreviewFile = nullptr; // ConvertedWav for the preview to play
    void buildBoardFacts(QFormLayout* info);
    void ShowBoardFacts(const QString& path);
    QLineEdit* Edit84 = nullptr;         // "Samples to skip (begin)"
    QLineEdit* Edit86 = nullptr;         // "Samples to skip (end)"
    QChartView* Chart1 = nullptr;        // waveform of the selected file
    QList<QLineSeries*> Chart1Series;    // the waveform is drawn in the first
    MediaPlayer* MediaPlayer1 = nullptr; // preview of the selected file
    ValueLabel* PreviewNote = nullptr;   // why there is no preview, when there is none
    qint64 FILE_SIZE = 0;                // of the selected file in bytes, -1 when unreadable
    bool SIZE_FILE = false;              // the selected file fits a one-sector slot
    bool SIZE_HUM = false;               // the selected file fits a hum slot
    // Replaces the preview player (tests install a fake).
    void setMediaPlayer(std::unique_ptr<MediaPlayer> player);
    // Full path of the file selected in the file list; empty when none is.
    QString SelectedSoundFile() const;
    void DirectoryListBox1Change();
    void ReadInfoFileClick();
    void Office97Button12Click(); // waveform and sample grid of the selected file
    void Office97Button11Click(); // preview of the selected file

    // ---- Bulk load of the base sound set (sound/BulkLoad.cpp) ---------------
    void Button2Click(); // "Test Sounds": the question, then LoadAll
    void LoadAll();

    // ---- Sound slots, erasing and upload (sound/) --------------------------
    // Slot buttons in the order of Sound::SoundSlots(), one erase button per row
    // panel in the order of RowPanels.
    QList<QPushButton*> SlotButtons;
    QList<QPushButton*> EraseButtons;
    QPushButton* SpeedButton6 = nullptr; // "Erase All Sounds"
    QLabel* Label58 = nullptr;           // the rule for sound files
    QMenu* PopupMenu1 = nullptr;         // context menu of FileListBox1
    void buildSoundControls();
    // The skip fields of the "Info File" group and its file-name line.
    QString SkipBeginText() const;
    QString SkipEndText() const;
    void ShowSoundFileName(const QString& path);
    void SlotButton(int slot);   // any slot button, by index into Sound::SoundSlots()
    void SlotMenuItem(int slot); // any item of PopupMenu1
    // The selected file into the slot that starts at Add.
    void WriteSector(quint32 Add);
    // The file's checks (size, skip fields), converted for the board, the offer to
    // trim a sound too long; the message when it is refused. *checksum: the file's.
    std::optional<Sound::PreparedUpload> CheckedUpload(const Sound::SoundSlot& slot, const QString& path,
                                                       QString* checksum);
    // Starts the upload operation of a file already checked.
    void StartUpload(const Sound::SoundSlot& slot, const QString& path, Sound::PreparedUpload upload,
                     const QString& checksum);
    // What went where (sound/Upload.cpp): the journal of the board whose serial
    // number was read since the port was opened; empty while none was.
    QString BoardSerial() const;
    Sound::BoardJournal* Journal = nullptr;
    // A sound font into a bank, and the journal's view (sound/FontImport.cpp).
    QPushButton* ImportFontButton = nullptr;   // "Import font..."
    QPushButton* SlotContentsButton = nullptr; // "Slot contents"
    // Says that the last sound operation was not journalled, until the board's
    // serial number has been read.
    QLabel* JournalNote = nullptr;
    void showJournalNote(const QString& text);
    void ImportFontClick();
    bool RunImport(int bank, QList<Sound::FontUpload> uploads);
    void SlotContentsClick();
    void EraseRow(Sound::SoundRow row, int sect); // sect: bank 0 to 2
    void CancellaSettori_POW(int sect) { EraseRow(Sound::SoundRow::Guard, sect); }
    void CancellaSettori_SWING(int sect) { EraseRow(Sound::SoundRow::Swing, sect); }
    void CancellaSettori_CLASH(int sect) { EraseRow(Sound::SoundRow::Clash, sect); }
    void CancellaSettori_PCLASH(int sect) { EraseRow(Sound::SoundRow::PowerClash, sect); }
    void ERASE_ALL_SOUND();
    // The slot buttons' and the menu items' handlers by name.
    using SlotKind = Sound::SlotKind;
    void BANK1_ON() { SlotButton(Sound::SlotIndex(1, SlotKind::PowerOn, 1)); }
    void BANK1_OFF() { SlotButton(Sound::SlotIndex(1, SlotKind::PowerOff, 1)); }
    void BANK1_GUARD() { SlotButton(Sound::SlotIndex(1, SlotKind::Hum, 1)); }
    void BANK1_SWING_1() { SlotButton(Sound::SlotIndex(1, SlotKind::Swing, 1)); }
    void BANK1_SWING_2() { SlotButton(Sound::SlotIndex(1, SlotKind::Swing, 2)); }
    void BANK1_SWING_3() { SlotButton(Sound::SlotIndex(1, SlotKind::Swing, 3)); }
    void BANK1_SWING_4() { SlotButton(Sound::SlotIndex(1, SlotKind::Swing, 4)); }
    void BANK1_SWING_5() { SlotButton(Sound::SlotIndex(1, SlotKind::Swing, 5)); }
    void BANK1_SWING_6() { SlotButton(Sound::SlotIndex(1, SlotKind::Swing, 6)); }
    void BANK1_CLASH_1() { SlotButton(Sound::SlotIndex(1, SlotKind::Clash, 1)); }
    void BANK1_CLASH_2() { SlotButton(Sound::SlotIndex(1, SlotKind::Clash, 2)); }
    void BANK1_CLASH_3() { SlotButton(Sound::SlotIndex(1, SlotKind::Clash, 3)); }
    void BANK1_CLASH_4() { SlotButton(Sound::SlotIndex(1, SlotKind::Clash, 4)); }
    void BANK1_CLASH_5() { SlotButton(Sound::SlotIndex(1, SlotKind::Clash, 5)); }
    void BANK1_CLASH_6() { SlotButton(Sound::SlotIndex(1, SlotKind::Clash, 6)); }
    void BANK1_CLASH_7() { SlotButton(Sound::SlotIndex(1, SlotKind::PowerClash, 1)); }
    void BANK1_CLASH_8() { SlotButton(Sound::SlotIndex(1, SlotKind::PowerClash, 2)); }
    void BANK1_CLASH_9() { SlotButton(Sound::SlotIndex(1, SlotKind::PowerClash, 3)); }
    void BANK1_CLASH_10() { SlotButton(Sound::SlotIndex(1, SlotKind::PowerClash, 4)); }
    void BANK2_ON() { SlotButton(Sound::SlotIndex(2, SlotKind::PowerOn, 1)); }
    void BANK2_OFF() { SlotButton(Sound::SlotIndex(2, SlotKind::PowerOff, 1)); }
    void BANK2_GUARD() { SlotButton(Sound::SlotIndex(2, SlotKind::Hum, 1)); }
    void BANK2_SWING_1() { SlotButton(Sound::SlotIndex(2, SlotKind::Swing, 1)); }
    void BANK2_SWING_2() { SlotButton(Sound::SlotIndex(2, SlotKind::Swing, 2)); }
    void BANK2_SWING_3() { SlotButton(Sound::SlotIndex(2, SlotKind::Swing, 3)); }
    void BANK2_SWING_4() { SlotButton(Sound::SlotIndex(2, SlotKind::Swing, 4)); }
    void BANK2_SWING_5() { SlotButton(Sound::SlotIndex(2, SlotKind::Swing, 5)); }
    void BANK2_SWING_6() { SlotButton(Sound::SlotIndex(2, SlotKind::Swing, 6)); }
    void BANK2_CLASH_1() { SlotButton(Sound::SlotIndex(2, SlotKind::Clash, 1)); }
    void BANK2_CLASH_2() { SlotButton(Sound::SlotIndex(2, SlotKind::Clash, 2)); }
    void BANK2_CLASH_3() { SlotButton(Sound::SlotIndex(2, SlotKind::Clash, 3)); }
    void BANK2_CLASH_4() { SlotButton(Sound::SlotIndex(2, SlotKind::Clash, 4)); }
    void BANK2_CLASH_5() { SlotButton(Sound::SlotIndex(2, SlotKind::Clash, 5)); }
    void BANK2_CLASH_6() { SlotButton(Sound::SlotIndex(2, SlotKind::Clash, 6)); }
    void BANK2_CLASH_7() { SlotButton(Sound::SlotIndex(2, SlotKind::PowerClash, 1)); }
    void BANK2_CLASH_8() { SlotButton(Sound::SlotIndex(2, SlotKind::PowerClash, 2)); }
    void BANK2_CLASH_9() { SlotButton(Sound::SlotIndex(2, SlotKind::PowerClash, 3)); }
    void BANK2_CLASH_10() { SlotButton(Sound::SlotIndex(2, SlotKind::PowerClash, 4)); }
    void BANK3_ON() { SlotButton(Sound::SlotIndex(3, SlotKind::PowerOn, 1)); }
    void BANK3_OFF() { SlotButton(Sound::SlotIndex(3, SlotKind::PowerOff, 1)); }
    void BANK3_GUARD() { SlotButton(Sound::SlotIndex(3, SlotKind::Hum, 1)); }
    void BANK3_SWING_1() { SlotButton(Sound::SlotIndex(3, SlotKind::Swing, 1)); }
    void BANK3_SWING_2() { SlotButton(Sound::SlotIndex(3, SlotKind::Swing, 2)); }
    void BANK3_SWING_3() { SlotButton(Sound::SlotIndex(3, SlotKind::Swing, 3)); }
    void BANK3_SWING_4() { SlotButton(Sound::SlotIndex(3, SlotKind::Swing, 4)); }
    void BANK3_SWING_5() { SlotButton(Sound::SlotIndex(3, SlotKind::Swing, 5)); }
    void BANK3_SWING_6() { SlotButton(Sound::SlotIndex(3, SlotKind::Swing, 6)); }
    void BANK3_CLASH_1() { SlotButton(Sound::SlotIndex(3, SlotKind::Clash, 1)); }
    void BANK3_CLASH_2() { SlotButton(Sound::SlotIndex(3, SlotKind::Clash, 2)); }
    void BANK3_CLASH_3() { SlotButton(Sound::SlotIndex(3, SlotKind::Clash, 3)); }
    void BANK3_CLASH_4() { SlotButton(Sound::SlotIndex(3, SlotKind::Clash, 4)); }
    void BANK3_CLASH_5() { SlotButton(Sound::SlotIndex(3, SlotKind::Clash, 5)); }
    void BANK3_CLASH_6() { SlotButton(Sound::SlotIndex(3, SlotKind::Clash, 6)); }
    void BANK3_CLASH_7() { SlotButton(Sound::SlotIndex(3, SlotKind::PowerClash, 1)); }
    void BANK3_CLASH_8() { SlotButton(Sound::SlotIndex(3, SlotKind::PowerClash, 2)); }
    void BANK3_CLASH_9() { SlotButton(Sound::SlotIndex(3, SlotKind::PowerClash, 3)); }
    void BANK3_CLASH_10() { SlotButton(Sound::SlotIndex(3, SlotKind::PowerClash, 4)); }
    void PowerOn1Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::PowerOn, 1)); }
    void PowerOff1Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::PowerOff, 1)); }
    void Background1Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Hum, 1)); }
    void Swing11Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Swing, 1)); }
    void Swing21Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Swing, 2)); }
    void Swing31Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Swing, 3)); }
    void Swing4Sect71Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Swing, 4)); }
    void Swing51Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Swing, 5)); }
    void Swing6Sec91Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Swing, 6)); }
    void Clash11Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Clash, 1)); }
    void Clash21Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Clash, 2)); }
    void Clash31Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Clash, 3)); }
    void Clash41Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Clash, 4)); }
    void Clash4Sect131Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Clash, 5)); }
    void Clash4Sect132Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::Clash, 6)); }
    void PowerClash2Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::PowerClash, 1)); }
    void PowerCLash141Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::PowerClash, 2)); }
    void PowerClash142Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::PowerClash, 3)); }
    void PowerClash144Click() { SlotMenuItem(Sound::SlotIndex(1, SlotKind::PowerClash, 4)); }
    void PowerOnSect01Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::PowerOn, 1)); }
    void PowerOFFSect1Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::PowerOff, 1)); }
    void Background2Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Hum, 1)); }
    void Swing12Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Swing, 1)); }
    void Swing22Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Swing, 2)); }
    void Swing32Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Swing, 3)); }
    void Swing41Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Swing, 4)); }
    void Swing52Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Swing, 5)); }
    void Swig61Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Swing, 6)); }
    void Clash12Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Clash, 1)); }
    void Clash22Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Clash, 2)); }
    void Clash32Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Clash, 3)); }
    void Clash42Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Clash, 4)); }
    void Clash51Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Clash, 5)); }
    void Clash61Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::Clash, 6)); }
    void PowerClash131Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::PowerClash, 1)); }
    void PowerClash132Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::PowerClash, 2)); }
    void PowerClash133Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::PowerClash, 3)); }
    void PowerClash134Click() { SlotMenuItem(Sound::SlotIndex(2, SlotKind::PowerClash, 4)); }
    void PoweOn1Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::PowerOn, 1)); }
    void PowerOff2Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::PowerOff, 1)); }
    void Background3Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Hum, 1)); }
    void Swing13Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Swing, 1)); }
    void Swing23Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Swing, 2)); }
    void Swing33Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Swing, 3)); }
    void Swing42Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Swing, 4)); }
    void Swing53Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Swing, 5)); }
    void Swing61Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Swing, 6)); }
    void CLash13Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Clash, 1)); }
    void Clash23Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Clash, 2)); }
    void CLash33Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Clash, 3)); }
    void Clash43Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Clash, 4)); }
    void Clash52Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Clash, 5)); }
    void Clash62Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::Clash, 6)); }
    void PowerClash135Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::PowerClash, 1)); }
    void PowerClash136Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::PowerClash, 2)); }
    void PowerClash137Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::PowerClash, 3)); }
    void PowerClash138Click() { SlotMenuItem(Sound::SlotIndex(3, SlotKind::PowerClash, 4)); }

    // ---- Firmware update (firmware/FirmwareButton.cpp) ----------------------
    QPushButton* FWBTN = nullptr;  // "FW": hand the board over to its loader
    QLineEdit* Edit85 = nullptr;   // flash address of the word being sent, never shown
    QLineEdit* Edit83 = nullptr;   // flash data, the word being sent, never shown
    WindowTimer* Timer8 = nullptr; // the hand-over's steps, 200 ms
    int STEP8() const;              // the hand-over's next step
    bool HandingOver = false; // from "FW" until the firmware window shows
    void FWBTNClick();
    void setHandingOver(bool handingOver);
    // Opens the port again after the user moved the dip switches. When it cannot,
    // says why once and returns false: the procedure that asked stops there.
    bool ReopenPort();
    void buildFirmwareControls();

    // ---- What a lost device cut short (each in its subsystem's file) ---------
    // Stops the work and says how far it got; empty when it was not running.
    QString BulkLoadLost(const QString& port); // sound/BulkLoad.cpp
    QString HandOverLost(const QString& port); // firmware/FirmwareButton.cpp

    // Starts an operation the window owns from now on: the wait dialog shows its
    // progress and offers Cancel, and its end closes the dialog and tells its
    // message. False when the link refused it (nothing was sent).
    bool RunOperation(Operation* operation);

    // Controls that only set-up mode enables (AttivaSetup / DisattivaSetup).
    QList<QWidget*> SetupControls;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectLink();
    void buildConnectionCheck();
    Operation* startReadSweep();
    void buildHeader(QVBoxLayout* top);
    void buildParametersTab();
    void buildParameterScreen(QVBoxLayout* group);
    void buildHiddenGroups();
    void buildSoundBrowser();
    void buildInfoFileGroup(QWidget* page);
    void connectHandlers();
    void updateLock();
    void statusClicked(QRadioButton* button);
    QString parameterFileFolder() const;
    QRadioButton* radioButton(const char* name) const;
    // The value of the selected button of the group; nothing when none is selected.
    std::optional<int> selectedValue(const Params::RadioGroup& group) const;
    void defaultBankClicked(QRadioButton* button, int bank);
    // Motion (motion/)
    void buildMotionControls();
    void buildTelemetryRecording();
    void recordTelemetryFrame();
    void reportRecordingFailure();
    void showRecordingState();
    std::unique_ptr<Motion::TelemetryRecorder> m_recorder;
    QString m_recordingFolder;
    // Starts a calibration; its end closes the dialog and tells its message.
    // True while it runs on.
    bool runCalibration(CalibrationOperation* calibration);

    std::unique_ptr<Params::ParameterDecoder> m_decoder;
    // Values never read are marked and never written back (params/UnreadValues.cpp).
    Params::ReadState m_readState;
    // What the board holds as far as this connection has read or written it:
    // its serial number, its default bank (params/BoardMode.cpp).
    Params::ParameterImage m_board;
    // The port closed, changed or was lost: nothing of the board is known.
    void forgetBoard();
    bool m_decoding = false; // the decoder, not the user, is changing the screen
    void watchUserValues();
    void userSetValue(int address);
    // whole: the read ran to its end (neither cancelled nor cut by a lost port).
    void readSweepEnded(const ReadSweep& sweep, bool whole);
    void showUnreadMarks();
    // The checked plan of "Write Parameters" from the screen; on a bad edit,
    // shows why, puts the cursor there and returns nothing.
    std::optional<Params::WritePlan> planFromScreen();
    bool m_portChosen = false; // OpenPort has set ComPort1's port in this run
    QHash<QString, QLineEdit*> m_edits;
    std::unique_ptr<MediaPlayer> m_mediaPlayer;
    bool m_followingFolder = false; // the tree is being pointed at the sound folder
    // Watches the sound folder, so a file copied in or removed shows in the list at once.
    QFileSystemModel* m_soundFiles = nullptr;
    bool m_revealingFolder = false; // the tree keeps the sound folder in view until the user scrolls
    QWidget* m_client = nullptr;    // everything the window shows, inside its scroll area
    bool m_placed = false;          // sized and placed at its first showing
    void revealSoundFolder();
    void relistSoundFiles();

    QString m_parameterFileFolder; // where the last parameter file was saved or loaded
};
