// The simulated board against fragments, garbage, silence, a closed port and an
// unplug, at the byte level through its pseudo-terminal.
#include "RawBoardTest.h"
#include "TestMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace RawBoard;

namespace {
// Processor time the process has used, in clock ticks (user plus system).
qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the command name, which ends at the last ")": state is field 3,
    // utime field 14 and stime field 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int UTIME = 14 - 3;
    constexpr int STIME = 15 - 3;
    return fields.size() > STIME ? fields[UTIME].toLongLong() + fields[STIME].toLongLong() : -1;
}
} // namespace

class SimRobustnessE2eTest : public QObject, private RawBoardTest {
    Q_OBJECT
private slots:
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void framesAreFoundAfterFragmentsAndGarbage_data();
    void framesAreFoundAfterFragmentsAndGarbage();
    void randomBytesLeaveTheBoardRunningAndAnswering();
    void silentBoardSendsNothing();
    void closedPortLeavesTheBoardIdleAndReady();
    void unplugHangsUpAndPlugRepublishes();
    void trafficLogHasOneLinePerChunk();
};

// ---- Robustness ------------------------------------------------------------

void SimRobustnessE2eTest::framesAreFoundAfterFragmentsAndGarbage_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    const QByteArray request = hex("23 32 23 23 00 00 0A");
    QTest::newRow("fragment before a frame") << QList<QByteArray>{hex("23 32 05") + request};
    QTest::newRow("garbage before a frame") << QList<QByteArray>{hex("00 FF 0A 41 0A") + request};
    QTest::newRow("lone start byte before a frame") << QList<QByteArray>{hex("23") + request};
    QTest::newRow("frame split over two writes") << QList<QByteArray>{hex("23 32 23"), hex("23 00 00 0A")};
    QTest::newRow("garbage, then a frame") << QList<QByteArray>{hex("41 42 43 0A 0A"), request};
}

void SimRobustnessE2eTest::framesAreFoundAfterFragmentsAndGarbage()
{
    QFETCH(QList<QByteArray>, writes);
    QVERIFY(m_board->setParam(35, 0x0A));
    QVERIFY(openPort());
    for (const QByteArray& bytes : writes)
        QVERIFY(m_port.write(bytes));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 23 0A"));
}

void SimRobustnessE2eTest::randomBytesLeaveTheBoardRunningAndAnswering()
{
    constexpr int TOTAL = 64 * 1024;
    constexpr int LARGEST_WRITE = 300;
    constexpr int RETRY_MS = 500; // longer than the stream idle time below
    QVERIFY(startBoard({QStringLiteral("--idle-ms"), QStringLiteral("100")}));
    QVERIFY(openPort());
    m_expectedLate.reset(); // random bytes may form a write and frames right after it

    QRandomGenerator random(1523);
    for (int sent = 0; sent < TOTAL;) {
        QByteArray chunk(random.bounded(1, LARGEST_WRITE), Qt::Uninitialized);
        for (char& byte : chunk)
            byte = static_cast<char>(random.bounded(256));
        QVERIFY(m_port.write(chunk));
        sent += int(chunk.size());
        m_port.readPending(); // keep the board's answers from piling up
    }

    // Random bytes may have formed frames; whatever they did, the board answers.
    QVERIFY(m_board->controlOk(QStringLiteral("param 35 10")));
    QByteArray received;
    QElapsedTimer elapsed;
    elapsed.start();
    while (!received.contains(hex("32 23 0A")) && elapsed.elapsed() < END_TIMEOUT_MS) {
        m_port.write(hex("23 32 23 23 00 00 0A"));
        received += m_port.readUntil(hex("32 23 0A"), RETRY_MS);
    }
    QVERIFY(received.contains(hex("32 23 0A")));
    QVERIFY(m_board->controlOk(QStringLiteral("port")));
}

