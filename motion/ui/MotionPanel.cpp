#include "motion/ui/MotionPanel.h"

#include "app/Forms.h"
#include "app/Shape.h"
#include "comm/BoardLink.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/Define.h"
#include "common/ui/Handlers.h"
#include "common/ui/Named.h"
#include "motion/ui/TelemetryChart.h"
#include "motion/TelemetryFrame.h"
#include "motion/TelemetryRecorder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
constexpr int CHART_MIN_WIDTH = 420;
constexpr int CHART_MIN_HEIGHT = 260;
constexpr int BATTERY_BAR_HEIGHT = 16;
constexpr int BATTERY_BAR_START_WIDTH = 100;
const QColor BATTERY_BAR_COLOUR(255, 150, 0);

// A value label whose size never changes with its text, so that a new value
// repaints the label without laying out the window again.
ValueLabel* fixedValueLabel(const char* name, const QString& caption, const QString& widest, const QString& text,
                            QWidget* parent)
{
    auto* label = valueLabel(name, caption, parent);
    label->setValue(widest);
    label->setFixedSize(label->sizeHint());
    label->setValue(text);
    return label;
}
} // namespace

MotionPanel::MotionPanel(Params::Board& board, CalibrationSource calibrationSource, QWidget* parent)
    : QWidget(parent)
    , m_board(board)
    , m_calibrationSource(std::move(calibrationSource))
{
    setObjectName(QStringLiteral("motionPanel"));
    buildBattery();
    buildValues();
    buildCalibration();
    buildRecording();
    connect(m_board.link(), &BoardLink::telemetry, this, [this](const QByteArray& block) {
        showTelemetry(block);
        plotTelemetry();
    });
    connect(m_board.link(), &BoardLink::shot, this,
            [this](const QByteArray& block) { telemetryChart->showShot(Motion::DecodeShot(block)); });
}

MotionPanel::~MotionPanel() = default;

void MotionPanel::buildBattery()
{
    // The box lives in the header row; the set-up window puts it there.
    batteryBox = new QGroupBox(QStringLiteral("Battery"), this);
    batteryBox->setObjectName(QStringLiteral("batteryBox"));
    batteryBox->setAccessibleName(QStringLiteral("Battery"));
    auto* battery = new QHBoxLayout(batteryBox);
    auto* barSlot = new QWidget(batteryBox);
    barSlot->setFixedSize(Define::BATTERY_BAR_FULL_WIDTH, BATTERY_BAR_HEIGHT);
    batteryBar = new Shape(barSlot);
    batteryBar->setObjectName(QStringLiteral("batteryBar"));
    batteryBar->setAccessibleName(QStringLiteral("Battery level"));
    batteryBar->setFixedHeight(BATTERY_BAR_HEIGHT);
    batteryBar->move(0, 0);
    battery->addWidget(barSlot);
    batteryPercent = fixedValueLabel("batteryPercent", QStringLiteral("Battery percentage"), QStringLiteral("100 %"),
                                QStringLiteral("0"), batteryBox);
    battery->addWidget(batteryPercent);
}

void MotionPanel::buildValues()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* values = new QHBoxLayout;
    const QString widest = QStringLiteral("X= -32768");
    xValue = fixedValueLabel("xValue", QStringLiteral("X value"), widest, QStringLiteral("X=31292"), this);
    yValue = fixedValueLabel("yValue", QStringLiteral("Y value"), widest, QStringLiteral("Y= -2765"), this);
    zValue = fixedValueLabel("zValue", QStringLiteral("Z value"), widest, QStringLiteral("Z=3786"), this);
    gyroCheck = new QCheckBox(QStringLiteral("Accelerometer / Gyro"), this);
    gyroCheck->setObjectName(QStringLiteral("gyroCheck"));
    gyroCheck->setAccessibleName(QStringLiteral("Accelerometer / Gyro"));
    for (QWidget* w : std::initializer_list<QWidget*>{xValue, yValue, zValue, gyroCheck})
        values->addWidget(w);
    values->addStretch();
    column->addLayout(values);

    telemetryChart = new Motion::TelemetryChart(this);
    telemetryChart->setObjectName(QStringLiteral("telemetryChart"));
    telemetryChart->setAccessibleName(QStringLiteral("Accelerometer X, Y, Z"));
    telemetryChart->setMinimumSize(CHART_MIN_WIDTH, CHART_MIN_HEIGHT);
    column->addWidget(telemetryChart, 1);
}

void MotionPanel::windowShown()
{
    batteryBar->setBrushColor(BATTERY_BAR_COLOUR);
    batteryBar->setFixedWidth(BATTERY_BAR_START_WIDTH);
}

void MotionPanel::showTelemetry(const QByteArray& block)
{
    if (!Motion::DecodeTelemetry(block, Telemetry))
        return;
    recordTelemetryFrame();
    for (const Motion::GridCell& cell : Motion::TelemetryGridCells(Telemetry))
        SetCell(trafficMonitor->telemetryGrid, cell.column, cell.row, cell.text);
    const Motion::BatteryGauge gauge = MEASURES_BATTERY.add(Telemetry.Battery_V);
    // A fixed width that does not change must not cost a layout pass per frame.
    if (batteryBar->minimumWidth() != gauge.barWidth || batteryBar->maximumWidth() != gauge.barWidth)
        batteryBar->setFixedWidth(gauge.barWidth);
    batteryPercent->setValue(QString::number(gauge.percent) + QStringLiteral(" %"));
}

void MotionPanel::plotTelemetry()
{
    if (gyroCheck->isChecked()) {
        Telemetry.posx = Telemetry.rotx;
        Telemetry.posy = Telemetry.roty;
        Telemetry.posz = Telemetry.rotz;
    }
    telemetryChart->addFrame({Telemetry.posx, Telemetry.posy, Telemetry.posz, Telemetry.Battery_V});
    xValue->setValue(QStringLiteral("X= ") + QString::number(Telemetry.posx));
    yValue->setValue(QStringLiteral("Y= ") + QString::number(Telemetry.posy));
    zValue->setValue(QStringLiteral("Z= ") + QString::number(Telemetry.posz));
}

void MotionPanel::resetChart()
{
    telemetryChart->reset();
}
