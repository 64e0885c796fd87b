// The simulated board's sound memory and loader at the byte level, through its
// pseudo-terminal: uploads, erases and the loader's acknowledgements.
#include "RawBoardTest.h"
#include "TestMain.h"


using namespace RawBoard;

namespace {
constexpr int SOUND_MEMORY = 0x400000;
constexpr int SECTOR = 0x10000;
} // namespace

class SimMemoryE2eTest : public QObject, private RawBoardTest {
    Q_OBJECT
private slots:
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void uploadIsProgrammedAndEndedWithEnd();
    void programmingOnlyClearsBits();
    void sectorEraseClearsExactlyItsSector();
    void eraseAllNeedsTheCloseFrameFirst();
    void uploadPastTheEndIsCountedAndDropped();
    void loaderAcknowledgesEraseAndWords();
    void switchTakesEffectAtTheNextOpen();
};

// ---- Sound memory ----------------------------------------------------------

void SimMemoryE2eTest::uploadIsProgrammedAndEndedWithEnd()
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

void SimMemoryE2eTest::programmingOnlyClearsBits()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C 00 00 05 00 0A"), {hex("0F FF")}));
    QVERIFY(upload(hex("23 4C 00 00 05 00 0A"), {hex("F0 5A")}));
    QCOMPARE(m_board->dump(QStringLiteral("sound")).mid(0x050000, 2), hex("00 5A"));
}

void SimMemoryE2eTest::sectorEraseClearsExactlyItsSector()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C FE FF 16 00 0A"), {hex("11 22 33 44")}));
    QVERIFY(frameProcessed(hex("23 45 00 00 16 00 0A")));
    const QByteArray sound = m_board->dump(QStringLiteral("sound"));
    QCOMPARE(sound.mid(0x16FFFE, 4), hex("FF FF 33 44"));
    QCOMPARE(sound.mid(0x160000, SECTOR), QByteArray(SECTOR, char(0xFF)));
}

void SimMemoryE2eTest::eraseAllNeedsTheCloseFrameFirst()
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

void SimMemoryE2eTest::uploadPastTheEndIsCountedAndDropped()
{
    QVERIFY(openPort());
    QVERIFY(upload(hex("23 4C FE FF 3F 00 0A"), {hex("01 02 03 04 05")}));
    QCOMPARE(m_board->dump(QStringLiteral("sound")).right(2), hex("01 02"));
    QCOMPARE(m_board->counter(QStringLiteral("overflow")), 3);
}

// ---- Loader ----------------------------------------------------------------

void SimMemoryE2eTest::loaderAcknowledgesEraseAndWords()
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

void SimMemoryE2eTest::switchTakesEffectAtTheNextOpen()
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

TAVRIN_TEST_MAIN(SimMemoryE2eTest)
#include "tst_sim_memory_e2e.moc"
