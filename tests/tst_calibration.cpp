// Calibration on simulated time: the guided measurement with its dialog, the
// bytes and pauses of the writes, "Man." and its range checks, and the
// procedure without telemetry or without the device. Scripted port.
#include "Calibrating.h"
#include "Controls.h"
#include "MotionFrames.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "motion/ui/MotionPanel.h"
#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "motion/CalibrationMath.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <algorithm>

namespace {
const QByteArray TX_MODE = hexBytes("23 31 02 03 00 00 0A");
const QString NOT_OK = "Procedure Not OK.  Kordex is not correctly calibrated";
constexpr int TICK_MS = 50;
constexpr int ENOUGH_TICKS = 400;
} // namespace

class CalibrationTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }

    void autoMeasuresAndWritesBothConstants_data();
    void autoMeasuresAndWritesBothConstants();
    void autoGuidesThroughTheDialog();
    void withoutTelemetryNothingIsWritten_data();
    void withoutTelemetryNothingIsWritten();
    void oneStepWithoutTelemetryWritesNothing_data();
    void oneStepWithoutTelemetryWritesNothing();
    void zeroMeanKeepsTheFieldsText();
    void meanRoundsHalvesToEven_data();
    void meanRoundsHalvesToEven();
    void deviceLostWhileMeasuringStopsTheProcedure();
    void deviceLostWhileWritingSendsNothingMore();
    void cancelBeforeTheWritesWritesNothing_data();
    void cancelBeforeTheWritesWritesNothing();
    void manualWritesTheFieldsWithinRange_data();
    void manualWritesTheFieldsWithinRange();

private:
    // Runs "Auto" to its end: one frame and one tick at a time, "OK" pressed at each prompt.
    void runAuto(const TelemetryValues* frame);
    QList<int> pausesSinceStart() const;
    std::unique_ptr<SetupWindowFixture> f;
    SimClock& clock() { return f->sim.clock; }
};

void CalibrationTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    clock().advance(100); // the board has taken SetUp
    control<QLineEdit>(setupWindow, "verticalCalibration")->clear();
    control<QLineEdit>(setupWindow, "horizontalCalibration")->clear();
    clock().pauses.clear();
    f->port->clearSent();
}

void CalibrationTest::runAuto(const TelemetryValues* frame)
{
    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
    QVERIFY(RunningCalibration());
    QSignalSpy finished(RunningCalibration(), &Operation::finished);
    for (int tick = 0; tick < ENOUGH_TICKS && finished.isEmpty(); ++tick) {
        if (frame)
            f->port->feed(TelemetryBlock(*frame));
        if (CalibrationStep() == 1 || CalibrationStep() == 100)
            waitDialog->okButton->click();
        clock().advance(TICK_MS);
    }
    QCOMPARE(finished.size(), 1);
}

QList<int> CalibrationTest::pausesSinceStart() const
{
    QList<int> ms;
    for (const SimClock::Pause& p : f->sim.clock.pauses)
        ms.append(p.ms);
    return ms;
}

void CalibrationTest::autoMeasuresAndWritesBothConstants_data()
{
    QTest::addColumn<int>("posz");
    QTest::addColumn<int>("rotz");
    QTest::addColumn<bool>("gyro");
    QTest::addColumn<QString>("high");
    QTest::addColumn<QString>("low");
    QTest::addColumn<QString>("message");
    QTest::newRow("16000") << 16000 << 5 << false << "3E"
                           << "80"
                           << "Procedure OK. Kordex has been calibrated with value 16000 and 16000";
    QTest::newRow("-1") << -1 << 5 << false << "FF"
                        << "FF"
                        << "Procedure OK. Kordex has been calibrated with value -1 and -1";
    QTest::newRow("gyroscope Z when the gyro box is ticked")
        << 5 << 16000 << true << "3E"
        << "80"
        << "Procedure OK. Kordex has been calibrated with value 16000 and 16000";
}

