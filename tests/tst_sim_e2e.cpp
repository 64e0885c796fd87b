// The simulated board at the byte level, through its pseudo-terminal: what the
// tool relies on from the board must hold here first, since the tool's own
// end-to-end tests run against this simulator.
#include "RawPort.h"
#include "SimBoard.h"
#include "TestMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <climits>
#include <memory>
#include <optional>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr int ANSWER_TIMEOUT_MS = 2000; // the tool gives the board 2 s to answer
constexpr int END_TIMEOUT_MS = 5000;    // idle time of the stream plus slack
constexpr int STATE_TIMEOUT_MS = 5000;
constexpr int APP_FRAME = 7;
constexpr int TELEMETRY_FRAME = 25; // 24 bytes of readings and state, one sequence byte
constexpr int TELEMETRY_STATE_OFFSET = 23;
constexpr int SHOT_BLOCK = 102;
constexpr int SOUND_MEMORY = 0x400000;
constexpr int SECTOR = 0x10000;
constexpr int PARAMETER_MEMORY = 256;
constexpr int LAST_SWEPT_ADDRESS = 225;
// The board takes a parameter write every 100 ms and erases a sector in 500 ms;
// frames spaced by these figures and a small margin must all be taken.
constexpr int WRITE_SPACING_MS = 110;
constexpr int ERASE_SPACING_MS = 530;

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// "#", "2", A, A, 0, 0, LF: the tool's read request.
QByteArray readRequest(int address)
{
    QByteArray frame = hex("23 32 00 00 00 00 0A");
    frame[2] = static_cast<char>(address);
    frame[3] = static_cast<char>(address);
    return frame;
}

qint16 bigEndian(const QByteArray& block, int offset)
{
    return static_cast<qint16>((quint8(block[offset]) << 8) | quint8(block[offset + 1]));
}

qint16 littleEndian(const QByteArray& block, int offset)
{
    return static_cast<qint16>(quint8(block[offset]) | (quint8(block[offset + 1]) << 8));
}

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

class SimE2eTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Publishing and the control channel
    void publishesItsPortAndCleansUpOnTerminate();
    void boardsRunSideBySideUnderTheirNames();
    void secondBoardWithTheSameNameIsRefused();
    void controlRejectsWhatItDoesNotKnow_data();
    void controlRejectsWhatItDoesNotKnow();

    // Parameter memory
    void readRequestIsAnsweredInOneBlock_data();
    void readRequestIsAnsweredInOneBlock();
    void sweepIsAnsweredInOrderOneBlockEach();
    void factoryMemoryLooksLikeABoard();
    void writtenParametersAreReadBack();
    void statusAndBankWritesTakeEffect();
    void stateFileKeepsParametersAcrossRuns();

    // Telemetry
    void txWriteIsAnsweredByTheStream();
    void telemetryComesAtTheSetRate_data();
    void telemetryComesAtTheSetRate();
    void setUpAndActiveStopTheStream_data();
    void setUpAndActiveStopTheStream();
    void accelerometerZMatchesTheCalibrationPoses();

    // Sound memory
    void uploadIsProgrammedAndEndedWithEnd();
    void programmingOnlyClearsBits();
    void sectorEraseClearsExactlyItsSector();
    void eraseAllNeedsTheCloseFrameFirst();
    void uploadPastTheEndIsCountedAndDropped();

    // Loader
    void loaderAcknowledgesEraseAndWords();
    void switchTakesEffectAtTheNextOpen();

    // Shots
    void shotArrivesAsOneBlock();

    // Robustness
    void framesAreFoundAfterFragmentsAndGarbage_data();
    void framesAreFoundAfterFragmentsAndGarbage();
    void randomBytesLeaveTheBoardRunningAndAnswering();
    void silentBoardSendsNothing();
    void closedPortLeavesTheBoardIdleAndReady();
    void unplugHangsUpAndPlugRepublishes();
    void trafficLogHasOneLinePerChunk();

    // Pacing
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

private:
    bool startBoard(const QStringList& arguments = {});
    bool openPort();
    bool closePort();
    int readParameter(int address);
    bool upload(const QByteArray& request, const QList<QByteArray>& writes);
    bool frameProcessed(const QByteArray& frame);
    bool writeWhenReady(const QByteArray& frame);
    bool framesTaken(qint64 before, qint64 count);

    std::unique_ptr<SimBoard> m_board;
    RawPort m_port;
    // Frames each test sends while the board is busy; unset when it cannot know.
    std::optional<qint64> m_expectedLate;
};

