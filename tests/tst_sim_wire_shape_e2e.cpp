// The simulated board's output cut into pieces and joined in bundles, as a USB
// serial bridge hands it over, and bytes a test injects among its messages, at
// the byte level through its pseudo-terminal.
#include "RawBoardTest.h"
#include "TestMain.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace RawBoard;

namespace {
// Wide enough that the pseudo-terminal's hand-over to the reader, which a busy
// machine can hold back several milliseconds, does not join two pieces.
constexpr int PIECE_GAP_MS = 20;
constexpr int SHOT_BLOCK = 102;
constexpr int TELEMETRY_FRAME = 25;
constexpr int EXIT_BAD_ARGUMENTS = 2;

// Answers of addresses 5 and 6 in one write, the board's way (after "join 5 6").
const QByteArray TWO_REQUESTS = readRequest(5) + readRequest(6);
const QByteArray TWO_ANSWERS = hex("32 05 42 32 06 17");

// Each read until count bytes have come or the time is up.
QList<QByteArray> readPieces(RawPort& port, int count, int timeoutMs)
{
    QList<QByteArray> pieces;
    qsizetype total = 0;
    while (total < count) {
        const QByteArray piece = port.readBlock(timeoutMs);
        if (piece.isEmpty())
            break;
        pieces << piece;
        total += piece.size();
    }
    return pieces;
}
} // namespace

class SimWireShapeE2eTest : public QObject, private RawBoardTest {
    Q_OBJECT
private slots:
    void init()
    {
        startTest();
        QVERIFY(m_board->setParam(5, 0x42));
        QVERIFY(m_board->setParam(6, 0x17));
    }
    void cleanup() { endTest(); }

    void answersComeInPiecesNoLargerThanChosen_data();
    void answersComeInPiecesNoLargerThanChosen();
    void shotComesWholeAndInOrder_data();
    void shotComesWholeAndInOrder();
    void bundleJoinsAnswersInOneWrite_data();
    void bundleJoinsAnswersInOneWrite();
    void unfilledBundleGoesOutAfterItsHold();
    void sentRecordHoldsWhatWentOutAndNotWhatWasDropped();
    void injectedBytesGoOutNowOrJustBeforeTheirAnswer();
    void badValuesAreRefused_data();
    void badValuesAreRefused();
    void startOptionsSetTheShape();
    void badStartOptionsStopTheStart_data();
    void badStartOptionsStopTheStart();

private:
    qint64 writes() const { return m_board->counter(QStringLiteral("wire_writes")); }
};

// ---- Pieces ----------------------------------------------------------------

void SimWireShapeE2eTest::answersComeInPiecesNoLargerThanChosen_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expectedWrites");
    QTest::newRow("3 bytes") << 3 << 2;
    QTest::newRow("2 bytes") << 2 << 3;
    QTest::newRow("1 byte") << 1 << 6;
}

void SimWireShapeE2eTest::answersComeInPiecesNoLargerThanChosen()
{
    QFETCH(int, size);
    QFETCH(int, expectedWrites);
    QVERIFY(m_board->controlOk(QStringLiteral("pieces %1 %2").arg(size).arg(PIECE_GAP_MS)));
    QVERIFY(m_board->controlOk(QStringLiteral("join 5 6")));
    QVERIFY(openPort());
    const qint64 before = writes();
    QVERIFY(m_port.write(TWO_REQUESTS));

    const QList<QByteArray> pieces = readPieces(m_port, int(TWO_ANSWERS.size()), ANSWER_TIMEOUT_MS);
    for (const QByteArray& piece : pieces)
        QVERIFY2(piece.size() <= size, piece.toHex(' ').constData());
    QCOMPARE(pieces.join(), TWO_ANSWERS);
    QCOMPARE(writes() - before, expectedWrites);
}

void SimWireShapeE2eTest::shotComesWholeAndInOrder_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expectedWrites");
    QTest::newRow("1 byte back to back") << 1 << SHOT_BLOCK;
    QTest::newRow("62 bytes back to back") << 62 << 2;
}

void SimWireShapeE2eTest::shotComesWholeAndInOrder()
{
    QFETCH(int, size);
    QFETCH(int, expectedWrites);
    QTemporaryDir folder;
    const QString record = folder.filePath(QStringLiteral("sent.txt"));
    QVERIFY(m_board->controlOk(QStringLiteral("sent ") + record));
    QVERIFY(m_board->controlOk(QStringLiteral("pieces %1 0").arg(size)));
    QVERIFY(openPort());
    const qint64 before = writes();
    QVERIFY(m_board->controlOk(QStringLiteral("shot")));

    const QByteArray shot = m_port.read(SHOT_BLOCK, ANSWER_TIMEOUT_MS);
    QCOMPARE(shot.left(2), hex("AA AA"));
    const QList<SimBoard::SentMessage> sent = SimBoard::sentMessages(record);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent[0].kind, QStringLiteral("shot"));
    QCOMPARE(shot, sent[0].bytes);
    QCOMPARE(writes() - before, expectedWrites);
}