void CalibrationTest::autoMeasuresAndWritesBothConstants()
{
    QFETCH(int, posz);
    QFETCH(int, rotz);
    QFETCH(bool, gyro);
    QFETCH(QString, high);
    QFETCH(QString, low);
    QFETCH(QString, message);
    control<QCheckBox>(setupWindow, "gyroCheck")->setChecked(gyro);
    TelemetryValues frame;
    frame.posz = static_cast<qint16>(posz);
    frame.rotz = static_cast<qint16>(rotz);
    runAuto(&frame);

    const auto write = [](const char* address, const QString& value) {
        return hexBytes(qPrintable(QString("23 31 %1 %2 00 00 0A").arg(address, value)));
    };
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{TX_MODE, TX_MODE, write("09", high), write("08", low),
                                                 write("0B", high), write("0A", low)}));
    // The second TX waits until the board has taken the first.
    QCOMPARE(pausesSinceStart(), (QList<int>{100, 1000, 200, 1500, 100, 100, 100, 100, 50, 100}));
    QCOMPARE(f->dialogs.messages, QStringList{message});
    QCOMPARE(waitDialog->layoutHeight(), 110);
    QVERIFY(!RunningCalibration());
    QVERIFY(!setupWindow->board()->link()->busy());
}

void CalibrationTest::autoGuidesThroughTheDialog()
{
    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
    QVERIFY(control<QRadioButton>(setupWindow, "txModeButton")->isChecked());
    QVERIFY(!control<QPushButton>(setupWindow, "autoCalibrationButton")->isEnabled());
    QCOMPARE(waitDialog->layoutHeight(), 144);
    TelemetryValues frame;
    frame.posz = 300;
    clock().advance(TICK_MS);
    QVERIFY(waitDialog->isVisible());
    QCOMPARE(waitDialog->windowTitle(), QString("Calibration Procedure"));
    QCOMPARE(waitDialog->message->text(),
             QString("Please, keep the Light Saber in vertical position (blade tip up) and press OK button"));
    clock().advance(10 * TICK_MS); // nothing happens until "OK"
    QCOMPARE(CalibrationStep(), 1);
    waitDialog->okButton->click();
    clock().advance(TICK_MS);
    QCOMPARE(waitDialog->windowTitle(), QString("Measure in progress.... "));
    QCOMPARE(waitDialog->message->text(), QString("Wait...."));
    for (int i = 0; i < 98; ++i) {
        f->port->feed(TelemetryBlock(frame));
        clock().advance(TICK_MS);
        if (i == 10)
            QCOMPARE(waitDialog->progressBar->value(), 12);
    }
    QCOMPARE(CalibrationStep(), 100);
    QCOMPARE(control<QLineEdit>(setupWindow, "verticalCalibration")->text(), QString("300"));
    QCOMPARE(waitDialog->windowTitle(), QString("Calibration Procedure"));
    QCOMPARE(waitDialog->message->text(),
             QString("Please, keep the Light Saber in horizontal position and press OK button"));
    clock().advance(5 * TICK_MS);
    QCOMPARE(CalibrationStep(), 100);
}

void CalibrationTest::withoutTelemetryNothingIsWritten_data()
{
    QTest::addColumn<QString>("fields");
    QTest::newRow("empty fields") << QString();
    QTest::newRow("fields read from the board") << QString("16734");
}

void CalibrationTest::withoutTelemetryNothingIsWritten()
{
    QFETCH(QString, fields);
    control<QLineEdit>(setupWindow, "verticalCalibration")->setText(fields);
    control<QLineEdit>(setupWindow, "horizontalCalibration")->setText(fields);
    runAuto(nullptr);
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{TX_MODE, TX_MODE}));
    QCOMPARE(f->dialogs.messages, QStringList{NOT_OK});
    QCOMPARE(control<QLineEdit>(setupWindow, "verticalCalibration")->text(), fields);
}

void CalibrationTest::oneStepWithoutTelemetryWritesNothing_data()
{
    QTest::addColumn<bool>("verticalFed");
    QTest::newRow("horizontal without telemetry") << true;
    QTest::newRow("vertical without telemetry") << false;
}

void CalibrationTest::oneStepWithoutTelemetryWritesNothing()
{
    QFETCH(bool, verticalFed);
    control<QLineEdit>(setupWindow, "verticalCalibration")->setText("16734");
    control<QLineEdit>(setupWindow, "horizontalCalibration")->setText("16734");
    TelemetryValues frame;
    frame.posz = 16000;
    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
    for (int tick = 0; tick < ENOUGH_TICKS && RunningCalibration(); ++tick) {
        const int step = CalibrationStep();
        const bool vertical = step > 1 && step < 100;
        const bool horizontal = step > 100;
        if (verticalFed ? vertical : horizontal)
            f->port->feed(TelemetryBlock(frame));
        if (step == 1 || step == 100)
            waitDialog->okButton->click();
        clock().advance(TICK_MS);
    }
    QVERIFY(!RunningCalibration());
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{TX_MODE, TX_MODE}));
    QCOMPARE(f->dialogs.messages, QStringList{NOT_OK});
}