// ---- Fixture ---------------------------------------------------------------

void SimE2eTest::init()
{
    m_expectedLate = 0;
    QVERIFY(startBoard());
}

void SimE2eTest::cleanup()
{
    m_port.close();
    const bool checked = m_expectedLate && m_board && m_board->isRunning();
    const qint64 late = checked ? m_board->violations() : 0;
    const QString report = checked ? m_board->violationReport() : QString();
    m_board.reset();
    if (checked)
        QVERIFY2(late == *m_expectedLate, qPrintable(report));
}

bool SimE2eTest::startBoard(const QStringList& arguments)
{
    m_port.close();
    m_board.reset();
    m_board =
        std::make_unique<SimBoard>(SimBoard::Options{QString(), QStringLiteral("kordex-sim"), arguments});
    if (!m_board->isRunning())
        qWarning("simulator did not start: %s", qPrintable(m_board->errorOutput()));
    return m_board->isRunning();
}

bool SimE2eTest::openPort()
{
    if (!m_port.open(m_board->portPath()))
        return false;
    return QTest::qWaitFor([&] { return m_board->portState() == QLatin1String("open"); }, STATE_TIMEOUT_MS);
}

bool SimE2eTest::closePort()
{
    m_port.close();
    return QTest::qWaitFor([&] { return m_board->portState() == QLatin1String("closed"); }, STATE_TIMEOUT_MS);
}

int SimE2eTest::readParameter(int address)
{
    m_port.write(readRequest(address));
    const QByteArray answer = m_port.readBlock(ANSWER_TIMEOUT_MS);
    if (answer.size() != 3 || answer[0] != '2' || quint8(answer[1]) != address)
        return -1;
    return quint8(answer[2]);
}

// Sends the upload request and the stream, and waits for "End.".
bool SimE2eTest::upload(const QByteArray& request, const QList<QByteArray>& writes)
{
    if (!m_port.write(request))
        return false;
    for (const QByteArray& bytes : writes)
        if (!m_port.write(bytes))
            return false;
    return m_port.readBlock(END_TIMEOUT_MS) == "End.";
}

// Sends a frame that has no answer and waits until the board has taken it.
bool SimE2eTest::frameProcessed(const QByteArray& frame)
{
    const qint64 before = m_board->counter(QStringLiteral("frames"));
    return m_port.write(frame) && framesTaken(before, 1);
}

// Sends a frame once the board is ready for it, as the tool paces its frames.
bool SimE2eTest::writeWhenReady(const QByteArray& frame)
{
    return QTest::qWaitFor([&] { return m_board->busyMs() == 0; }, STATE_TIMEOUT_MS) && m_port.write(frame);
}

// Waits until the board has taken or dropped count frames after the first before.
bool SimE2eTest::framesTaken(qint64 before, qint64 count)
{
    return QTest::qWaitFor([&] { return m_board->counter(QStringLiteral("frames")) == before + count; },
                           STATE_TIMEOUT_MS);
}

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

// ---- Telemetry -------------------------------------------------------------

void SimE2eTest::txWriteIsAnsweredByTheStream()
{
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 02 03 00 00 0A")));
    const QByteArray block = m_port.readBlock(ANSWER_TIMEOUT_MS);
    QVERIFY(block.size() > 24);
    QCOMPARE(quint8(block[0]), quint8(0xFF));
    QCOMPARE(int(block[TELEMETRY_STATE_OFFSET]), 3);
}

void SimE2eTest::telemetryComesAtTheSetRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::newRow("20 per second") << 20;
    QTest::newRow("100 per second") << 100;
}

void SimE2eTest::telemetryComesAtTheSetRate()
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

void SimE2eTest::setUpAndActiveStopTheStream_data()
{
    QTest::addColumn<QByteArray>("stop");
    QTest::addColumn<int>("status");
    QTest::newRow("SetUp") << hex("23 31 02 04 00 00 0A") << 4;
    QTest::newRow("Active") << hex("23 31 02 01 00 00 0A") << 1;
}

void SimE2eTest::setUpAndActiveStopTheStream()
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

void SimE2eTest::accelerometerZMatchesTheCalibrationPoses()
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

// ---- Sound memory ----------------------------------------------------------

