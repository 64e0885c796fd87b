// The motion panel of the set-up window: the live telemetry values and chart,
// the battery gauge, shots, telemetry recording and the sensor calibration.
// The set-up window places two of its parts elsewhere: the battery box in the
// header row and the calibration buttons in the calibration box.
#pragma once

#include "motion/CalibrationOperation.h"
#include "params/Board.h"

#include <QString>
#include <QWidget>
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

class MotionPanel : public QWidget {
    Q_OBJECT
public:
    // The two calibration constants as typed, read when a calibration starts.
    using CalibrationSource = std::function<CalibrationOperation::Constants()>;

    MotionPanel(Params::Board& board, CalibrationSource calibrationSource, QWidget* parent = nullptr);
    ~MotionPanel() override;

    QGroupBox* batteryBox = nullptr;     // "Battery": batteryBar and batteryPercent
    Shape* batteryBar = nullptr;         // its width follows the battery reading
    ValueLabel* batteryPercent = nullptr;
    ValueLabel* xValue = nullptr; // "X= ..."
    ValueLabel* yValue = nullptr; // "Y= ..."
    ValueLabel* zValue = nullptr; // "Z= ..."
    QCheckBox* gyroCheck = nullptr; // "Accelerometer / Gyro"
    Motion::TelemetryChart* telemetryChart = nullptr;
    QPushButton* recordButton = nullptr;            // "Record..." / "Stop (n frames)"
    QPushButton* autoCalibrationButton = nullptr;   // "Auto"
    QPushButton* manualCalibrationButton = nullptr; // "Man."

    // The window opens: the battery bar starts again from its first width.
    void windowShown();
    void resetChart();
    void toggleRecording();
    // Ends a recording, if one runs: leaving TX, losing the device, quitting.
    void stopRecording();
    void calibrateAutomatically();
    void writeCalibration();

signals:
    // The automatic calibration wants the board in TX, as the status buttons put it.
    void txModeWanted();
    void verticalMeasured(const QString& text);
    void horizontalMeasured(const QString& text);

private:
    void buildBattery();
    void buildValues();
    void buildCalibration();
    void buildRecording();
    void showTelemetry(const QByteArray& block);
    void plotTelemetry();
    bool runCalibration(CalibrationOperation* calibration);
    void recordTelemetryFrame();
    void reportRecordingFailure();
    void showRecordingState();

    Params::Board& m_board;
    CalibrationSource m_calibrationSource;
    std::unique_ptr<Motion::TelemetryRecorder> m_recorder;
    QString m_recordingFolder;
};
