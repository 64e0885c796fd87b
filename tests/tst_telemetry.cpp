// Telemetry as the set-up window shows it: decoding, the monitor grid, the
// battery gauge, and recording to a file. Scripted port.
#include "Controls.h"
#include "MotionFrames.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/StreamFramer.h"
#include "comm/ui/PortPanel.h"
#include "motion/ui/MotionPanel.h"
#include "comm/ui/TrafficMonitor.h"
#include "motion/TelemetryFrame.h"
#include "motion/TelemetryRecorder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

class TelemetryTest : public QObject {
    Q_OBJECT
private slots:
    void init() { f = SetupWindowFixture::withPortOpen("COM3"); }
    void cleanup() { f.reset(); }

    void fieldsComeInFrameOrder();
    void sixteenBitValuesAreBigEndianSigned_data();
    void sixteenBitValuesAreBigEndianSigned();
    void stateTextOnlyForKnownStates();
    void blockOfTwentyFourBytesIsNotDecoded();
    void batteryGauge_data();
    void batteryGauge();
    void firstReadingAfterStartShowsFivePercent();
    void olderReadingsCountUnsignedTheNewestSigned_data();
    void olderReadingsCountUnsignedTheNewestSigned();
    void recordingWritesOneRowPerFrameUntilStopped_data();
    void recordingWritesOneRowPerFrameUntilStopped();
    void anHourOfFramesIsRecordedStraightToDisk();

private:
    void feed(const TelemetryValues& v) { f->port->feed(TelemetryBlock(v)); }
    QString grid(int column, int row) const { return CellText(trafficMonitor->telemetryGrid, column, row); }
    std::unique_ptr<SetupWindowFixture> f;
};

// ---- Decoding ---------------------------------------------------------------

void TelemetryTest::fieldsComeInFrameOrder()
{
    const QByteArray frame =
        hexBytes("FF 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 0B B8 0C E4 03");
    Motion::TelemetryState s;
    QVERIFY(Motion::DecodeTelemetry(frame, s));
    const QList<int> got{s.posx, s.posy,  s.posz, s.rotx,      s.roty,  s.rotz,
                         s.Red,  s.Green, s.Blue, s.Battery_V, s.USB_V, s.STATO};
    QCOMPARE(got, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 3000, 3300, 3}));
}

void TelemetryTest::sixteenBitValuesAreBigEndianSigned_data()
{
    QTest::addColumn<QByteArray>("posxBytes");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("decimal");
    QTest::newRow("0x7A 0x3C") << hexBytes("7A 3C") << "X= 31292"
                               << "7A3C"
                               << "31292";
    QTest::newRow("0x80 0x00 is the most negative") << hexBytes("80 00") << "X= -32768"
                                                    << "FFFF8000"
                                                    << "-32768";
    QTest::newRow("-2 in 32-bit hexadecimal") << hexBytes("FF FE") << "X= -2"
                                              << "FFFFFFFE"
                                              << "-2";
    QTest::newRow("small values keep two digits") << hexBytes("00 05") << "X= 5"
                                                  << "05"
                                                  << "5";
}

void TelemetryTest::sixteenBitValuesAreBigEndianSigned()
{
    QFETCH(QByteArray, posxBytes);
    QFETCH(QString, label);
    QFETCH(QString, hex);
    QFETCH(QString, decimal);
    QByteArray frame = TelemetryBlock({});
    frame.replace(1, 2, posxBytes);
    f->port->feed(frame);
    QCOMPARE(control<ValueLabel>(setupWindow, "xValue")->text(), label);
    QCOMPARE(control<ValueLabel>(setupWindow, "xValue")->accessibleName(), "X value: " + label);
    QCOMPARE(grid(1, 0), hex);
    QCOMPARE(grid(2, 0), decimal);
    QCOMPARE(grid(3, 0), decimal);
}

void TelemetryTest::stateTextOnlyForKnownStates()
{
    TelemetryValues v;
    v.stato = 4;
    feed(v);
    QCOMPARE(grid(1, 11), QString("04"));
    QCOMPARE(grid(2, 11), QString("4"));
    QCOMPARE(grid(3, 12), QString("COMMAND MODE NO TX"));
    v.stato = 5;
    feed(v);
    QCOMPARE(grid(1, 11), QString("05"));
    QCOMPARE(grid(3, 12), QString("COMMAND MODE NO TX"));
    v.stato = 2;
    feed(v);
    QCOMPARE(grid(3, 12), QString("SLEEP"));
}

void TelemetryTest::blockOfTwentyFourBytesIsNotDecoded()
{
    TelemetryValues v;
    v.posx = 258;
    f->port->feed(TelemetryBlock(v).left(24));
    f->sim.clock.advance(StreamFramer::QUIET_TIME_MS); // nothing more came: the block goes on as it is
    QVERIFY(control<ValueLabel>(setupWindow, "xValue")->text() != QString("X= 258"));
    QVERIFY(grid(2, 0) != QString("258"));
    f->port->feed(TelemetryBlock(v).left(25));
    QCOMPARE(control<ValueLabel>(setupWindow, "xValue")->text(), QString("X= 258"));
}

