// The simulated board at the byte level, through its pseudo-terminal: what the
// tool relies on from the board must hold here first, since the tool's own
// end-to-end tests run against this simulator. Here: publishing its port, the
// control channel and the parameter memory.
#include "RawBoardTest.h"
#include "TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace RawBoard;

namespace {
constexpr int PARAMETER_MEMORY = 256;
constexpr int LAST_SWEPT_ADDRESS = 225;
} // namespace

class SimE2eTest : public QObject, private RawBoardTest {
    Q_OBJECT
private slots:
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void publishesItsPortAndCleansUpOnTerminate();
    void boardsRunSideBySideUnderTheirNames();
    void secondBoardWithTheSameNameIsRefused();
    void controlRejectsWhatItDoesNotKnow_data();
    void controlRejectsWhatItDoesNotKnow();
    void readRequestIsAnsweredInOneBlock_data();
    void readRequestIsAnsweredInOneBlock();
    void sweepIsAnsweredInOrderOneBlockEach();
    void factoryMemoryLooksLikeABoard();
    void writtenParametersAreReadBack();
    void statusAndBankWritesTakeEffect();
    void stateFileKeepsParametersAcrossRuns();
};

// ---- Publishing and the control channel -----------------------------------

void SimE2eTest::publishesItsPortAndCleansUpOnTerminate()
{
    const QString path = m_board->portPath();
    QCOMPARE(path, QDir(m_board->portsDir()).filePath(QStringLiteral("kordex-sim")));
    const QFileInfo link(path);
    QVERIFY(link.isSymLink());
    QVERIFY(link.symLinkTarget().startsWith(QLatin1String("/dev/pts/")));
    QVERIFY(QFileInfo::exists(m_board->controlPath()));

    QVERIFY(m_board->stop());
    QVERIFY(!QFileInfo(path).isSymLink());
    QVERIFY(!QFileInfo::exists(m_board->controlPath()));
}

void SimE2eTest::boardsRunSideBySideUnderTheirNames()
{
    QTemporaryDir ports;
    SimBoard first(SimBoard::Options{ports.path(), QStringLiteral("board-a"), {}});
    SimBoard second(SimBoard::Options{ports.path(), QStringLiteral("board-b"), {}});
    QVERIFY(first.isRunning());
    QVERIFY(second.isRunning());
    QVERIFY(first.setParam(50, 0x11));
    QVERIFY(second.setParam(50, 0x22));

    RawPort a;
    RawPort b;
    QVERIFY(a.open(first.portPath()));
    QVERIFY(b.open(second.portPath()));
    a.write(hex("23 32 32 32 00 00 0A"));
    b.write(hex("23 32 32 32 00 00 0A"));
    QCOMPARE(a.readBlock(ANSWER_TIMEOUT_MS), hex("32 32 11"));
    QCOMPARE(b.readBlock(ANSWER_TIMEOUT_MS), hex("32 32 22"));
}

void SimE2eTest::secondBoardWithTheSameNameIsRefused()
{
    SimBoard twin(SimBoard::Options{m_board->portsDir(), QStringLiteral("kordex-sim"), {}});
    QVERIFY(!twin.isRunning());
    QVERIFY(twin.errorOutput().contains(QLatin1String("already running")));
    QCOMPARE(m_board->portState(), QStringLiteral("closed"));
    QVERIFY(QFileInfo(m_board->portPath()).isSymLink());
}

void SimE2eTest::controlRejectsWhatItDoesNotKnow_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("unknown command") << "bogus";
    QTest::newRow("address beyond the memory") << "param 256";
    QTest::newRow("value beyond a byte") << "param 12 300";
    QTest::newRow("no frames per second") << "rate 0";
    QTest::newRow("silent neither on nor off") << "silent maybe";
    QTest::newRow("switch to nowhere") << "switch sideways";
    QTest::newRow("dump of nothing") << "dump registers /tmp/x";
    QTest::newRow("shot with the port closed") << "shot";
    QTest::newRow("missing argument") << "switch";
    QTest::newRow("strict neither on nor off") << "strict maybe";
    QTest::newRow("deaf after two codes") << "deaf after LN";
    QTest::newRow("deaf after no code") << "deaf after";
    QTest::newRow("deaf neither after nor off") << "deaf on";
}

void SimE2eTest::controlRejectsWhatItDoesNotKnow()
{
    QFETCH(QString, command);
    QVERIFY(m_board->control(command).startsWith(QLatin1String("error ")));
    QCOMPARE(m_board->control(QStringLiteral("port")), QStringLiteral("ok closed"));
}

// ---- Parameter memory ------------------------------------------------------

