// The simulated board's pacing at the byte level, through its pseudo-terminal:
// frames sent while it is still busy are counted, listed and, when it is
// strict, dropped, as a real board would lose them.
#include "RawBoardTest.h"
#include "TestMain.h"

#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <signal.h>

using namespace RawBoard;

namespace {
constexpr int APP_FRAME = 7;
// The board takes a parameter write every 100 ms and erases a sector in 500 ms;
// frames spaced by these figures and a small margin must all be taken.
constexpr int WRITE_SPACING_MS = 110;
constexpr int ERASE_SPACING_MS = 530;
} // namespace

class SimPacingE2eTest : public QObject, private RawBoardTest {
    Q_OBJECT
private slots:
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void framesWhileBusyAreCountedAndDroppedWhenStrict_data();
    void framesWhileBusyAreCountedAndDroppedWhenStrict();
    void readRightAfterAWriteIsNotAnsweredWhenStrict();
    void writesAHundredMsApartAreAllTaken();
    void pacedWritesReadLateAreAllTaken();
    void sectorEraseKeepsTheBoardBusyForHalfASecond();
    void lateFramesAreListedAndLogged();
    void strictModeFollowsCommandLineAndControl();
    void readRequestNamingTwoAddressesIsNotAnswered_data();
    void readRequestNamingTwoAddressesIsNotAnswered();
};

// ---- Pacing ----------------------------------------------------------------

void SimPacingE2eTest::framesWhileBusyAreCountedAndDroppedWhenStrict_data()
{
    QTest::addColumn<bool>("strict");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("late");
    QTest::newRow("write after a write, strict") << true << hex("23 31 18 12 00 00 0A") << false << 1;
    QTest::newRow("write after a write, not strict") << false << hex("23 31 18 12 00 00 0A") << true << 1;
    QTest::newRow("write after a sector erase, strict") << true << hex("23 45 00 00 16 00 0A") << false << 1;
    QTest::newRow("write after a read") << true << hex("23 32 18 18 00 00 0A") << true << 0;
    QTest::newRow("write after erase-all")
        << true << hex("23 43 00 00 00 00 0A") + hex("23 44 00 00 00 00 0A") << true << 0;
    QTest::newRow("write after a slot request") << true << hex("23 52 00 00 06 00 0A") << true << 0;
    QTest::newRow("write after a hum request") << true << hex("23 4F 00 00 00 00 0A") << true << 0;
}

void SimPacingE2eTest::framesWhileBusyAreCountedAndDroppedWhenStrict()
{
    QFETCH(bool, strict);
    QFETCH(QByteArray, before);
    QFETCH(bool, taken);
    QFETCH(int, late);
    m_expectedLate = late;
    QVERIFY(m_board->controlOk(strict ? QStringLiteral("strict on") : QStringLiteral("strict off")));
    const int factory = m_board->param(25);
    QVERIFY(factory != 0x34);
    QVERIFY(openPort());
    const qint64 frames = m_board->counter(QStringLiteral("frames"));
    QVERIFY(m_port.write(before));
    QVERIFY(m_port.write(hex("23 31 19 34 00 00 0A")));
    QVERIFY(framesTaken(frames, before.size() / APP_FRAME + 1));
    QCOMPARE(m_board->param(25), taken ? 0x34 : factory);
    QCOMPARE(m_board->violations(), qint64(late));
}

