// The firmware update window: choose an Intel HEX file, erase the board's
// application through its loader, send the file word by word with the loader
// acknowledging each line, then bring the board back to its application and
// read its parameters again.
#pragma once

#include "firmware/HexFile.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QShowEvent;
class QProgressBar;
class QPushButton;
class WindowTimer;

class TBootForm : public QWidget {
    Q_OBJECT
public:
    explicit TBootForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr; // "File to upload"
    QLabel* Label2 = nullptr; // the chosen file's full name
    QLabel* Label4 = nullptr; // "Start time"
    QLabel* Label3 = nullptr; // start time of the last run
    QLabel* Label6 = nullptr; // "End Time"
    QLabel* Label5 = nullptr; // end time of the last run
    QProgressBar* Gauge1 = nullptr;
    QPushButton* FileButton = nullptr;
    QPushButton* EraseFlashbtn = nullptr;
    QPushButton* ProgramFlashBtn = nullptr;
    QLabel* FileSummary = nullptr; // what the chosen file puts on the board
    QLabel* RunProgress = nullptr; // words written and time left
    WindowTimer* Timer1 = nullptr;
    WindowTimer* EraseTimer = nullptr; // waits for the loader's erase acknowledgement

    QString FILETOPROGRAM;
    int index = 0;   // lines sent in this run
    int TIMEOUT = 0; // ticks waited since the last acknowledgement
    int STEP1 = 0;
    int FILE_SIZE = 0;
    int EraseTicks = 0; // ticks waited for the erase acknowledgement

    void FileButtonClick();
    void EraseFlashbtnClick();
    void ProgramFlashBtnClick();
    void Timer1Timer();
    void EraseTimerTimer();
    // Sends the words of one line, pausing after each; false when the line is
    // not Intel HEX. A field that is not hexadecimal raises the conversion error
    // after the words before it have gone out.
    bool DecodeHexLine(const QString& line);
    static qint64 TextfileSize(const QString& name);
    // After the device went away: what the board holds, when an erase or a run
    // was cut short by it; empty otherwise. Asked once per loss.
    QString TakeLossNote();

    // The time of day as the labels show it (tests fix it).
    std::function<QString()> timeOfDay;

private:
    void buildControls();
    // The file's summary, shown, when it can be sent whole; otherwise the user is
    // told why, followed by the aftermath.
    std::optional<Hex::HexSummary> checkFile(const QString& path, QStringList* lines = nullptr,
                                             const QString& aftermath = {});
    void sendErase();
    void endEraseWait();
    bool sendNextLine();
    void showProgress();
    void finishFile();
    void stopRun();
    void showValue(QLabel* label, const QString& text);

    QStringList m_lines;       // what this run sends, up to the end-of-file record
    int m_nextLine = 0;        // the next line to read
    bool m_running = false;    // this window holds the link
    bool m_lostMidway = false; // the device went away during an erase or a run
    Hex::HexSummary m_summary; // of the file this run sends
    int m_wordsSent = 0;
    qint64 m_msLeft = 0;  // of the run, at the loader's pace
    QString m_lastFolder; // where the file chooser starts next time

protected:
    // Opens centred, within the screen's available area.
    void showEvent(QShowEvent* event) override;
};
