// The simulated board's timing check, fed chunks with chosen arrival bounds: it
// must judge what the tool did, so a late read by the simulator never makes a
// paced frame late, while a frame sent well inside the board's busy time is
// still caught and logged in the traffic log's format.
#include "TestMain.h"

#include "sim/FrameParser.h"
#include "sim/Pacing.h"

namespace {

constexpr int APP_FRAME = 7;
constexpr int STALE_PART_MS = 100;

// The board's own busy times after a frame, by code.
int busyFor(char code)
{
    switch (code) {
    case '1':
        return 100; // parameter write
    case 'E':
        return 500; // sector erase
    default:
        return 0;
    }
}

} // namespace

class SimPacingTest : public QObject {
    Q_OBJECT
private slots:
    void lateMeansTheToolWasLate_data();
    void lateMeansTheToolWasLate();
    void readyOnlyOnceSurelyPastTheBusyTime();
};

void SimPacingTest::lateMeansTheToolWasLate_data()
{
    // Each chunk as the simulator read it: its bytes, the last moment before it
    // that the input was seen empty, and the moment of the read.
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QList<int>>("notBefore");
    QTest::addColumn<QList<int>>("readAt");
    QTest::addColumn<QString>("late"); // the traffic log's line, empty when the frame was taken

    const QByteArray write24 = QByteArray::fromHex("2331181200000A");
    const QByteArray write25 = QByteArray::fromHex("2331193400000A");
    const QByteArray erase = QByteArray::fromHex("234500001600"
                                                 "0A");
    QTest::newRow("written 101 ms apart, the first read 30 ms late")
        << QByteArrayList{write24, write25} << QList<int>{0, 100} << QList<int>{30, 101} << QString();
    QTest::newRow("written 100 ms apart, both read on time")
        << QByteArrayList{write24, write25} << QList<int>{0, 98} << QList<int>{1, 100} << QString();
    QTest::newRow("written back to back, read together after a 150 ms stall: nothing to prove")
        << QByteArrayList{write24 + write25} << QList<int>{0} << QList<int>{150} << QString();
    QTest::newRow("sent 50 ms after a write")
        << QByteArrayList{write24, write25} << QList<int>{0, 48} << QList<int>{1, 50}
        << QString("50 LATE 23 31 19 34 00 00 0A gap=50 after=1 busy=100 dropped");
    QTest::newRow("sent 84 ms after a write, just beyond the allowance")
        << QByteArrayList{write24, write25} << QList<int>{0, 83} << QList<int>{1, 84}
        << QString("84 LATE 23 31 19 34 00 00 0A gap=84 after=1 busy=100 dropped");
    QTest::newRow("written back to back, read together on time")
        << QByteArrayList{write24 + write25} << QList<int>{0} << QList<int>{1}
        << QString("1 LATE 23 31 19 34 00 00 0A gap=1 after=1 busy=100 dropped");
    QTest::newRow("a write split over two reads counts from its last byte")
        << QByteArrayList{write24.left(3), write24.mid(3), write25} << QList<int>{0, 20, 100}
        << QList<int>{1, 21, 102} << QString("102 LATE 23 31 19 34 00 00 0A gap=82 after=1 busy=100 dropped");
    QTest::newRow("a write 110 ms into a sector erase")
        << QByteArrayList{erase, write25} << QList<int>{0, 108} << QList<int>{2, 110}
        << QString("110 LATE 23 31 19 34 00 00 0A gap=110 after=E busy=500 dropped");
    QTest::newRow("a write 500 ms after a sector erase")
        << QByteArrayList{erase, write25} << QList<int>{0, 499} << QList<int>{2, 500} << QString();
}

void SimPacingTest::lateMeansTheToolWasLate()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QList<int>, notBefore);
    QFETCH(QList<int>, readAt);
    QFETCH(QString, late);
    FrameParser parser(APP_FRAME, STALE_PART_MS);
    Pacing pacing;
    pacing.setStrict(true);
    QStringList logged;
    pacing.onLate = [&logged](const LateFrame& frame) { logged.append(frame.describe()); };
    int taken = 0;
    int frames = 0;
    for (qsizetype i = 0; i < chunks.size(); ++i) {
        parser.append(chunks[i], Arrival{notBefore[i], readAt[i]});
        while (const std::optional<Frame> frame = parser.takeFrame()) {
            ++frames;
            taken += pacing.admit(*frame, busyFor(frame->code)) ? 1 : 0;
        }
    }
    QCOMPARE(frames, 2);
    QCOMPARE(logged, late.isEmpty() ? QStringList() : QStringList{late});
    QCOMPARE(taken, late.isEmpty() ? 2 : 1);
    QCOMPARE(pacing.lateCount(), qint64(late.isEmpty() ? 0 : 1));
}

void SimPacingTest::readyOnlyOnceSurelyPastTheBusyTime()
{
    // A write read 30 ms after the input was last seen empty: a frame 101 ms
    // after that look is not late, but a sender asking when the board is ready
    // waits until 100 ms after the read, whenever the write really came.
    FrameParser parser(APP_FRAME, STALE_PART_MS);
    Pacing pacing;
    parser.append(QByteArray::fromHex("2331181200000A"), Arrival{0, 30});
    QVERIFY(pacing.admit(*parser.takeFrame(), busyFor('1')));
    QCOMPARE(pacing.busyLeftMs(101), qint64(29));
    QCOMPARE(pacing.busyLeftMs(130), qint64(0));
}

TAVRIN_TEST_MAIN(SimPacingTest)
#include "tst_sim_pacing.moc"
