// The set-up window: port panel, parameters, sounds, motion and diagnostics.
// Its controls are declared here and built in Serial1.cpp; its behaviour is
// defined by the subsystem that owns each part (comm/, params/, sound/,
// motion/, firmware/).
#pragma once

#include "params/ParameterDecoder.h"
#include "params/ParameterWriter.h"

#include <QHash>
#include <QList>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QVBoxLayout;
class LinkOperation;
class SerialPort;
class Shape;
class WindowTimer;

class TSerialForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TSerialForm1(QWidget* parent = nullptr);
    ~TSerialForm1() override;

    // ---- Serial component -------------------------------------------------
    SerialPort* ComPort1 = nullptr;
    // Replaces the serial component (tests install a scripted port).
    void setComPort(std::unique_ptr<SerialPort> port);
    // The running multi-frame operation, if any: it alone may send meanwhile.
    LinkOperation* Link = nullptr;

    // ---- Header -------------------------------------------------------------
    QFrame* Panel1 = nullptr;
    QLabel* Verlb = nullptr;         // "Release n."
    QLabel* Label1 = nullptr;        // release number
    QLabel* Label42 = nullptr;       // "Serial N."
    QLabel* Label21 = nullptr;       // serial number
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
    QGroupBox* GroupBox2 = nullptr;      // the parameter group
    QPushButton* SpeedButton4 = nullptr; // "Read Parameters"
    QPushButton* SpeedButton5 = nullptr; // "Write Parameters"
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

    // The row the brightness sliders act on; none until a row caption is clicked.
    QLineEdit* S_ED_R = nullptr;
    QLineEdit* S_ED_G = nullptr;
    QLineEdit* S_ED_B = nullptr;
    QLineEdit* S_ED_W = nullptr;

    // ---- Hidden groups ------------------------------------------------------
    QGroupBox* GroupBox1 = nullptr; // "Collaudo"
    QLabel* Label14 = nullptr;      // serial number, first part
    QLabel* Label43 = nullptr;      // serial number, second part
    QLabel* SN_OLD = nullptr;       // old-format serial number
    QGroupBox* GroupBox3 = nullptr; // "Flash App."
    QGroupBox* GroupBox4 = nullptr; // "Boot App."

    // ---- Timers and state ---------------------------------------------------
    WindowTimer* Timer1 = nullptr;     // parameter read sweep, 10 ms
    WindowTimer* Timer3 = nullptr;     // connection check, 2000 ms
    WindowTimer* WriteTimer = nullptr; // paces "Write Parameters", 100 ms
    int STEP = 0;
    bool COMMAND = false;
    QString SoundFolder; // the folder the sound-file browser shows

    // ---- Port panel and settings file (comm/SerialLink.cpp) ---------------
    void InitSeriale();
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
    void Timer3Timer();

    // ---- Receive dispatch (comm/SerialDispatch.cpp) ------------------------
    void ComPort1ReceiveCallBack(const QByteArray& Data);
    void ComPort1ReceiveCallBackRAW(const QByteArray& Data);
    // Routes a block by its content (the dispatch after logging and holding).
    void RouteBlock(const QByteArray& Data);
    void DisplayTrasmit(const QByteArray& Data);

    // ---- Senders (comm/SerialSenders.cpp) ----------------------------------
    void SendToBoard(const QByteArray& msg);
    // Logs and sends a frame; false (nothing logged or sent) while an operation
    // holds the link and this is not one of its steps.
    bool SendFrame(const QByteArray& frame);
    // Sends a frame and marks a reply as expected: the common path of every sender.
    void SendCommand(const QByteArray& frame);
    void WriteDato(int dato, int addr);
    void SetCloseReadSeq();
    void ReadBtnClick();
    void Timer1Timer();

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
    void WRITE_DATA_BANK1();
    void WRITE_DATA_BANK2();
    void WRITE_DATA_BANK3();
    void WriteTimerTimer();
    bool WritingParameters() const;

    // ---- Motion (motion/) --------------------------------------------------
    void UnpackData(const QByteArray& Data);
    void GraphUpdate();
    void ShowShot(const QByteArray& Data);
    void ChartReset();

    // ---- Sound (sound/) ----------------------------------------------------
    void StopBulkLoad();
    void FillFileList();
    void FileListBox1KeyDown(int key);
    int KEYPREC = 0; // the previous key pressed in the file list

    // ---- Firmware update (firmware/HandOver.cpp) ----------------------------
    QPushButton* FWBTN = nullptr;  // "FW": hand the board over to its loader
    QLineEdit* Edit85 = nullptr;   // flash address of the word being sent, never shown
    QLineEdit* Edit83 = nullptr;   // flash data, the word being sent, never shown
    WindowTimer* Timer8 = nullptr; // hand-over steps, 200 ms
    int STEP8 = 0;
    void FWBTNClick();
    void Timer8Timer();
    // Opens the port again after the user moved the dip switches. When it cannot,
    // says why once and returns false: the procedure that asked stops there.
    bool ReopenPort();
    void buildFirmwareControls();

    // Controls that only set-up mode enables (AttivaSetup / DisattivaSetup).
    QList<QWidget*> SetupControls;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildHeader(QVBoxLayout* top);
    void buildParametersTab();
    void buildParameterScreen(QVBoxLayout* group);
    void queueBankWrites(int bank);
    void sendNextParameter();
    void endParameterWrite();
    void buildHiddenGroups();
    void connectHandlers();
    void lockSendingControls(bool busy);
    void statusClicked(QRadioButton* button);
    void defaultBankClicked(QRadioButton* button, int bank);

    std::unique_ptr<SerialPort> m_ownedPort;
    std::unique_ptr<Params::ParameterDecoder> m_decoder;
    std::unique_ptr<Params::WritePlan> m_writePlan;
    QList<Params::ParameterWrite> m_writeQueue;
    QList<std::pair<QWidget*, bool>> m_lockedWhileBusy;
    int m_writesSent = 0;
    QHash<QString, QLineEdit*> m_edits;
};
