// Motion end to end against the simulated board: telemetry into the chart and
// the gauge, a shot, the automatic calibration, and the board going away.
#include "Calibrating.h"
#include "Controls.h"
#include "EndToEndFixture.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "motion/ui/MotionPanel.h"
#include "app/Shape.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "common/Define.h"
#include "motion/ui/TelemetryChart.h"
#include "motion/TelemetryFrame.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>

namespace {
constexpr int STREAM_MS = 10000;
constexpr int SAMPLING_MS = 20000; // about five seconds of ticks, with room for a slow machine
constexpr int FINISH_MS = 20000;
constexpr int POSE_TOLERANCE = 400; // the simulated sensor's noise and wobble
constexpr int VERTICAL_Z = 16734;   // the simulated board's reading, blade tip up
constexpr int HORIZONTAL_Z = 350;
constexpr int HALF_WAY_Z = 8000;

int signedPair(int high, int low)
{
    return static_cast<qint16>((high << 8) | low);
}
} // namespace

class MotionEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { e2e.stop(); }

    void txStreamsTelemetryIntoChartAndGauge();
    void shotFromTheBoardIsDrawn();
    void autoCalibratesTheBoard();
    void manualWritesTheTypedConstants();
    void deviceLostDuringCalibrationStopsIt();
    void deviceLostWhileStreamingSaysSo();

private:
    int plottedPoints() const
    {
        control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
        return control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(0)->count();
    }
    void startAutoAndConfirmVertical();
    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void MotionEndToEndTest::init()
{
    QString why;
    // The board notices an open within a few milliseconds; a shot needs it noticed.
    QVERIFY2(e2e.start({}, {.openPort = true, .waitUntilOpen = true}, &why), qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
}

void MotionEndToEndTest::txStreamsTelemetryIntoChartAndGauge()
{
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_TX; }, STREAM_MS));
    QVERIFY(WaitFor([&] { return plottedPoints() >= 30; }, STREAM_MS));
    // The redraw timer alone brings the points to the screen.
    const int before = control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(3)->count();
    QVERIFY(WaitFor(
        [&] {
            return control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(3)->count() >
                   before;
        },
        STREAM_MS));
    const qreal battery =
        control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(3)->points().last().y();
    QVERIFY2(battery > 2700 && battery < 2900, qPrintable(QString::number(battery)));
    QVERIFY(control<ValueLabel>(setupWindow, "xValue")->text().startsWith("X= "));
    QVERIFY(control<ValueLabel>(setupWindow, "batteryPercent")->text().endsWith(" %"));
    QVERIFY(control<Shape>(setupWindow, "batteryBar")->width() > 0);
    QCOMPARE(Telemetry.STATO, Define::STATO_TAVRIN_COMMAND_MODE_TX);
    QVERIFY(f->dialogs.errors.isEmpty());

    // Recorded to a file until the board leaves TX.
    const QString path = f->folder.filePath("stream.csv");
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "recordButton")->click();
    const auto framesShown = [] {
        return control<QPushButton>(setupWindow, "recordButton")->text().section(' ', 1, 1).mid(1).toInt();
    };
    QVERIFY(WaitFor([&] { return framesShown() >= 20; }, STREAM_MS));
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QCOMPARE(control<QPushButton>(setupWindow, "recordButton")->text(), QString("Record..."));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = file.readAll().trimmed().split('\n');
    QVERIFY(rows.size() > 20);
    QCOMPARE(rows.first(),
             QByteArray("ms,posx,posy,posz,rotx,roty,rotz,Red,Green,Blue,Battery_V,USB_V,STATO"));
    for (const QByteArray& row : rows.mid(1)) {
        QCOMPARE(row.count(','), 12);
        QVERIFY(row.endsWith(",3"));
    }
}

void MotionEndToEndTest::shotFromTheBoardIsDrawn()
{
    QCOMPARE(board->control("shot"), QString("ok shot"));
    QVERIFY(WaitFor(
        [&] {
            control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
            return control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->shotTrace()->count() == 50;
        },
        STREAM_MS));
    QCOMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages().pointsPerPage(), 50);
    QCOMPARE(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->pages().series(0).labels.last(),
             50);
    QVERIFY(control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(1)->points().isEmpty());
    qreal largest = 0;
    for (const QPointF& p :
         control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->shotTrace()->points())
        largest = std::max(largest, std::abs(p.y()));
    QVERIFY(largest > 0);
}

