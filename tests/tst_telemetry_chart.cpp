// The set-up window's live telemetry chart: its sweep and wrap, the redraw,
// the gyroscope choice, and shots. Scripted port.
#include "Controls.h"
#include "MotionFrames.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "motion/ui/MotionPanel.h"
#include "comm/ui/TrafficMonitor.h"
#include "motion/ui/TelemetryChart.h"
#include "comm/StreamFramer.h"
#include "motion/TelemetryFrame.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QValueAxis>

using Motion::ChartPages;

class TelemetryChartTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = SetupWindowFixture::withPortOpen("COM3"); }
    void cleanup() { f.reset(); }

    void chartSweepsAndEmptiesAtTheEndOfThePage();
    void pointsReachTheSeriesOnlyAtARedraw();
    void gyroscopeReplacesAccelerometerWhenTicked();
    void selectingTxResetsTheChart();
    void shotDrawsItsSamplesOnOnePage_data();
    void shotDrawsItsSamplesOnOnePage();
    void shortShotDrawsTheWholeSamplesItHolds_data();
    void shortShotDrawsTheWholeSamplesItHolds();
    void telemetryAfterAShotFillsTheShotPageBeforeItWraps();
    void telemetryAfterAShotStartsAgainOnItsOwnAxis();
    void batteryPointsAreRedOnAnOrangeLine();

private:
    void feed(const TelemetryValues& v) { f->port->feed(TelemetryBlock(v)); }
    QList<int> labels(int series) const
    {
        return control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages().series(series).labels;
    }
    QList<qreal> plotted(int series) const;
    QList<qreal> shotPlotted() const;
    QString grid(int column, int row) const { return CellText(trafficMonitor->telemetryGrid, column, row); }
    std::unique_ptr<SetupWindowFixture> f;
};

QList<qreal> TelemetryChartTest::plotted(int series) const
{
    control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
    QList<qreal> ys;
    for (const QPointF& p :
         control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(series)->points())
        ys.append(p.y());
    return ys;
}

QList<qreal> TelemetryChartTest::shotPlotted() const
{
    control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
    QList<qreal> ys;
    for (const QPointF& p :
         control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->shotTrace()->points())
        ys.append(p.y());
    return ys;
}

// ---- Chart -------------------------------------------------------------------

void TelemetryChartTest::chartSweepsAndEmptiesAtTheEndOfThePage()
{
    setupWindow->motion()->resetChart();
    TelemetryValues v;
    for (int i = 1; i <= 498; ++i) {
        v.posx = static_cast<qint16>(i);
        v.battery = static_cast<qint16>(2000 + i);
        feed(v);
    }
    QCOMPARE(plotted(0).size(), 498);
    QCOMPARE(plotted(0).first(), 1.0);
    QCOMPARE(plotted(0).last(), 498.0);
    QCOMPARE(plotted(3).last(), 2498.0);
    QCOMPARE(labels(0).first(), 1);
    QCOMPARE(labels(2).last(), 498);
    feed(v);
    for (int s = 0; s < 4; ++s)
        QVERIFY(plotted(s).isEmpty());
    v.posx = 77;
    feed(v);
    QCOMPARE(plotted(0), QList<qreal>{77});
    QCOMPARE(labels(0), QList<int>{1});
    QCOMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages().axisLimit(), 32767);
}

void TelemetryChartTest::pointsReachTheSeriesOnlyAtARedraw()
{
    setupWindow->motion()->resetChart();
    control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
    for (int i = 0; i < 20; ++i)
        feed({});
    // Twenty frames, not one series update per frame: they arrive together.
    QCOMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(0)->count(), 0);
    QTRY_COMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(0)->count(), 20);
    QCOMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(3)->count(), 20);
}

void TelemetryChartTest::gyroscopeReplacesAccelerometerWhenTicked()
{
    TelemetryValues v;
    v.posx = 1;
    v.posy = 2;
    v.posz = 3;
    v.rotx = -100;
    v.roty = -200;
    v.rotz = -300;
    control<QCheckBox>(setupWindow, "gyroCheck")->setChecked(true);
    feed(v);
    QCOMPARE(control<ValueLabel>(setupWindow, "xValue")->text(), QString("X= -100"));
    QCOMPARE(control<ValueLabel>(setupWindow, "yValue")->text(), QString("Y= -200"));
    QCOMPARE(control<ValueLabel>(setupWindow, "zValue")->text(), QString("Z= -300"));
    QCOMPARE(Telemetry.posz, qint16(-300));
    QCOMPARE(plotted(2).last(), -300.0);
    QCOMPARE(grid(2, 2), QString("3")); // the monitor shows what the board sent
}

void TelemetryChartTest::selectingTxResetsTheChart()
{
    for (int i = 0; i < 5; ++i)
        feed({});
    f->port->feed(ShotBlock(QByteArray(100, 0)));
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    const ChartPages& pages = control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages();
    QCOMPARE(pages.pointsPerPage(), 500);
    QCOMPARE(pages.posizione(), 1);
    QCOMPARE(pages.axisLimit(), 32767);
    QVERIFY(plotted(0).isEmpty());
}

