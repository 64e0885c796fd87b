// The motion panel of the set-up window: the live telemetry values and chart,
// the battery gauge, shots, telemetry recording and the sensor calibration.
// The set-up window places two of its parts elsewhere: the battery box in the
// header row and the calibration buttons in the calibration box.
#pragma once

#include "common/ui/BoardPanel.h"
#include "common/ui/ProgressView.h"
#include "motion/CalibrationOperation.h"
#include "motion/TelemetryFrame.h"
#include "params/Board.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QPushButton;
class Shape;
class ValueLabel;
namespace Motion {
class TelemetryChart;
class TelemetryRecorder;
} // namespace Motion

class MotionPanel : public BoardPanel {
    Q_OBJECT
public:
    // The two calibration constants as typed, read when a calibration starts.
    using CalibrationSource = std::function<CalibrationOperation::Constants()>;

    MotionPanel(Params::Board& board, CalibrationSource calibrationSource, ProgressView progressView,
                QWidget* parent = nullptr);
    ~MotionPanel() override;

    // For the window to place: the "Battery" box in the header row, "Auto" and
    // "Man." in the calibration box.
    QWidget* batteryBox() const;
    QList<QPushButton*> calibrationButtons() const;

    // The window opens: the battery bar starts again from its first width.
    void fill() override;
    // Recording and the gyro choice only look at what arrives.
    QList<QWidget*> keptLiveWhileLocked() const override;
    // A recording ends with the board.
    void boardLost() override;
    void resetChart();
    // Ends a recording, if one runs: leaving TX, losing the device, quitting.
    void stopRecording();

signals:
    // The automatic calibration wants the board in TX, as the status buttons put it.
    void txModeWanted();
    void verticalMeasured(const QString& text);
    void horizontalMeasured(const QString& text);
    // A telemetry frame's cells for the traffic monitor's grid.
    void telemetryCellsDecoded(const QList<Motion::GridCell>& cells);

private:
    void buildBattery();
    void buildValues();
    void buildCalibration();
    void buildRecording();
    void showTelemetry(const QByteArray& block);
    void plotTelemetry();
    void toggleRecording();
    void calibrateAutomatically();
    void writeCalibration();
    bool runCalibration(CalibrationOperation* calibration);
    void recordTelemetryFrame();
    void reportRecordingFailure();
    void showRecordingState();

    CalibrationSource m_calibrationSource;
    ProgressView m_progressView;
    std::unique_ptr<Motion::TelemetryRecorder> m_recorder;
    QString m_recordingFolder;

    QGroupBox* m_batteryBox = nullptr; // "Battery": the bar and the percentage
    Shape* m_batteryBar = nullptr;     // its width follows the battery reading
    ValueLabel* m_batteryPercent = nullptr;
    ValueLabel* m_xValue = nullptr;   // "X= ..."
    ValueLabel* m_yValue = nullptr;   // "Y= ..."
    ValueLabel* m_zValue = nullptr;   // "Z= ..."
    QCheckBox* m_gyroCheck = nullptr; // "Accelerometer / Gyro"
    Motion::TelemetryChart* m_telemetryChart = nullptr;
    QPushButton* m_recordButton = nullptr;            // "Record..." / "Stop (n frames)"
    QPushButton* m_autoCalibrationButton = nullptr;   // "Auto"
    QPushButton* m_manualCalibrationButton = nullptr; // "Man."
};