void MotionEndToEndTest::startAutoAndConfirmVertical()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return control<QPushButton>(setupWindow, "autoCalibrationButton")->isEnabled(); },
                    STREAM_MS));
    QCOMPARE(board->control("pose vertical"), QString("ok pose vertical"));
    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
    QVERIFY(WaitFor([&] { return CalibrationStep() == 1 && waitDialog->isVisible(); }, STREAM_MS));
    QCOMPARE(board->mode(), Define::STATO_TAVRIN_COMMAND_MODE_TX);
    waitDialog->okButton->click();
}

void MotionEndToEndTest::autoCalibratesTheBoard()
{
    for (int address : {8, 9, 10, 11})
        QVERIFY(board->setParam(address, 0));
    startAutoAndConfirmVertical();
    QVERIFY(WaitFor([&] { return CalibrationStep() == 100; }, SAMPLING_MS));
    QCOMPARE(board->control("pose horizontal"), QString("ok pose horizontal"));
    QVERIFY(WaitFor([&] { return Telemetry.posz < HALF_WAY_Z; }, STREAM_MS));
    waitDialog->okButton->click();
    QVERIFY(WaitFor([&] { return !f->dialogs.messages.isEmpty(); }, SAMPLING_MS + FINISH_MS));

    const int vertical = signedPair(board->param(9), board->param(8));
    const int horizontal = signedPair(board->param(11), board->param(10));
    QCOMPARE(f->dialogs.messages,
             QStringList{QString("Procedure OK. Kordex has been calibrated with value %1 and %2")
                             .arg(vertical)
                             .arg(horizontal)});
    QCOMPARE(control<QLineEdit>(setupWindow, "verticalCalibration")->text(), QString::number(vertical));
    QCOMPARE(control<QLineEdit>(setupWindow, "horizontalCalibration")->text(), QString::number(horizontal));
    QVERIFY2(std::abs(vertical - VERTICAL_Z) < POSE_TOLERANCE, qPrintable(QString::number(vertical)));
    QVERIFY2(std::abs(horizontal - HORIZONTAL_Z) < POSE_TOLERANCE, qPrintable(QString::number(horizontal)));
    QCOMPARE(board->mode(), Define::STATO_TAVRIN_COMMAND_MODE_TX);
}

void MotionEndToEndTest::manualWritesTheTypedConstants()
{
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return control<QPushButton>(setupWindow, "manualCalibrationButton")->isEnabled(); },
                    STREAM_MS));
    control<QLineEdit>(setupWindow, "verticalCalibration")->setText("1234");
    control<QLineEdit>(setupWindow, "horizontalCalibration")->setText("-5");
    control<QPushButton>(setupWindow, "manualCalibrationButton")->click();
    QVERIFY(WaitFor([&] { return board->param(10) == 0xFB; }, STREAM_MS));
    QCOMPARE(board->param(9), 0x04);
    QCOMPARE(board->param(8), 0xD2);
    QCOMPARE(board->param(11), 0xFF);
    QVERIFY(f->dialogs.messages.isEmpty());
}

void MotionEndToEndTest::deviceLostDuringCalibrationStopsIt()
{
    startAutoAndConfirmVertical();
    QVERIFY(WaitFor([&] { return CalibrationStep() > 10; }, SAMPLING_MS));
    QCOMPARE(board->control("unplug"), QString("ok unplugged"));
    QVERIFY(WaitFor([&] { return !f->dialogs.messages.isEmpty(); }, STREAM_MS));
    QVERIFY2(f->dialogs.messages.first().startsWith("Calibration stopped after "),
             qPrintable(f->dialogs.messages.first()));
    QVERIFY(f->dialogs.messages.first().contains(" of 197 samples: the connection to "));
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->board()->link()->busy());
    RunEventsFor(300);
    QVERIFY(!RunningCalibration());
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void MotionEndToEndTest::deviceLostWhileStreamingSaysSo()
{
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QVERIFY(WaitFor([&] { return plottedPoints() >= 10; }, STREAM_MS));
    QCOMPARE(board->control("unplug"), QString("ok unplugged"));
    QVERIFY(WaitFor([&] { return !f->dialogs.messages.isEmpty(); }, STREAM_MS));
    QVERIFY2(f->dialogs.messages.first().contains("was lost"), qPrintable(f->dialogs.messages.first()));
    const int points = plottedPoints();
    RunEventsFor(300);
    QCOMPARE(plottedPoints(), points);
}

TAVRIN_TEST_MAIN(MotionEndToEndTest)
#include "common/ui/ValueLabel.h"
#include "tst_motion_e2e.moc"
