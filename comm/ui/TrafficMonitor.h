// The traffic monitor: transmit and receive logs, the telemetry grid and the
// sample grid of the selected sound file. Hidden until asked for.
#pragma once

class QShowEvent;

#include <QWidget>

class BoardLink;
class LogMemo;
class QCheckBox;
class QLabel;
class QTableWidget;

class TrafficMonitor : public QWidget {
    Q_OBJECT
public:
    explicit TrafficMonitor(QWidget* parent = nullptr);

    QCheckBox* viewCheck;      // "View": logging on or off
    QCheckBox* hexCheck;       // hexadecimal or text lines
    LogMemo* sentLog;            // transmit log
    LogMemo* receivedLog;            // receive log
    QTableWidget* telemetryGrid; // telemetry
    QTableWidget* sampleGrid; // samples of the selected sound file
    QTableWidget* appFlashGrid; // "App Flash"

    bool logging() const;
    bool hexMode() const;

    // Logs what goes out on the link and what comes in, as it happens.
    void attach(BoardLink& link);
    void logSent(const QByteArray& frame);
    void logReceived(const QByteArray& block);
    // The samples at the start of a sound file, in the sample grid.
    void showSamples(const QByteArray& sound);

protected:
    // Opens centred, within the screen's available area.
    void showEvent(QShowEvent* event) override;
};

// Sets a grid cell's text, creating the cell on first use.
void SetCell(QTableWidget* grid, int column, int row, const QString& text);
QString CellText(const QTableWidget* grid, int column, int row);