void SimPacingE2eTest::readRightAfterAWriteIsNotAnsweredWhenStrict()
{
    m_expectedLate = 1;
    QVERIFY(m_board->setParam(7, 0x77));
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QVERIFY(m_port.write(hex("23 32 18 18 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 32 07 07 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 07 77"));
}

void SimPacingE2eTest::writesAHundredMsApartAreAllTaken()
{
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QCOMPARE(m_port.readFor(WRITE_SPACING_MS), QByteArray()); // writes are not answered
    QVERIFY(m_port.write(hex("23 31 19 34 00 00 0A")));
    QCOMPARE(m_port.readFor(WRITE_SPACING_MS), QByteArray());
    QVERIFY(m_port.write(hex("23 32 18 18 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 18 12"));
    QCOMPARE(m_board->param(25), 0x34);
    QCOMPARE(m_board->violations(), qint64(0));
}

void SimPacingE2eTest::pacedWritesReadLateAreAllTaken()
{
    // The simulator is held still while the tool writes two frames 110 ms apart:
    // it reads both in one go afterwards, yet the tool kept the board's pace.
    QVERIFY(openPort());
    const qint64 frames = m_board->counter(QStringLiteral("frames"));
    const pid_t simulator = static_cast<pid_t>(m_board->processId());
    QCOMPARE(::kill(simulator, SIGSTOP), 0);
    const auto resume = qScopeGuard([simulator] { ::kill(simulator, SIGCONT); });
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QCOMPARE(m_port.readFor(WRITE_SPACING_MS), QByteArray());
    QVERIFY(m_port.write(hex("23 31 19 34 00 00 0A")));
    QCOMPARE(::kill(simulator, SIGCONT), 0);
    QVERIFY(framesTaken(frames, 2));
    QCOMPARE(m_board->param(24), 0x12);
    QCOMPARE(m_board->param(25), 0x34);
}

void SimPacingE2eTest::sectorEraseKeepsTheBoardBusyForHalfASecond()
{
    m_expectedLate = 1;
    const int factory = m_board->param(25);
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 45 00 00 16 00 0A")));
    QCOMPARE(m_port.readFor(WRITE_SPACING_MS), QByteArray());
    QVERIFY(m_port.write(hex("23 31 19 34 00 00 0A"))); // the board still erases
    QCOMPARE(m_port.readFor(ERASE_SPACING_MS - WRITE_SPACING_MS), QByteArray());
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->param(24), 0x12, STATE_TIMEOUT_MS);
    QCOMPARE(m_board->param(25), factory);
    QCOMPARE(m_board->violations(), qint64(1));
}

void SimPacingE2eTest::lateFramesAreListedAndLogged()
{
    m_expectedLate = 1;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("traffic.log"));
    QVERIFY(m_board->controlOk(QStringLiteral("log ") + path));
    QVERIFY(openPort());
    const qint64 frames = m_board->counter(QStringLiteral("frames"));
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QVERIFY(m_port.write(hex("23 31 19 34 00 00 0A")));
    QVERIFY(framesTaken(frames, 2));

    const QRegularExpression listed(
        QStringLiteral("^ok 1 \\| \\d+ LATE 23 31 19 34 00 00 0A gap=\\d+ after=1 busy=100 dropped$"));
    QVERIFY2(listed.match(m_board->violationReport()).hasMatch(), qPrintable(m_board->violationReport()));
    QFile log(path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QRegularExpression logged(
        QStringLiteral("\\n\\d+ LATE 23 31 19 34 00 00 0A gap=\\d+ after=1 busy=100 dropped\\n"));
    QVERIFY(logged.match(QString::fromLatin1(log.readAll())).hasMatch());
}

void SimPacingE2eTest::strictModeFollowsCommandLineAndControl()
{
    QCOMPARE(m_board->control(QStringLiteral("strict")), QStringLiteral("ok on"));
    QVERIFY(startBoard({}, /*strict=*/false));
    QCOMPARE(m_board->control(QStringLiteral("strict")), QStringLiteral("ok off"));
    QCOMPARE(m_board->control(QStringLiteral("strict on")), QStringLiteral("ok strict on"));
    QCOMPARE(m_board->control(QStringLiteral("strict")), QStringLiteral("ok on"));
}

void SimPacingE2eTest::readRequestNamingTwoAddressesIsNotAnswered_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("address bytes differ") << hex("23 32 05 06 00 00 0A");
    QTest::newRow("second address byte is LF") << hex("23 32 05 0A 00 00 0A");
    QTest::newRow("first address byte is the start byte") << hex("23 32 23 05 00 00 0A");
}

void SimPacingE2eTest::readRequestNamingTwoAddressesIsNotAnswered()
{
    QFETCH(QByteArray, request);
    QVERIFY(m_board->setParam(7, 0x77));
    QVERIFY(openPort());
    QVERIFY(m_port.write(request));
    QVERIFY(m_port.write(hex("23 32 07 07 00 00 0A")));
    // Answers come in request order: an answer to the first would come first.
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 07 77"));
    QCOMPARE(m_board->counter(QStringLiteral("malformed")), 1);
}

TAVRIN_TEST_MAIN(SimPacingE2eTest)
#include "tst_sim_pacing_e2e.moc"