// ---- Bundles ---------------------------------------------------------------

void SimWireShapeE2eTest::bundleJoinsAnswersInOneWrite_data()
{
    QTest::addColumn<QString>("pieces");
    QTest::addColumn<int>("expectedWrites");
    QTest::newRow("whole") << QStringLiteral("off") << 1;
    QTest::newRow("cut in pieces of 4") << QStringLiteral("4 %1").arg(PIECE_GAP_MS) << 2;
}

void SimWireShapeE2eTest::bundleJoinsAnswersInOneWrite()
{
    QFETCH(QString, pieces);
    QFETCH(int, expectedWrites);
    QVERIFY(m_board->controlOk(QStringLiteral("bundle 2")));
    QVERIFY(m_board->controlOk(QStringLiteral("pieces ") + pieces));
    QVERIFY(openPort());
    const qint64 before = writes();
    QVERIFY(m_port.write(TWO_REQUESTS));

    QCOMPARE(m_port.read(int(TWO_ANSWERS.size()), ANSWER_TIMEOUT_MS), TWO_ANSWERS);
    QCOMPARE(writes() - before, expectedWrites);
}

void SimWireShapeE2eTest::unfilledBundleGoesOutAfterItsHold()
{
    QVERIFY(m_board->controlOk(QStringLiteral("bundle 3")));
    QVERIFY(openPort());
    const qint64 before = writes();
    QVERIFY(m_port.write(readRequest(5)));
    QCOMPARE(m_port.readBlock(ANSWER_TIMEOUT_MS), hex("32 05 42"));
    QCOMPARE(writes() - before, 1);
}

// ---- What went out ---------------------------------------------------------

void SimWireShapeE2eTest::sentRecordHoldsWhatWentOutAndNotWhatWasDropped()
{
    // A frame in pieces of 5, 20 ms apart, takes 80 ms: telemetry at 100 per
    // second comes faster than it can go, and the frames that find the last one
    // still waiting are dropped.
    QTemporaryDir folder;
    const QString record = folder.filePath(QStringLiteral("sent.txt"));
    QVERIFY(m_board->controlOk(QStringLiteral("sent ") + record));
    QVERIFY(m_board->controlOk(QStringLiteral("rate 100")));
    QVERIFY(m_board->controlOk(QStringLiteral("pieces 5 %1").arg(PIECE_GAP_MS)));
    QVERIFY(openPort());
    QVERIFY(m_port.write(readRequest(5)));
    QByteArray received = m_port.read(3, ANSWER_TIMEOUT_MS);
    QVERIFY(writeWhenReady(hex("23 31 02 03 00 00 0A")));
    const auto readUntil = [&](const auto& done) {
        return QTest::qWaitFor(
            [&] {
                received += m_port.readPending();
                return done();
            },
            STATE_TIMEOUT_MS);
    };
    QVERIFY(readUntil([&] { return m_board->counter(QStringLiteral("telemetry_sent")) >= 3; }));
    QVERIFY(writeWhenReady(hex("23 31 02 01 00 00 0A")));
    QVERIFY(readUntil([&] { return m_board->mode() == 1; }));
    QVERIFY(readUntil([&] { return received == SimBoard::sentBytes(record); }));

    const QList<SimBoard::SentMessage> sent = SimBoard::sentMessages(record);
    QCOMPARE(sent.value(0).kind, QStringLiteral("reply"));
    QCOMPARE(sent.value(0).bytes, hex("32 05 42"));
    for (qsizetype i = 1; i < sent.size(); ++i) {
        QCOMPARE(sent[i].kind, QStringLiteral("telemetry"));
        QCOMPARE(sent[i].bytes.size(), TELEMETRY_FRAME);
        QCOMPARE(quint8(sent[i].bytes[0]), quint8(0xFF));
        QVERIFY(sent[i - 1].ms <= sent[i].ms);
    }
    const qint64 telemetrySent = m_board->counter(QStringLiteral("telemetry_sent"));
    QCOMPARE(sent.size() - 1, telemetrySent);
    QVERIFY(telemetrySent < m_board->counter(QStringLiteral("telemetry")));
    QVERIFY(m_board->controlOk(QStringLiteral("sent off")));
}