void CalibrationTest::zeroMeanKeepsTheFieldsText()
{
    control<QLineEdit>(setupWindow, "verticalCalibration")->setText("16734");
    control<QLineEdit>(setupWindow, "horizontalCalibration")->setText("16734");
    TelemetryValues frame;
    frame.posz = 0;
    runAuto(&frame);
    QCOMPARE(control<QLineEdit>(setupWindow, "verticalCalibration")->text(), QString("16734"));
    QCOMPARE(control<QLineEdit>(setupWindow, "horizontalCalibration")->text(), QString("16734"));
    QCOMPARE(f->sentFrames(),
             (QList<QByteArray>{TX_MODE, TX_MODE, hexBytes("23 31 09 41 00 00 0A"),
                                hexBytes("23 31 08 5E 00 00 0A"), hexBytes("23 31 0B 41 00 00 0A"),
                                hexBytes("23 31 0A 5E 00 00 0A")}));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Procedure OK. Kordex has been calibrated with value 16734 and 16734"});
}

void CalibrationTest::meanRoundsHalvesToEven_data()
{
    QTest::addColumn<int>("sum"); // held in the first slots, the rest zero
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("mean");
    QTest::newRow("1225 / 98 = 12.5 gives 12") << 1225 << 98 << 12;
    QTest::newRow("1323 / 98 = 13.5 gives 14") << 1323 << 98 << 14;
    QTest::newRow("-1225 / 98 = -12.5 gives -12") << -1225 << 98 << -12;
    QTest::newRow("1237 / 99 = 12.49 gives 12") << 1237 << 99 << 12;
    QTest::newRow("98 x 32767 / 98 gives 32767") << 98 * 32767 << 98 << 32767;
}

void CalibrationTest::meanRoundsHalvesToEven()
{
    QFETCH(int, sum);
    QFETCH(int, samples);
    Motion::CalibrationSlots taken{};
    for (int left = sum, i = 0; left != 0; ++i) {
        const int part = std::clamp(left, -32768, 32767);
        taken[static_cast<size_t>(i)] = static_cast<qint16>(part);
        left -= part;
    }
    QTEST(int(Motion::CalibrationMean(taken, samples)), "mean");
}

void CalibrationTest::deviceLostWhileMeasuringStopsTheProcedure()
{
    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
    waitDialog->okButton->click();
    TelemetryValues frame;
    for (int i = 0; i < 11; ++i) {
        f->port->feed(TelemetryBlock(frame));
        clock().advance(TICK_MS);
    }
    f->port->vanish();
    QVERIFY(!RunningCalibration());
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->board()->link()->busy());
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages.first().startsWith(
                 "Calibration stopped after 10 of 197 samples: the connection to "
                 "COM3 was lost."),
             qPrintable(f->dialogs.messages.first()));
    clock().advance(100 * TICK_MS);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void CalibrationTest::deviceLostWhileWritingSendsNothingMore()
{
    const int pauseAfterFirstWrite = 5; // the second TX, then 1000, 200 and 1500 ms come first
    clock().duringPause = [&](int) {
        if (clock().pauses.size() == pauseAfterFirstWrite)
            f->port->vanish();
    };
    TelemetryValues frame;
    frame.posz = 16000;
    runAuto(&frame);
    clock().duringPause = nullptr;
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{TX_MODE, TX_MODE, hexBytes("23 31 09 3E 00 00 0A")}));
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY2(f->dialogs.messages.first().startsWith(
                 "Calibration stopped after 0 of 4 values: the connection to COM3 was lost."),
             qPrintable(f->dialogs.messages.first()));
    QVERIFY(!setupWindow->board()->link()->busy());
}

