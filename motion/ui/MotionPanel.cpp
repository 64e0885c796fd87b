#include "motion/ui/MotionPanel.h"

#include "app/Shape.h"
#include "comm/BoardLink.h"
#include "common/Define.h"
#include "common/ui/Handlers.h"
#include "common/ui/Named.h"
#include "motion/TelemetryFrame.h"
#include "motion/TelemetryRecorder.h"
#include "motion/ui/TelemetryChart.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
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

MotionPanel::MotionPanel(Params::Board& board, CalibrationSource calibrationSource, ProgressView progressView,
                         QWidget* parent)
    : BoardPanel(board, parent)
    , m_calibrationSource(std::move(calibrationSource))
    , m_progressView(std::move(progressView))
{
    setObjectName(QStringLiteral("motionPanel"));
    buildBattery();
    buildValues();
    buildCalibration();
    buildRecording();
    connect(board.link(), &BoardLink::telemetry, this, [this](const QByteArray& block) {
        showTelemetry(block);
        plotTelemetry();
    });
    connect(board.link(), &BoardLink::shot, this,
            [this](const QByteArray& block) { m_telemetryChart->showShot(Motion::DecodeShot(block)); });
}

MotionPanel::~MotionPanel() = default;

void MotionPanel::buildBattery()
{
    // The box lives in the header row; the set-up window puts it there.
    m_batteryBox = new QGroupBox(QStringLiteral("Battery"), this);
    m_batteryBox->setObjectName(QStringLiteral("batteryBox"));
    m_batteryBox->setAccessibleName(QStringLiteral("Battery"));
    auto* battery = new QHBoxLayout(m_batteryBox);
    auto* barSlot = new QWidget(m_batteryBox);
    barSlot->setFixedSize(Define::BATTERY_BAR_FULL_WIDTH, BATTERY_BAR_HEIGHT);
    m_batteryBar = new Shape(barSlot);
    m_batteryBar->setObjectName(QStringLiteral("batteryBar"));
    m_batteryBar->setAccessibleName(QStringLiteral("Battery level"));
    m_batteryBar->setFixedHeight(BATTERY_BAR_HEIGHT);
    m_batteryBar->move(0, 0);
    battery->addWidget(barSlot);
    m_batteryPercent = fixedValueLabel("batteryPercent", QStringLiteral("Battery percentage"),
                                       QStringLiteral("100 %"), QStringLiteral("0"), m_batteryBox);
    battery->addWidget(m_batteryPercent);
}

void MotionPanel::buildValues()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* values = new QHBoxLayout;
    const QString widest = QStringLiteral("X= -32768");
    m_xValue = fixedValueLabel("xValue", QStringLiteral("X value"), widest, QStringLiteral("X=31292"), this);
    m_yValue = fixedValueLabel("yValue", QStringLiteral("Y value"), widest, QStringLiteral("Y= -2765"), this);
    m_zValue = fixedValueLabel("zValue", QStringLiteral("Z value"), widest, QStringLiteral("Z=3786"), this);
    m_gyroCheck = new QCheckBox(QStringLiteral("Accelerometer / Gyro"), this);
    m_gyroCheck->setObjectName(QStringLiteral("gyroCheck"));
    m_gyroCheck->setAccessibleName(QStringLiteral("Accelerometer / Gyro"));
    for (QWidget* w : std::initializer_list<QWidget*>{m_xValue, m_yValue, m_zValue, m_gyroCheck})
        values->addWidget(w);
    values->addStretch();
    column->addLayout(values);

    m_telemetryChart = new Motion::TelemetryChart(this);
    m_telemetryChart->setObjectName(QStringLiteral("telemetryChart"));
    m_telemetryChart->setAccessibleName(QStringLiteral("Accelerometer X, Y, Z"));
    m_telemetryChart->setMinimumSize(CHART_MIN_WIDTH, CHART_MIN_HEIGHT);
    column->addWidget(m_telemetryChart, 1);
}

QWidget* MotionPanel::batteryBox() const
{
    return m_batteryBox;
}

QList<QPushButton*> MotionPanel::calibrationButtons() const
{
    return {m_autoCalibrationButton, m_manualCalibrationButton};
}

QList<QWidget*> MotionPanel::keptLiveWhileLocked() const
{
    return {m_recordButton, m_gyroCheck};
}

void MotionPanel::boardLost()
{
    stopRecording();
}

void MotionPanel::fill()
{
    m_batteryBar->setBrushColor(BATTERY_BAR_COLOUR);
    m_batteryBar->setFixedWidth(BATTERY_BAR_START_WIDTH);
}

void MotionPanel::showTelemetry(const QByteArray& block)
{
    if (!Motion::DecodeTelemetry(block, Telemetry))
        return;
    recordTelemetryFrame();
    emit telemetryCellsDecoded(Motion::TelemetryGridCells(Telemetry));
    const Motion::BatteryGauge gauge = MEASURES_BATTERY.add(Telemetry.Battery_V);
    // A fixed width that does not change must not cost a layout pass per frame.
    if (m_batteryBar->minimumWidth() != gauge.barWidth || m_batteryBar->maximumWidth() != gauge.barWidth)
        m_batteryBar->setFixedWidth(gauge.barWidth);
    m_batteryPercent->setValue(QString::number(gauge.percent) + QStringLiteral(" %"));
}

void MotionPanel::plotTelemetry()
{
    if (m_gyroCheck->isChecked()) {
        Telemetry.posx = Telemetry.rotx;
        Telemetry.posy = Telemetry.roty;
        Telemetry.posz = Telemetry.rotz;
    }
    m_telemetryChart->addFrame({Telemetry.posx, Telemetry.posy, Telemetry.posz, Telemetry.Battery_V});
    m_xValue->setValue(QStringLiteral("X= ") + QString::number(Telemetry.posx));
    m_yValue->setValue(QStringLiteral("Y= ") + QString::number(Telemetry.posy));
    m_zValue->setValue(QStringLiteral("Z= ") + QString::number(Telemetry.posz));
}

void MotionPanel::resetChart()
{
    m_telemetryChart->reset();
}
