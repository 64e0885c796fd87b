// Builds the motion controls of the set-up window: the battery gauge, the live
// chart with its value labels, and the calibration buttons.
#include "app/Serial1.h"

#include "app/Shape.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/ValueLabel.h"
#include "motion/TelemetryChart.h"
#include "common/Handlers.h"

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

void TSerialForm1::buildMotionControls()
{
    // The battery bar moves into a "Battery" box with its percentage beside it.
    BatteryBox = new QGroupBox(QStringLiteral("Battery"), this);
    BatteryBox->setObjectName(QStringLiteral("BatteryBox"));
    BatteryBox->setAccessibleName(QStringLiteral("Battery"));
    delete m_client->layout()->replaceWidget(Shape2, BatteryBox);
    auto* battery = new QHBoxLayout(BatteryBox);
    auto* barSlot = new QWidget(BatteryBox);
    barSlot->setFixedSize(Define::BATTERY_BAR_FULL_WIDTH, Shape2->minimumHeight());
    Shape2->setParent(barSlot);
    Shape2->move(0, 0);
    battery->addWidget(barSlot);
    Label8 = valueLabel("Label8", QStringLiteral("Battery percentage"), QStringLiteral("100 %"),
                        QStringLiteral("0"), BatteryBox);
    battery->addWidget(Label8);

    auto* values = new QHBoxLayout;
    const QString widest = QStringLiteral("X= -32768");
    Label61 = valueLabel("Label61", QStringLiteral("X value"), widest, QStringLiteral("X=31292"), this);
    Label62 = valueLabel("Label62", QStringLiteral("Y value"), widest, QStringLiteral("Y= -2765"), this);
    Label63 = valueLabel("Label63", QStringLiteral("Z value"), widest, QStringLiteral("Z=3786"), this);
    Acccheck = new QCheckBox(QStringLiteral("Accelerometer / Gyro"), this);
    Acccheck->setObjectName(QStringLiteral("Acccheck"));
    Acccheck->setAccessibleName(QStringLiteral("Accelerometer / Gyro"));
    for (QWidget* w : std::initializer_list<QWidget*>{Label61, Label62, Label63, Acccheck})
        values->addWidget(w);
    values->addStretch();
    SidePanel->addLayout(values);

    Chart2 = new Motion::TelemetryChart(this);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Chart2->setAccessibleName(QStringLiteral("Accelerometer X, Y, Z"));
    Chart2->setMinimumSize(CHART_MIN_WIDTH, CHART_MIN_HEIGHT);
    SidePanel->addWidget(Chart2, CHART_STRETCH);

    SpeedButton73 = new QPushButton(QStringLiteral("Auto"), GroupBox10);
    SpeedButton73->setObjectName(QStringLiteral("SpeedButton73"));
    SpeedButton73->setAccessibleName(QStringLiteral("Automatic calibration"));
    SpeedButton74 = new QPushButton(QStringLiteral("Man."), GroupBox10);
    SpeedButton74->setObjectName(QStringLiteral("SpeedButton74"));
    SpeedButton74->setAccessibleName(QStringLiteral("Write calibration"));
    for (QPushButton* b : {SpeedButton73, SpeedButton74}) {
        GroupBox10->layout()->addWidget(b);
        b->setEnabled(false);
        SetupControls.append(b);
    }
    connectHandler(SpeedButton73, &QPushButton::clicked, this, [this] { SpeedButton73Click(); });
    connectHandler(SpeedButton74, &QPushButton::clicked, this, [this] { SpeedButton74Click(); });
}