void SimE2eTest::readRequestIsAnsweredInOneBlock_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("address 10 is also LF") << 10 << 7 << hex("23 32 0A 0A 00 00 0A") << hex("32 0A 07");
    QTest::newRow("address 35 is also the start byte")
        << 35 << 0x23 << hex("23 32 23 23 00 00 0A") << hex("32 23 23");
    QTest::newRow("value is LF") << 40 << 10 << hex("23 32 28 28 00 00 0A") << hex("32 28 0A");
    QTest::newRow("value not set") << 100 << 255 << hex("23 32 64 64 00 00 0A") << hex("32 64 FF");
    QTest::newRow("last address of the sweep")
        << 225 << 100 << hex("23 32 E1 E1 00 00 0A") << hex("32 E1 64");
}

void SimE2eTest::readRequestIsAnsweredInOneBlock()
{
    QFETCH(int, address);
    QFETCH(int, value);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QVERIFY(m_board->setParam(address, value));
    QVERIFY(openPort());
    QVERIFY(m_port.write(request));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), answer);
}

void SimE2eTest::sweepIsAnsweredInOrderOneBlockEach()
{
    const QByteArray memory = m_board->dump(QStringLiteral("params"));
    QCOMPARE(memory.size(), PARAMETER_MEMORY);
    QVERIFY(openPort());
    for (int address = 0; address <= LAST_SWEPT_ADDRESS; ++address) {
        QVERIFY(m_port.write(readRequest(address)));
        const QByteArray block = m_port.readBlock(ANSWER_TIMEOUT_MS);
        QCOMPARE(block.size(), 3);
        QCOMPARE(block[0], '2');
        QCOMPARE(quint8(block[1]), quint8(address));
        QCOMPARE(block[2], memory[address]);
    }
}

void SimE2eTest::factoryMemoryLooksLikeABoard()
{
    QVERIFY(openPort());
    const int release = readParameter(1);
    QVERIFY(release > 0 && release < 255);
    QCOMPARE(readParameter(2), 1); // Active after power-up
    const int bank = readParameter(6);
    QVERIFY(bank >= 1 && bank <= 3);
    const int frequency = readParameter(178);
    QVERIFY(frequency >= 1 && frequency <= 3);
    // Lot 1523: bytes 100..103 = 0, 0, 0x05, 0xF3.
    QCOMPARE(readParameter(100), 0x00);
    QCOMPARE(readParameter(101), 0x00);
    QCOMPARE(readParameter(102), 0x05);
    QCOMPARE(readParameter(103), 0xF3);
    // Calibration: low byte first; the vertical Z reading exceeds the horizontal one.
    const qint16 vertical = static_cast<qint16>(readParameter(8) | (readParameter(9) << 8));
    const qint16 horizontal = static_cast<qint16>(readParameter(10) | (readParameter(11) << 8));
    QVERIFY(vertical > horizontal);
}

void SimE2eTest::writtenParametersAreReadBack()
{
    QVERIFY(openPort());
    // Writes are not answered: the first block after them is the read answer.
    QVERIFY(writeWhenReady(hex("23 31 18 12 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 31 19 34 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 31 0A 23 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 31 23 0A 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 32 18 18 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 18 12"));
    QVERIFY(m_port.write(hex("23 32 19 19 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 19 34"));
    QVERIFY(m_port.write(hex("23 32 0A 0A 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 0A 23"));
    QVERIFY(m_port.write(hex("23 32 23 23 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 23 0A"));
}

void SimE2eTest::statusAndBankWritesTakeEffect()
{
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 06 02 00 00 0A")));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->param(6), 2, STATE_TIMEOUT_MS);
    QVERIFY(writeWhenReady(hex("23 31 02 04 00 00 0A")));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->mode(), 4, STATE_TIMEOUT_MS);
    QVERIFY(writeWhenReady(hex("23 32 02 02 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 02 04"));
    QVERIFY(writeWhenReady(hex("23 31 02 01 00 00 0A")));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->mode(), 1, STATE_TIMEOUT_MS);
}

void SimE2eTest::stateFileKeepsParametersAcrossRuns()
{
    QTemporaryDir folder;
    const QString state = folder.filePath(QStringLiteral("board.params"));
    QVERIFY(startBoard({QStringLiteral("--state"), state}));
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 31 19 34 00 00 0A")));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->param(25), 0x34, STATE_TIMEOUT_MS);
    QVERIFY(m_board->stop());
    QCOMPARE(QFileInfo(state).size(), PARAMETER_MEMORY);

    QVERIFY(startBoard({QStringLiteral("--state"), state}));
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 32 18 18 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 18 12"));
    QVERIFY(m_port.write(hex("23 32 19 19 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 19 34"));
}

TAVRIN_TEST_MAIN(SimE2eTest)
#include "tst_sim_e2e.moc"