void TelemetryChartTest::shotDrawsItsSamplesOnOnePage_data()
{
    QTest::addColumn<QByteArray>("firstSample");
    QTest::addColumn<qreal>("value");
    QTest::newRow("0x34 0x12 is 4660") << hexBytes("34 12") << 4660.0;
    QTest::newRow("0xFF 0x7F is 32767") << hexBytes("FF 7F") << 32767.0;
    QTest::newRow("0x00 0x80 is -32768") << hexBytes("00 80") << -32768.0;
}

void TelemetryChartTest::shotDrawsItsSamplesOnOnePage()
{
    QFETCH(QByteArray, firstSample);
    QFETCH(qreal, value);
    setupWindow->motion()->resetChart();
    feed({});
    f->port->feed(ShotBlock(firstSample + QByteArray(98, 0)));
    const QList<qreal> points = shotPlotted();
    QCOMPARE(points.size(), 50);
    QCOMPARE(points.first(), value);
    QCOMPARE(points.count(0.0), 49);
    QCOMPARE(labels(0).first(), 1);
    QCOMPARE(labels(0).last(), 50);
    for (int s = 0; s < 4; ++s)
        QVERIFY(plotted(s).isEmpty());
    const ChartPages& pages = control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages();
    QCOMPARE(pages.pointsPerPage(), 50);
    QCOMPARE(pages.posizione(), 2); // a shot leaves the counter alone
}

void TelemetryChartTest::shortShotDrawsTheWholeSamplesItHolds_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QList<qreal>>("points");
    QTest::newRow("markers only") << hexBytes("AA AA") << QList<qreal>{};
    QTest::newRow("one sample and a half") << hexBytes("AA AA 01 00 02") << QList<qreal>{1};
    QTest::newRow("two samples") << hexBytes("AA AA 01 00 FF FF") << QList<qreal>{1, -1};
    QTest::newRow("longer than a shot") << ShotBlock(QByteArray(120, 1)) << QList<qreal>(50, 257);
}

void TelemetryChartTest::shortShotDrawsTheWholeSamplesItHolds()
{
    QFETCH(QByteArray, block);
    QFETCH(QList<qreal>, points);
    feed({});
    f->port->feed(block);
    f->sim.clock.advance(StreamFramer::QUIET_TIME_MS); // a shot cut short waits for the rest until then
    QCOMPARE(shotPlotted(), points);
}

void TelemetryChartTest::telemetryAfterAShotFillsTheShotPageBeforeItWraps()
{
    setupWindow->motion()->resetChart();
    for (int i = 0; i < 200; ++i)
        feed({});
    f->port->feed(ShotBlock(QByteArray(100, 0)));
    // The counter is past the shot's page: the frames after the shot fill the
    // page beside it, and the page ends once they have.
    for (int i = 0; i < 49; ++i)
        feed({});
    QCOMPARE(shotPlotted().size(), 50);
    QCOMPARE(plotted(0).size(), 49);
    QCOMPARE(labels(0).last(), 249);
    feed({});
    QVERIFY(plotted(0).isEmpty());
    QVERIFY(shotPlotted().isEmpty());
    QCOMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages().posizione(), 1);
    for (int i = 0; i < 48; ++i)
        feed({});
    QCOMPARE(plotted(1).size(), 48);
    QCOMPARE(labels(1).last(), 48);
    feed({});
    QVERIFY(plotted(1).isEmpty());
}

void TelemetryChartTest::telemetryAfterAShotStartsAgainOnItsOwnAxis()
{
    setupWindow->motion()->resetChart();
    feed({});
    f->port->feed(ShotBlock(QByteArray(100, 0)));
    TelemetryValues v;
    v.posx = 77;
    feed(v);
    QCOMPARE(labels(0).size(), 51); // the shot's 50 and the frame's
    QCOMPARE(labels(0).last(), 2);
    QCOMPARE(shotPlotted().size(), 50); // the shot stays until the page is full
    QLineSeries* telemetry = control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(0);
    QCOMPARE(telemetry->points(), QList<QPointF>{QPointF(0, 77)});
    for (QAbstractAxis* axis : telemetry->attachedAxes()) {
        if (axis->orientation() != Qt::Horizontal)
            continue;
        const auto* range = static_cast<QValueAxis*>(axis);
        QCOMPARE(range->min(), 0.0);
        QCOMPARE(range->max(), 49.0);
    }
}

void TelemetryChartTest::batteryPointsAreRedOnAnOrangeLine()
{
    setupWindow->motion()->resetChart();
    for (int i = 0; i < 3; ++i)
        feed({});
    plotted(3);
    QLineSeries* battery = control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(3);
    QCOMPARE(battery->pen().color(), QColor(255, 128, 0));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(battery->pointConfiguration(i).value(QXYSeries::PointConfiguration::Color).value<QColor>(),
                 QColor(Qt::red));
    QVERIFY(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")
                ->series(0)
                ->pointsConfiguration()
                .isEmpty()); // black on black
}

TAVRIN_TEST_MAIN(TelemetryChartTest)
#include "common/ui/ValueLabel.h"
#include "tst_telemetry_chart.moc"
