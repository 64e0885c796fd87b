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

namespace Params {
class Board;
} // namespace Params
class Operation;
class QLabel;
class QShowEvent;
class QProgressBar;
class QPushButton;
class WindowTimer;

class FirmwareWindow : public QWidget {
    Q_OBJECT
public:
    // What the way back after a run asks of the set-up window: its port and
    // mode controls and its parameter read, as a user would use them.
    struct ReturnSteps {
        std::function<void()> closePort;
        // False when the port cannot be opened again: the way back stops there.
        std::function<bool()> reopenPort;
        std::function<void()> selectActiveMode;
        std::function<void()> selectSetUpMode;
        std::function<void()> readParameters;
    };

    FirmwareWindow(Params::Board& board, ReturnSteps returnSteps, QWidget* parent = nullptr);

    QLabel* fileCaption = nullptr; // "File to upload"
    QLabel* fileName = nullptr; // the chosen file's full name
    QLabel* startCaption = nullptr; // "Start time"
    QLabel* startTime = nullptr; // start time of the last run
    QLabel* endCaption = nullptr; // "End Time"
    QLabel* endTime = nullptr; // end time of the last run
    QProgressBar* linesSentBar = nullptr;
    QPushButton* fileButton = nullptr;
    QPushButton* eraseButton = nullptr;
    QPushButton* programButton = nullptr;
    QLabel* fileSummary = nullptr; // what the chosen file puts on the board
    QLabel* runProgress = nullptr; // words written and time left
    WindowTimer* returnTimer = nullptr; // the way back to the application after a run

    QString fileToProgram;
    // 1 while the file's lines go out, then the steps of the way back.
    enum RunStep {
        SEND_LINES = 1,
        CLOSE_PORT = 2,
        ASK_FOR_APPLICATION = 3,
        OPEN_PORT = 4,
        SELECT_ACTIVE = 5,
        SELECT_SETUP = 6,
        READ_PARAMETERS = 7,
        STOP = 8,
    };
    int runStep = 0;
    int fileSize = 0;

    void chooseFile();
    void eraseFlash();
    void programFlash();
    void returnStep();
    static qint64 textFileSize(const QString& name);
    // After the device went away: what the board holds, when an erase or a run
    // was cut short by it; empty otherwise. Asked once per loss.
    QString takeLossNote();

    // The time of day as the labels show it (tests fix it).
    std::function<QString()> timeOfDay;

signals:
    // A word of the file went to the loader (the set-up window's flash fields).
    void wordSent(int address, int word);

private:
    void buildControls();
    // The file's summary, shown, when it can be sent whole; otherwise the user is
    // told why, followed by the aftermath.
    std::optional<Hex::HexSummary> checkFile(const QString& path, QStringList* lines = nullptr,
                                             const QString& aftermath = {});
    // The end of the file's lines: on success the way back to the application.
    void finishRun(Operation* run, bool ok, const QString& message);
    void showValue(QLabel* label, const QString& text);

    Params::Board& m_board;
    ReturnSteps m_returnSteps;
    bool m_lostMidway = false; // the device went away during an erase or a run
    QString m_lastFolder;      // where the file chooser starts next time

protected:
    // Opens centred, within the screen's available area.
    void showEvent(QShowEvent* event) override;
};
