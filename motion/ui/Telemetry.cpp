// Telemetry, live chart and shot display of the set-up window.
#include "app/SetupWindow.h"

#include "app/Forms.h"
#include "app/Shape.h"
#include "comm/ui/TrafficMonitor.h"
#include "common/ui/ValueLabel.h"
#include "motion/TelemetryFrame.h"
#include "motion/ui/TelemetryChart.h"

#include <QCheckBox>
#include <QLabel>

void SetupWindow::showTelemetry(const QByteArray& Data)
{
    if (!Motion::DecodeTelemetry(Data, Telemetry))
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

void SetupWindow::plotTelemetry()
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

void SetupWindow::showShot(const QByteArray& Data)
{
    telemetryChart->showShot(Motion::DecodeShot(Data));
}

void SetupWindow::resetChart()
{
    telemetryChart->reset();
}