void SimRobustnessE2eTest::silentBoardSendsNothing()
{
    QVERIFY(m_board->setParam(5, 0x42));
    QVERIFY(openPort());
    QVERIFY(m_board->controlOk(QStringLiteral("silent on")));
    // Once the board has taken the request, its answer would already be on the line.
    QVERIFY(frameProcessed(hex("23 32 05 05 00 00 0A")));
    QCOMPARE(m_port.readPending(), QByteArray());

    QVERIFY(m_board->controlOk(QStringLiteral("silent off")));
    QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));
}

void SimRobustnessE2eTest::closedPortLeavesTheBoardIdleAndReady()
{
    constexpr int REOPENS = 5;
    constexpr int IDLE_MS = 600;
    QVERIFY(startBoard({QStringLiteral("--idle-ms"), QString::number(IDLE_MS)}));
    QVERIFY(m_board->setParam(5, 0x42));
    for (int i = 0; i < REOPENS; ++i) {
        QVERIFY(openPort());
        QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
        QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));
        QVERIFY(closePort());
    }

    // A hung-up pseudo-terminal wakes a careless reader without end. While nobody
    // holds the port the board must stay idle: here it waits out the idle time of
    // a sample stream whose sender has gone, and ends that stream.
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 4C 00 00 00 00 0A")));
    QVERIFY(closePort());
    const qint64 pid = m_board->processId();
    const qint64 before = cpuTicks(pid);
    QElapsedTimer elapsed;
    elapsed.start();
    QTRY_COMPARE_WITH_TIMEOUT(m_board->counter(QStringLiteral("uploads")), 1, STATE_TIMEOUT_MS);
    const double ticks = double(cpuTicks(pid) - before);
    const double windowTicks = double(elapsed.elapsed()) * sysconf(_SC_CLK_TCK) / 1000.0;
    QVERIFY2(ticks < windowTicks / 4,
             qPrintable(QStringLiteral("%1 of %2 ticks").arg(ticks).arg(windowTicks)));

    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));
}

void SimRobustnessE2eTest::unplugHangsUpAndPlugRepublishes()
{
    QVERIFY(m_board->setParam(5, 0x42));
    QVERIFY(openPort());
    QCOMPARE(m_board->control(QStringLiteral("unplug")), QStringLiteral("ok unplugged"));
    QVERIFY(m_port.waitForHangup(STATE_TIMEOUT_MS));
    QVERIFY(!QFileInfo(m_board->portPath()).isSymLink());
    QCOMPARE(m_board->portState(), QStringLiteral("unplugged"));
    m_port.close();

    QCOMPARE(m_board->control(QStringLiteral("plug")), QStringLiteral("ok ") + m_board->portPath());
    QVERIFY(QFileInfo(m_board->portPath()).isSymLink());
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));
}

void SimRobustnessE2eTest::trafficLogHasOneLinePerChunk()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("traffic.log"));
    QVERIFY(m_board->controlOk(QStringLiteral("log ") + path));
    QVERIFY(openPort());
    const auto logText = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    };

    QVERIFY(m_port.write(hex("23 32 0A 0A 00 00 0A")));
    const QRegularExpression first(QStringLiteral("^\\d+ RX 23 32 0A 0A 00 00 0A\\n$"));
    QTRY_VERIFY_WITH_TIMEOUT(first.match(logText()).hasMatch(), STATE_TIMEOUT_MS);
    QVERIFY(m_port.write(hex("00 FF")));
    const QRegularExpression both(QStringLiteral("^(\\d+) RX 23 32 0A 0A 00 00 0A\\n(\\d+) RX 00 FF\\n$"));
    QTRY_VERIFY_WITH_TIMEOUT(both.match(logText()).hasMatch(), STATE_TIMEOUT_MS);
    const auto match = both.match(logText());
    QVERIFY(match.captured(1).toLongLong() <= match.captured(2).toLongLong());
    QVERIFY(m_board->controlOk(QStringLiteral("log off")));
}

TAVRIN_TEST_MAIN(SimRobustnessE2eTest)
#include "tst_sim_robustness_e2e.moc"