void SimE2eTest::uploadIsProgrammedAndEndedWithEnd()
{
    QByteArray tail;
    for (int i = 0; i < 256; ++i)
        tail.append(char(i));
    // A read request inside the stream is sample data, not a command.
    const QByteArray embedded = hex("23 32 0A 0A 00 00 0A");
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C 00 00 04 00 0A"), {hex("34"), hex("92"), embedded, tail}));

    const QByteArray sound = m_board->dump(QStringLiteral("sound"));
    QCOMPARE(sound.size(), SOUND_MEMORY);
    const QByteArray expected = hex("34 92") + embedded + tail;
    QCOMPARE(sound.mid(0x040000, expected.size()), expected);
    QCOMPARE(quint8(sound[0x040000 - 1]), quint8(0xFF));
    QCOMPARE(quint8(sound[0x040000 + expected.size()]), quint8(0xFF));
    QCOMPARE(m_board->counter(QStringLiteral("uploads")), 1);
    QCOMPARE(m_board->counter(QStringLiteral("upload_bytes")), expected.size());
}

void SimE2eTest::programmingOnlyClearsBits()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C 00 00 05 00 0A"), {hex("0F FF")}));
    QVERIFY(upload(hex("23 4C 00 00 05 00 0A"), {hex("F0 5A")}));
    QCOMPARE(m_board->dump(QStringLiteral("sound")).mid(0x050000, 2), hex("00 5A"));
}

void SimE2eTest::sectorEraseClearsExactlyItsSector()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C FE FF 16 00 0A"), {hex("11 22 33 44")}));
    QVERIFY(frameProcessed(hex("23 45 00 00 16 00 0A")));
    const QByteArray sound = m_board->dump(QStringLiteral("sound"));
    QCOMPARE(sound.mid(0x16FFFE, 4), hex("FF FF 33 44"));
    QCOMPARE(sound.mid(0x160000, SECTOR), QByteArray(SECTOR, char(0xFF)));
}

void SimE2eTest::eraseAllNeedsTheCloseFrameFirst()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C 00 00 00 00 0A"), {hex("55")}));
    QVERIFY(upload(hex("23 4C 00 00 3B 00 0A"), {hex("66")}));

    QVERIFY(frameProcessed(hex("23 44 00 00 00 00 0A")));
    QCOMPARE(m_board->dump(QStringLiteral("sound")).mid(0, 1), hex("55"));

    QVERIFY(frameProcessed(hex("23 43 00 00 00 00 0A")));
    QVERIFY(frameProcessed(hex("23 44 00 00 00 00 0A")));
    QCOMPARE(m_board->dump(QStringLiteral("sound")), QByteArray(SOUND_MEMORY, char(0xFF)));
}

void SimE2eTest::uploadPastTheEndIsCountedAndDropped()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C FE FF 3F 00 0A"), {hex("01 02 03 04 05")}));
    QCOMPARE(m_board->dump(QStringLiteral("sound")).right(2), hex("01 02"));
    QCOMPARE(m_board->counter(QStringLiteral("overflow")), 3);
}

// ---- Loader ----------------------------------------------------------------