void TelemetryTest::batteryGauge_data()
{
    QTest::addColumn<int>("reading");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("width");
    QTest::newRow("full mark") << 2950 << 100 << 250;
    QTest::newRow("above the scale") << 3300 << 100 << 250;
    QTest::newRow("empty mark") << 2400 << 0 << 0;
    QTest::newRow("one below rounds to zero") << 2399 << 0 << 0;
    QTest::newRow("below the scale shows five, bar halves to even") << 2397 << 5 << 12;
    QTest::newRow("middle") << 2878 << 87 << 218;
}

void TelemetryTest::batteryGauge()
{
    QFETCH(int, reading);
    QFETCH(int, percent);
    QFETCH(int, width);
    Motion::BatteryWindow window;
    Motion::BatteryGauge g{};
    for (int i = 0; i < 100; ++i)
        g = window.add(static_cast<qint16>(reading));
    QCOMPARE(g.percent, percent);
    QCOMPARE(g.barWidth, width);
}

void TelemetryTest::firstReadingAfterStartShowsFivePercent()
{
    Motion::BatteryWindow window;
    const Motion::BatteryGauge g = window.add(2700);
    QCOMPARE(g.percent, 5);
    QCOMPARE(g.barWidth, 12);
}

void TelemetryTest::olderReadingsCountUnsignedTheNewestSigned_data()
{
    QTest::addColumn<QList<int>>("readings"); // oldest first, 100 in all
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("width");
    // 32768 + 99 x 2400 = 270368: MED 2704, 55 %, bar 137.5 rounds to 138.
    QTest::newRow("an older -32768 counts as 32768")
        << QList<int>{-32768} + QList<int>(99, 2400) << 55 << 138;
    // 99 x 2950 - 32768 = 259282: MED 2593, 35 %, bar 87.5 rounds to 88.
    QTest::newRow("the newest -32768 counts as it is")
        << QList<int>(99, 2950) + QList<int>{-32768} << 35 << 88;
}

void TelemetryTest::olderReadingsCountUnsignedTheNewestSigned()
{
    QFETCH(QList<int>, readings);
    Motion::BatteryWindow window;
    Motion::BatteryGauge g{};
    for (int reading : readings)
        g = window.add(static_cast<qint16>(reading));
    QTEST(g.percent, "percent");
    QTEST(g.barWidth, "width");
}

void TelemetryTest::recordingWritesOneRowPerFrameUntilStopped_data()
{
    QTest::addColumn<QString>("end");
    QTest::newRow("Stop pressed") << "stop";
    QTest::newRow("SetUp selected") << "setup";
    QTest::newRow("device lost") << "lost";
    QTest::newRow("program closing") << "quit";
}

void TelemetryTest::recordingWritesOneRowPerFrameUntilStopped()
{
    QFETCH(QString, end);
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    const QString path = f->folder.filePath("session"); // no suffix given: ".csv" is added
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "recordButton")->click();
    QCOMPARE(control<QPushButton>(setupWindow, "recordButton")->text(), QString("Stop (0 frames)"));
    TelemetryValues v;
    v.posx = -2;
    v.posy = 31292;
    v.usb = 3300;
    f->sim.clock.advance(20);
    feed(v);
    v.posx = 7;
    f->sim.clock.advance(20);
    feed(v);
    QCOMPARE(control<QPushButton>(setupWindow, "recordButton")->text(), QString("Stop (2 frames)"));

    if (end == "stop")
        control<QPushButton>(setupWindow, "recordButton")->click();
    else if (end == "setup")
        control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    else if (end == "lost")
        f->port->vanish();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    QCOMPARE(control<QPushButton>(setupWindow, "recordButton")->text(), QString("Record..."));
    feed(v); // no longer recorded

    QFile file(path + ".csv");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("ms,posx,posy,posz,rotx,roty,rotz,Red,Green,Blue,Battery_V,USB_V,STATO\n"
                        "20,-2,31292,0,0,0,0,0,0,0,2800,3300,3\n"
                        "40,7,31292,0,0,0,0,0,0,0,2800,3300,3\n"));
}

void TelemetryTest::anHourOfFramesIsRecordedStraightToDisk()
{
    // 50 frames a second for an hour; rows go to the file as they come.
    constexpr int HOUR_OF_FRAMES = 50 * 3600;
    Motion::TelemetryRecorder recorder;
    const QString path = f->folder.filePath("hour.csv");
    QVERIFY(recorder.start(path, 0, nullptr));
    Motion::TelemetryState state;
    for (int i = 0; i < HOUR_OF_FRAMES; ++i) {
        state.posz = static_cast<qint16>(i);
        QVERIFY(recorder.record(state, i * 20));
        if (i == HOUR_OF_FRAMES / 2) // written out while recording, not kept back
            QVERIFY(QFileInfo(path).size() > qint64(HOUR_OF_FRAMES / 4) * 20);
    }
    recorder.stop();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count('\n'), HOUR_OF_FRAMES + 1);
}

TAVRIN_TEST_MAIN(TelemetryTest)
#include "common/ui/ValueLabel.h"
#include "tst_telemetry.moc"