void CalibrationTest::cancelBeforeTheWritesWritesNothing_data()
{
    QTest::addColumn<int>("step"); // where "Annulla" is pressed
    QTest::newRow("at the vertical prompt") << 1;
    QTest::newRow("while sampling the vertical position") << 40;
    QTest::newRow("at the horizontal prompt") << 100;
    QTest::newRow("while sampling the horizontal position") << 150;
}

void CalibrationTest::cancelBeforeTheWritesWritesNothing()
{
    QFETCH(int, step);
    TelemetryValues frame;
    frame.posz = 16000;
    control<QPushButton>(setupWindow, "autoCalibrationButton")->click();
    for (int tick = 0; tick < ENOUGH_TICKS && CalibrationStep() != step; ++tick) {
        f->port->feed(TelemetryBlock(frame));
        if (CalibrationStep() == 1 || CalibrationStep() == 100)
            waitDialog->okButton->click();
        clock().advance(TICK_MS);
    }
    QCOMPARE(CalibrationStep(), step);
    waitDialog->cancelButton->click();
    clock().settle(); // the end's message comes once the click's handler has returned
    QCOMPARE(f->dialogs.questions,
             QStringList{"Stop the calibration? Nothing has been written to Kordex yet."});
    QCOMPARE(f->dialogs.messages, QStringList{"The calibration was stopped: nothing was written to Kordex."});
    QVERIFY(!waitDialog->isVisible());
    QVERIFY(!setupWindow->board()->link()->busy());
    clock().advance(ENOUGH_TICKS * TICK_MS);
    QCOMPARE(f->sentFrames(), (QList<QByteArray>{TX_MODE, TX_MODE}));
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void CalibrationTest::manualWritesTheFieldsWithinRange_data()
{
    QTest::addColumn<QString>("vertical");
    QTest::addColumn<QString>("horizontal");
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QList<int>>("pauses");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("both in range") << "16734"
                                   << "350"
                                   << QList<QByteArray>{hexBytes("23 31 09 41 00 00 0A"),
                                                        hexBytes("23 31 08 5E 00 00 0A"),
                                                        hexBytes("23 31 0B 01 00 00 0A"),
                                                        hexBytes("23 31 0A 5E 00 00 0A")}
                                   << QList<int>{100, 10, 100, 100, 10, 100} << QStringList{};
    QTest::newRow("32767 is the largest written")
        << "32767"
        << "350"
        << QList<QByteArray>{hexBytes("23 31 09 7F 00 00 0A"), hexBytes("23 31 08 FF 00 00 0A"),
                             hexBytes("23 31 0B 01 00 00 0A"), hexBytes("23 31 0A 5E 00 00 0A")}
        << QList<int>{100, 10, 100, 100, 10, 100} << QStringList{};
    QTest::newRow("32768 is refused")
        << "32768"
        << "350" << QList<QByteArray>{} << QList<int>{} << QStringList{"Valore troppo elevata Max = 32767"};
    QTest::newRow("vertical too high")
        << "40000"
        << "350" << QList<QByteArray>{} << QList<int>{} << QStringList{"Valore troppo elevata Max = 32767"};
    QTest::newRow("-32768 is refused")
        << "-32768"
        << "350" << QList<QByteArray>{} << QList<int>{} << QStringList{"Valore troppo basso Min = -32767"};
    QTest::newRow("horizontal too low after the vertical went out")
        << "100"
        << "-40000" << QList<QByteArray>{hexBytes("23 31 09 00 00 00 0A"), hexBytes("23 31 08 64 00 00 0A")}
        << QList<int>{100, 10, 100} << QStringList{"Valore troppo basso Min = -32767"};
}

void CalibrationTest::manualWritesTheFieldsWithinRange()
{
    QFETCH(QString, vertical);
    QFETCH(QString, horizontal);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QList<int>, pauses);
    QFETCH(QStringList, messages);
    control<QLineEdit>(setupWindow, "verticalCalibration")->setText(vertical);
    control<QLineEdit>(setupWindow, "horizontalCalibration")->setText(horizontal);
    control<QPushButton>(setupWindow, "manualCalibrationButton")->click();
    QCOMPARE(f->sentFrames(), frames);
    QCOMPARE(pausesSinceStart(), pauses);
    QCOMPARE(f->dialogs.messages, messages);
    QVERIFY(!setupWindow->board()->link()->busy());
}

TAVRIN_TEST_MAIN(CalibrationTest)
#include "tst_calibration.moc"
