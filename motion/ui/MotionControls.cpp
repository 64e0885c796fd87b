// Builds the motion controls of the set-up window: the battery gauge, the live
// chart with its value labels, and the calibration buttons.
#include "app/SetupWindow.h"

#include "app/Shape.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/ui/Handlers.h"
#include "common/ui/ValueLabel.h"
#include "motion/ui/TelemetryChart.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int CHART_MIN_WIDTH = 420;
constexpr int CHART_MIN_HEIGHT = 260;
constexpr int CHART_STRETCH = 2; // the chart takes more of the column than the file list

// A value label whose size never changes with its text, so that a new value
// repaints the label without laying out the window again.
ValueLabel* valueLabel(const char* name, const QString& caption, const QString& widest, const QString& text,
                       QWidget* parent)
{
    auto* label = new ValueLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setValue(widest);
    label->setFixedSize(label->sizeHint());
    label->setValue(text);
    return label;
}
} // namespace

void SetupWindow::buildMotionControls()
{
    // The battery bar moves into a "Battery" box with its percentage beside it.
    batteryBox = new QGroupBox(QStringLiteral("Battery"), this);
    batteryBox->setObjectName(QStringLiteral("batteryBox"));
    batteryBox->setAccessibleName(QStringLiteral("Battery"));
    delete m_client->layout()->replaceWidget(batteryBar, batteryBox);
    auto* battery = new QHBoxLayout(batteryBox);
    auto* barSlot = new QWidget(batteryBox);
    barSlot->setFixedSize(Define::BATTERY_BAR_FULL_WIDTH, batteryBar->minimumHeight());
    batteryBar->setParent(barSlot);
    batteryBar->move(0, 0);
    battery->addWidget(barSlot);
    batteryPercent = valueLabel("batteryPercent", QStringLiteral("Battery percentage"), QStringLiteral("100 %"),
                        QStringLiteral("0"), batteryBox);
    battery->addWidget(batteryPercent);

    auto* values = new QHBoxLayout;
    const QString widest = QStringLiteral("X= -32768");
    xValue = valueLabel("xValue", QStringLiteral("X value"), widest, QStringLiteral("X=31292"), this);
    yValue = valueLabel("yValue", QStringLiteral("Y value"), widest, QStringLiteral("Y= -2765"), this);
    zValue = valueLabel("zValue", QStringLiteral("Z value"), widest, QStringLiteral("Z=3786"), this);
    gyroCheck = new QCheckBox(QStringLiteral("Accelerometer / Gyro"), this);
    gyroCheck->setObjectName(QStringLiteral("gyroCheck"));
    gyroCheck->setAccessibleName(QStringLiteral("Accelerometer / Gyro"));
    for (QWidget* w : std::initializer_list<QWidget*>{xValue, yValue, zValue, gyroCheck})
        values->addWidget(w);
    values->addStretch();
    sideColumn->addLayout(values);

    telemetryChart = new Motion::TelemetryChart(this);
    telemetryChart->setObjectName(QStringLiteral("telemetryChart"));
    telemetryChart->setAccessibleName(QStringLiteral("Accelerometer X, Y, Z"));
    telemetryChart->setMinimumSize(CHART_MIN_WIDTH, CHART_MIN_HEIGHT);
    sideColumn->addWidget(telemetryChart, CHART_STRETCH);

    autoCalibrationButton = new QPushButton(QStringLiteral("Auto"), calibrationBox);
    autoCalibrationButton->setObjectName(QStringLiteral("autoCalibrationButton"));
    autoCalibrationButton->setAccessibleName(QStringLiteral("Automatic calibration"));
    manualCalibrationButton = new QPushButton(QStringLiteral("Man."), calibrationBox);
    manualCalibrationButton->setObjectName(QStringLiteral("manualCalibrationButton"));
    manualCalibrationButton->setAccessibleName(QStringLiteral("Write calibration"));
    for (QPushButton* b : {autoCalibrationButton, manualCalibrationButton}) {
        calibrationBox->layout()->addWidget(b);
        b->setEnabled(false);
        m_setUpControls.append(b);
    }
    connectHandler(autoCalibrationButton, &QPushButton::clicked, this, [this] { calibrateAutomatically(); });
    connectHandler(manualCalibrationButton, &QPushButton::clicked, this, [this] { writeCalibration(); });
}
