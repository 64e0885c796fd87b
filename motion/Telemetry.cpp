// Telemetry, live chart and shot display of the set-up window.
#include "app/Serial1.h"

#include "app/Forms.h"
#include "app/Shape.h"
#include "comm/Hidden.h"
#include "common/ValueLabel.h"
#include "motion/TelemetryChart.h"
#include "motion/TelemetryFrame.h"

#include <QCheckBox>
#include <QLabel>

void TSerialForm1::UnpackData(const QByteArray& Data)
{
    if (!Motion::DecodeTelemetry(Data, Telemetry))
        return;
    recordTelemetryFrame();
    for (const Motion::GridCell& cell : Motion::TelemetryGridCells(Telemetry))
        SetCell(HiddenForm->StringGrid1, cell.column, cell.row, cell.text);
    const Motion::BatteryGauge gauge = MEASURES_BATTERY.add(Telemetry.Battery_V);
    // A fixed width that does not change must not cost a layout pass per frame.
    if (Shape2->minimumWidth() != gauge.barWidth || Shape2->maximumWidth() != gauge.barWidth)
        Shape2->setFixedWidth(gauge.barWidth);
    Label8->setValue(QString::number(gauge.percent) + QStringLiteral(" %"));
}

void TSerialForm1::GraphUpdate()
{
    if (Acccheck->isChecked()) {
        Telemetry.posx = Telemetry.rotx;
        Telemetry.posy = Telemetry.roty;
        Telemetry.posz = Telemetry.rotz;
    }
    Chart2->addFrame({Telemetry.posx, Telemetry.posy, Telemetry.posz, Telemetry.Battery_V});
    Label61->setValue(QStringLiteral("X= ") + QString::number(Telemetry.posx));
    Label62->setValue(QStringLiteral("Y= ") + QString::number(Telemetry.posy));
    Label63->setValue(QStringLiteral("Z= ") + QString::number(Telemetry.posz));
}

void TSerialForm1::ShowShot(const QByteArray& Data)
{
    Chart2->showShot(Motion::DecodeShot(Data));
}

void TSerialForm1::ChartReset()
{
    Chart2->reset();
}
