// The firmware update window: choose an Intel HEX file, erase the board's
// application through its loader, send the file word by word with the loader
// acknowledging each line, then bring the board back to its application and
// read its parameters again.
#pragma once

class QShowEvent;

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
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
    WindowTimer* Timer1 = nullptr;

    QString FILETOPROGRAM;
    int index = 0;   // lines sent in this run
    int TIMEOUT = 0; // ticks waited since the last acknowledgement
    int STEP1 = 0;
    int FILE_SIZE = 0;

    void FileButtonClick();
    void EraseFlashbtnClick();
    void ProgramFlashBtnClick();
    void Timer1Timer();
    // Sends the words of one line, pausing after each; false when the line is
    // not Intel HEX. A field that is not hexadecimal raises the conversion error
    // after the words before it have gone out.
    bool DecodeHexLine(const QString& line);
    static qint64 TextfileSize(const QString& name);

    // The time of day as the labels show it (tests fix it).
    std::function<QString()> timeOfDay;

private:
    void buildControls();
    bool sendNextLine();
    void finishFile();
    void stopRun();
    void showValue(QLabel* label, const QString& text);

    QStringList m_lines;    // what this run sends, up to the end-of-file record
    int m_nextLine = 0;     // the next line to read
    bool m_running = false; // this window holds the link
    QString m_lastFolder;   // where the file chooser starts next time

protected:
    // Opens centred, within the screen's available area.
    void showEvent(QShowEvent* event) override;
};
