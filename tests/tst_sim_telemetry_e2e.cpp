// The simulated board's telemetry stream and shots at the byte level, through
// its pseudo-terminal.
#include "RawBoardTest.h"
#include "TestMain.h"


using namespace RawBoard;

namespace {
constexpr int TELEMETRY_FRAME = 25; // 24 bytes of readings and state, one sequence byte
constexpr int TELEMETRY_STATE_OFFSET = 23;
constexpr int SHOT_BLOCK = 102;

qint16 bigEndian(const QByteArray& block, int offset)
{
    return static_cast<qint16>((quint8(block[offset]) << 8) | quint8(block[offset + 1]));
}

qint16 littleEndian(const QByteArray& block, int offset)
{
    return static_cast<qint16>(quint8(block[offset]) | (quint8(block[offset + 1]) << 8));
}
} // namespace

class SimTelemetryE2eTest : public QObject, private RawBoardTest {
    Q_OBJECT
private slots:
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void txWriteIsAnsweredByTheStream();
    void telemetryComesAtTheSetRate_data();
    void telemetryComesAtTheSetRate();
    void setUpAndActiveStopTheStream_data();
    void setUpAndActiveStopTheStream();
    void accelerometerZMatchesTheCalibrationPoses();
    void shotArrivesAsOneBlock();
};

// ---- Telemetry -------------------------------------------------------------

void SimTelemetryE2eTest::txWriteIsAnsweredByTheStream()
{
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 02 03 00 00 0A")));
    const QByteArray block = m_port.readBlock(ANSWER_TIMEOUT_MS);
    QVERIFY(block.size() > 24);
    QCOMPARE(quint8(block[0]), quint8(0xFF));
    QCOMPARE(int(block[TELEMETRY_STATE_OFFSET]), 3);
}

void SimTelemetryE2eTest::telemetryComesAtTheSetRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::newRow("20 per second") << 20;
    QTest::newRow("100 per second") << 100;
}

void SimTelemetryE2eTest::telemetryComesAtTheSetRate()
{
    QFETCH(int, rate);
    constexpr int WINDOW_MS = 1000;
    QVERIFY(m_board->controlOk(QStringLiteral("rate %1").arg(rate)));
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 02 03 00 00 0A")));
    QVERIFY(!m_port.readBlock(ANSWER_TIMEOUT_MS).isEmpty());

    const QByteArray stream = m_port.readFor(WINDOW_MS);
    QCOMPARE(stream.size() % TELEMETRY_FRAME, 0);
    const int frames = int(stream.size() / TELEMETRY_FRAME);
    for (int i = 0; i < frames; ++i) {
        QCOMPARE(quint8(stream[i * TELEMETRY_FRAME]), quint8(0xFF));
        QCOMPARE(int(stream[i * TELEMETRY_FRAME + TELEMETRY_STATE_OFFSET]), 3);
    }
    QVERIFY2(frames >= rate * 6 / 10 && frames <= rate * 14 / 10, qPrintable(QString::number(frames)));
}

void SimTelemetryE2eTest::setUpAndActiveStopTheStream_data()
{
    QTest::addColumn<QByteArray>("stop");
    QTest::addColumn<int>("status");
    QTest::newRow("SetUp") << hex("23 31 02 04 00 00 0A") << 4;
    QTest::newRow("Active") << hex("23 31 02 01 00 00 0A") << 1;
}

void SimTelemetryE2eTest::setUpAndActiveStopTheStream()
{
    QFETCH(QByteArray, stop);
    QFETCH(int, status);
    constexpr int QUIET_WINDOW_MS = 100; // twenty frame periods at 200 per second
    QVERIFY(m_board->controlOk(QStringLiteral("rate 200")));
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 02 03 00 00 0A")));
    QVERIFY(!m_port.readBlock(ANSWER_TIMEOUT_MS).isEmpty());

    QVERIFY(writeWhenReady(stop));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->mode(), status, STATE_TIMEOUT_MS);
    m_port.readPending(); // frames sent before the stop
    QCOMPARE(m_port.readFor(QUIET_WINDOW_MS), QByteArray());
}

void SimTelemetryE2eTest::accelerometerZMatchesTheCalibrationPoses()
{
    constexpr int FRAMES = 10;
    constexpr int TOLERANCE = 50; // counts; the sensor noise is a few counts
    constexpr int POSZ_OFFSET = 5;
    QVERIFY(openPort());
    const int vertical = qint16(readParameter(8) | (readParameter(9) << 8));
    const int horizontal = qint16(readParameter(10) | (readParameter(11) << 8));

    const auto meanZ = [&](const QString& pose) {
        if (!m_board->controlOk(QStringLiteral("pose ") + pose))
            return INT_MIN;
        m_port.readPending(); // frames from before the pose
        const QByteArray stream = m_port.read(FRAMES * TELEMETRY_FRAME, STATE_TIMEOUT_MS);
        if (stream.size() < FRAMES * TELEMETRY_FRAME)
            return INT_MIN;
        int sum = 0;
        for (int i = 0; i < FRAMES; ++i)
            sum += bigEndian(stream, i * TELEMETRY_FRAME + POSZ_OFFSET);
        return sum / FRAMES;
    };
    QVERIFY(m_port.write(hex("23 31 02 03 00 00 0A")));
    QVERIFY(!m_port.readBlock(ANSWER_TIMEOUT_MS).isEmpty());
    QVERIFY(qAbs(meanZ(QStringLiteral("vertical")) - vertical) <= TOLERANCE);
    QVERIFY(qAbs(meanZ(QStringLiteral("horizontal")) - horizontal) <= TOLERANCE);
}

// ---- Shots -----------------------------------------------------------------

void SimTelemetryE2eTest::shotArrivesAsOneBlock()
{
    constexpr int SAMPLES = 50;
    constexpr int EDGE = 10;
    QVERIFY(openPort());
    QVERIFY(m_board->controlOk(QStringLiteral("shot")));
    const QByteArray block = m_port.readBlock(ANSWER_TIMEOUT_MS);
    QCOMPARE(block.size(), SHOT_BLOCK);
    QCOMPARE(block.left(2), hex("AA AA"));

    QList<int> samples;
    for (int i = 0; i < SAMPLES; ++i)
        samples << littleEndian(block, 2 + 2 * i);
    int signChanges = 0;
    for (int i = 1; i < SAMPLES; ++i)
        signChanges += (samples[i - 1] < 0) != (samples[i] < 0);
    const auto peak = [&](int from) {
        int most = 0;
        for (int i = from; i < from + EDGE; ++i)
            most = std::max(most, qAbs(samples[i]));
        return most;
    };
    QVERIFY(signChanges >= 4);                   // it rings
    QVERIFY(peak(0) > 2 * peak(SAMPLES - EDGE)); // and dies away
}

TAVRIN_TEST_MAIN(SimTelemetryE2eTest)
#include "tst_sim_telemetry_e2e.moc"