// ---- Settings --------------------------------------------------------------

void SimWireShapeE2eTest::injectedBytesGoOutNowOrJustBeforeTheirAnswer()
{
    QCOMPARE(m_board->control(QStringLiteral("inject 42")), QStringLiteral("error port not open"));
    QVERIFY(openPort());
    QCOMPARE(m_board->control(QStringLiteral("inject 42555359")), QStringLiteral("ok inject 4 bytes"));
    QCOMPARE(readPieces(m_port, 4, ANSWER_TIMEOUT_MS).join(), QByteArray("BUSY"));
    QCOMPARE(m_board->control(QStringLiteral("inject 32274D before 6")), QStringLiteral("ok inject before 6"));
    QVERIFY(m_port.write(TWO_REQUESTS));
    QCOMPARE(readPieces(m_port, 9, ANSWER_TIMEOUT_MS).join(), hex("32 05 42 32 27 4D 32 06 17"));
    // Once only.
    QVERIFY(m_port.write(readRequest(6)));
    QCOMPARE(readPieces(m_port, 3, ANSWER_TIMEOUT_MS).join(), hex("32 06 17"));
}

void SimWireShapeE2eTest::badValuesAreRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("pieces of nothing") << QStringLiteral("pieces 0");
    QTest::newRow("negative gap") << QStringLiteral("pieces 3 -1");
    QTest::newRow("gap beyond a second") << QStringLiteral("pieces 3 1001");
    QTest::newRow("size not a number") << QStringLiteral("pieces x");
    QTest::newRow("three words") << QStringLiteral("pieces 3 5 7");
    QTest::newRow("bundle of one") << QStringLiteral("bundle 1");
    QTest::newRow("bundle not a number") << QStringLiteral("bundle two");
    QTest::newRow("inject, not hexadecimal") << QStringLiteral("inject 3G");
    QTest::newRow("inject, half a byte") << QStringLiteral("inject 324");
    QTest::newRow("inject after") << QStringLiteral("inject 32 after 5");
    QTest::newRow("inject before no address") << QStringLiteral("inject 32 before 256");
}

void SimWireShapeE2eTest::badValuesAreRefused()
{
    QFETCH(QString, command);
    QVERIFY(m_board->control(command).startsWith(QLatin1String("error ")));
    QCOMPARE(m_board->control(QStringLiteral("pieces")), QStringLiteral("ok off"));
    QCOMPARE(m_board->control(QStringLiteral("bundle")), QStringLiteral("ok off"));
}

void SimWireShapeE2eTest::startOptionsSetTheShape()
{
    QVERIFY(startBoard({QStringLiteral("--pieces"), QStringLiteral("3,5"), QStringLiteral("--bundle"),
                        QStringLiteral("2")}));
    QCOMPARE(m_board->control(QStringLiteral("pieces")), QStringLiteral("ok 3 5"));
    QCOMPARE(m_board->control(QStringLiteral("bundle")), QStringLiteral("ok 2"));
    QCOMPARE(m_board->control(QStringLiteral("pieces off")), QStringLiteral("ok pieces off"));
    QCOMPARE(m_board->control(QStringLiteral("pieces")), QStringLiteral("ok off"));
    QCOMPARE(m_board->control(QStringLiteral("pieces 62")), QStringLiteral("ok pieces 62 0"));
}

void SimWireShapeE2eTest::badStartOptionsStopTheStart_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("pieces of nothing") << QStringList{QStringLiteral("--pieces"), QStringLiteral("0")};
    QTest::newRow("negative gap") << QStringList{QStringLiteral("--pieces"), QStringLiteral("3,-1")};
    QTest::newRow("three numbers") << QStringList{QStringLiteral("--pieces"), QStringLiteral("3,5,7")};
    QTest::newRow("bundle of one") << QStringList{QStringLiteral("--bundle"), QStringLiteral("1")};
}

void SimWireShapeE2eTest::badStartOptionsStopTheStart()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir folder;
    QProcess sim;
    sim.start(QStringLiteral(KORDEX_SIM_PATH),
              QStringList{QStringLiteral("--dir"), folder.path()} + arguments);
    QVERIFY(sim.waitForFinished(STATE_TIMEOUT_MS));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), EXIT_BAD_ARGUMENTS);
}

TAVRIN_TEST_MAIN(SimWireShapeE2eTest)
#include "tst_sim_wire_shape_e2e.moc"