void SimE2eTest::loaderAcknowledgesEraseAndWords()
{
    QVERIFY(m_board->controlOk(QStringLiteral("switch loader")));
    QVERIFY(openPort());
    QCOMPARE(m_board->control(QStringLiteral("firmware")), QStringLiteral("ok loader"));

    QVERIFY(m_port.write(hex("23 43 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), QByteArray("C"));
    // The words of ":0400000001020304F2", then 0x1234, then a word made of LF and "#".
    for (const char* frame : {"23 41 02 01 0A", "23 41 04 03 0A", "23 41 34 12 0A", "23 41 0A 23 0A"}) {
        QVERIFY(m_port.write(hex(frame)));
        QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), QByteArray("A"));
    }
    QCOMPARE(m_board->dump(QStringLiteral("program")), hex("02 01 04 03 34 12 0A 23"));

    // The application's frames mean nothing to the loader.
    const qint64 ignored = m_board->counter(QStringLiteral("ignored_bytes"));
    QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
    QTRY_COMPARE_WITH_TIMEOUT(m_board->counter(QStringLiteral("ignored_bytes")), ignored + 7,
                              STATE_TIMEOUT_MS);
    QCOMPARE(m_port.readPending(), QByteArray());

    QVERIFY(m_port.write(hex("23 43 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), QByteArray("C"));
    QCOMPARE(m_board->dump(QStringLiteral("program")), QByteArray());
}

void SimE2eTest::switchTakesEffectAtTheNextOpen()
{
    QVERIFY(m_board->setParam(5, 0x42));
    QVERIFY(openPort());
    QVERIFY(m_board->controlOk(QStringLiteral("switch loader")));
    QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));

    QVERIFY(closePort());
    QVERIFY(openPort());
    QCOMPARE(m_board->control(QStringLiteral("firmware")), QStringLiteral("ok loader"));
    QVERIFY(m_port.write(hex("23 43 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), QByteArray("C"));

    QVERIFY(m_board->controlOk(QStringLiteral("switch app")));
    QVERIFY(closePort());
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 32 05 05 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));
    QCOMPARE(m_board->mode(), 1);
}

// ---- Shots -----------------------------------------------------------------

void SimE2eTest::shotArrivesAsOneBlock()
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

// ---- Robustness ------------------------------------------------------------

void SimE2eTest::framesAreFoundAfterFragmentsAndGarbage_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    const QByteArray request = hex("23 32 23 23 00 00 0A");
    QTest::newRow("fragment before a frame") << QList<QByteArray>{hex("23 32 05") + request};
    QTest::newRow("garbage before a frame") << QList<QByteArray>{hex("00 FF 0A 41 0A") + request};
    QTest::newRow("lone start byte before a frame") << QList<QByteArray>{hex("23") + request};
    QTest::newRow("frame split over two writes") << QList<QByteArray>{hex("23 32 23"), hex("23 00 00 0A")};
    QTest::newRow("garbage, then a frame") << QList<QByteArray>{hex("41 42 43 0A 0A"), request};
}

void SimE2eTest::framesAreFoundAfterFragmentsAndGarbage()
{
    QFETCH(QList<QByteArray>, writes);
    QVERIFY(m_board->setParam(35, 0x0A));
    QVERIFY(openPort());
    for (const QByteArray& bytes : writes)
        QVERIFY(m_port.write(bytes));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 23 0A"));
}

void SimE2eTest::randomBytesLeaveTheBoardRunningAndAnswering()
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

void SimE2eTest::silentBoardSendsNothing()
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

void SimE2eTest::closedPortLeavesTheBoardIdleAndReady()
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

void SimE2eTest::unplugHangsUpAndPlugRepublishes()
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

void SimE2eTest::trafficLogHasOneLinePerChunk()
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

// ---- Pacing ----------------------------------------------------------------

void SimE2eTest::framesWhileBusyAreCountedAndDroppedWhenStrict_data()
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

void SimE2eTest::framesWhileBusyAreCountedAndDroppedWhenStrict()
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

void SimE2eTest::readRightAfterAWriteIsNotAnsweredWhenStrict()
{
    m_expectedLate = 1;
    QVERIFY(m_board->setParam(7, 0x77));
    QVERIFY(openPort());
    QVERIFY(m_port.write(hex("23 31 18 12 00 00 0A")));
    QVERIFY(m_port.write(hex("23 32 18 18 00 00 0A")));
    QVERIFY(writeWhenReady(hex("23 32 07 07 00 00 0A")));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 07 77"));
}

void SimE2eTest::writesAHundredMsApartAreAllTaken()
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

void SimE2eTest::pacedWritesReadLateAreAllTaken()
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

void SimE2eTest::sectorEraseKeepsTheBoardBusyForHalfASecond()
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

void SimE2eTest::lateFramesAreListedAndLogged()
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

void SimE2eTest::strictModeFollowsCommandLineAndControl()
{
    QCOMPARE(m_board->control(QStringLiteral("strict")), QStringLiteral("ok on"));
    m_board = std::make_unique<SimBoard>(
        SimBoard::Options{QString(), QStringLiteral("kordex-sim"), {}, /*strict=*/false});
    QVERIFY(m_board->isRunning());
    QCOMPARE(m_board->control(QStringLiteral("strict")), QStringLiteral("ok off"));
    QCOMPARE(m_board->control(QStringLiteral("strict on")), QStringLiteral("ok strict on"));
    QCOMPARE(m_board->control(QStringLiteral("strict")), QStringLiteral("ok on"));
}

void SimE2eTest::readRequestNamingTwoAddressesIsNotAnswered_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("address bytes differ") << hex("23 32 05 06 00 00 0A");
    QTest::newRow("second address byte is LF") << hex("23 32 05 0A 00 00 0A");
    QTest::newRow("first address byte is the start byte") << hex("23 32 23 05 00 00 0A");
}

void SimE2eTest::readRequestNamingTwoAddressesIsNotAnswered()
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

TAVRIN_TEST_MAIN(SimE2eTest)
#include "tst_sim_e2e.moc"
