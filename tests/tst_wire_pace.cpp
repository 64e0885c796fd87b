// What leaves for the board, and when, measured by what the port says has left
// rather than by its nominal baud: the sample stream's top pace and lead, its
// progress, and the board's 100 ms after a parameter write counted from the
// completed write. Simulated time, scripted port.
#include "RecordingDialogs.h"
#include "ScriptedPort.h"
#include "SimClock.h"
#include "TestMain.h"

#include "comm/BoardLink.h"
#include "params/ParameterWriteOperation.h"
#include "sound/SlotMap.h"
#include "sound/SlotWriter.h"

#include <QSignalSpy>
#include <memory>

namespace {

// The stream's figures: a 115200 baud line's 11,520 bytes a second at most, and
// 250 ms of that pace (2880 bytes) ahead of what has left.
constexpr qint64 TOP_BYTES_PER_SECOND = 11520;
constexpr qint64 LEAD_BYTES = 2880;
constexpr qint64 USB_BYTES_PER_SECOND = 1000000; // a full-speed USB board takes bytes this fast
constexpr int TICK_MS = 20;
// From write() until the upload request: two erase frames, 1000 ms after each, one tick.
constexpr qint64 REQUEST_AFTER_MS = 2000 + TICK_MS;
const QByteArray UPLOAD_REQUEST_SWING_1 = QByteArray::fromHex("234C000004000A");

} // namespace

class WirePaceTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void streamIsPacedByWhatHasLeft_data();
    void streamIsPacedByWhatHasLeft();
    void progressCountsTheBytesThatHaveLeft();
    void streamWaitsAtTheLeadForAPortThatTakesNothing();
    void writeEndsWithTheBoardsEndWithinTheBound_data();
    void writeEndsWithTheBoardsEndWithinTheBound();

    void writePauseCountsFromTheCompletedWrite_data();
    void writePauseCountsFromTheCompletedWrite();
    void writePauseAcrossAReopenCountsFromTheQueueing();

private:
    // Starts writing a stream of `bytes` bytes into bank 1's swing 1; returns
    // when the upload request has gone, with the simulated time at that moment.
    qint64 startStream(qsizetype bytes);
    // The stream bytes handed to the port so far, with when each send left.
    QList<ScriptedPort::Sent> streamSends() const;
    qint64 handed() const;
    qint64 departed() const { return handed() - port->OutputPending(); }

    std::unique_ptr<ScopedSimClock> sim;
    std::unique_ptr<RecordingDialogs> dialogs;
    std::unique_ptr<BoardLink> link;
    ScriptedPort* port = nullptr;
    std::unique_ptr<SlotWriter> writer;
};

void WirePaceTest::init()
{
    sim = std::make_unique<ScopedSimClock>();
    dialogs = std::make_unique<RecordingDialogs>();
    link = std::make_unique<BoardLink>();
    auto scripted = std::make_unique<ScriptedPort>();
    port = scripted.get();
    link->setPort(std::move(scripted));
    port->Open();
}

void WirePaceTest::cleanup()
{
    writer.reset();
    link.reset();
    dialogs.reset();
    sim.reset();
}

qint64 WirePaceTest::startStream(qsizetype bytes)
{
    writer = std::make_unique<SlotWriter>(*link);
    Sound::PreparedUpload upload;
    upload.stream = QByteArray(bytes, '\x55');
    writer->write(Sound::SoundSlots()[Sound::SlotIndex(1, Sound::SlotKind::Swing, 1)], upload);
    sim->clock.advance(REQUEST_AFTER_MS);
    return sim->clock.now();
}

QList<ScriptedPort::Sent> WirePaceTest::streamSends() const
{
    QList<ScriptedPort::Sent> sends;
    bool afterRequest = false;
    for (const ScriptedPort::Sent& s : port->sent) {
        if (afterRequest)
            sends.append(s);
        afterRequest = afterRequest || s.bytes == UPLOAD_REQUEST_SWING_1;
    }
    return sends;
}

qint64 WirePaceTest::handed() const
{
    qint64 total = 0;
    for (const ScriptedPort::Sent& s : streamSends())
        total += s.bytes.size();
    return total;
}

// ---- The sample stream ---------------------------------------------------------

void WirePaceTest::streamIsPacedByWhatHasLeft_data()
{
    QTest::addColumn<quint32>("baud");
    QTest::addColumn<bool>("usb");
    QTest::addColumn<qint64>("allLeftAfterMs"); // from the request to the progress's last step
    // 23,040 bytes, two seconds at the top pace. The stream's first tick comes
    // 20 ms after the request. A USB board takes the lead at once and each tick's
    // share within the tick: the last byte is handed 1760 ms into the stream, and
    // counted as gone at the next tick. A real 115200 line carries the bytes in
    // exactly 2000 ms, a real 9600 line in 24000 ms, the lead keeping it busy.
    QTest::newRow("USB board after the re-open at 9600") << 9600u << true << qint64(1800);
    QTest::newRow("USB board at 115200") << 115200u << true << qint64(1800);
    QTest::newRow("real line at 115200") << 115200u << false << qint64(2020);
    QTest::newRow("real line at 9600 is still respected") << 9600u << false << qint64(24020);
}

void WirePaceTest::streamIsPacedByWhatHasLeft()
{
    QFETCH(quint32, baud);
    QFETCH(bool, usb);
    QFETCH(qint64, allLeftAfterMs);
    constexpr qsizetype STREAM = 23040;
    port->setBaud(baud);
    if (usb)
        port->drainBytesPerSecond = USB_BYTES_PER_SECOND;
    const qint64 start = startStream(STREAM);
    qsizetype reported = 0;
    bool countedOnlyWhatLeft = true;
    connect(writer.get(), &SlotWriter::streamed, this, [&](qsizetype gone) {
        countedOnlyWhatLeft = countedOnlyWhatLeft && gone <= departed();
        reported = gone;
    });
    // Every millisecond: never faster than the top pace, never more than the
    // lead ahead of what has left.
    bool keptPace = true;
    QVERIFY(sim->clock.advanceUntil(
        [&] {
            const qint64 elapsed = sim->clock.now() - start;
            keptPace = keptPace && handed() <= elapsed * TOP_BYTES_PER_SECOND / 1000 + LEAD_BYTES &&
                       handed() - departed() <= LEAD_BYTES;
            return reported == STREAM;
        },
        allLeftAfterMs + 1));
    QVERIFY(keptPace);
    QVERIFY(countedOnlyWhatLeft);
    QCOMPARE(sim->clock.now() - start, allLeftAfterMs);
    QCOMPARE(handed(), qint64(STREAM));
    QCOMPARE(port->OutputPending(), qint64(0));
}

void WirePaceTest::progressCountsTheBytesThatHaveLeft()
{
    port->setBaud(9600); // a real line: 960 bytes a second
    startStream(23040);
    QSignalSpy progress(writer.get(), &SlotWriter::streamed);
    sim->clock.advance(TICK_MS + 5000); // five seconds into the stream
    QCOMPARE(progress.last().at(0).value<qsizetype>(), qsizetype(4800));
    QCOMPARE(handed(), 4800 + LEAD_BYTES);
}

void WirePaceTest::streamWaitsAtTheLeadForAPortThatTakesNothing()
{
    port->setBaud(115200);
    port->drainBytesPerSecond = 0; // a board that has stopped reading
    startStream(23040);
    QSignalSpy progress(writer.get(), &SlotWriter::streamed);
    sim->clock.advance(10000);
    QCOMPARE(handed(), LEAD_BYTES);
    QVERIFY(progress.isEmpty()); // nothing has left
    QVERIFY(writer->writing());
}

void WirePaceTest::writeEndsWithTheBoardsEndWithinTheBound_data()
{
    QTest::addColumn<qint64>("endAtMs"); // after the request; -1: the board never answers
    QTest::addColumn<qint64>("doneAtMs");
    QTest::addColumn<bool>("confirmed");
    // A USB board: the last of the 23,040 bytes has left 1800 ms after the
    // request, and the closing pause runs 4000 ms from there. The answer is
    // awaited for the stream's two seconds at the top pace plus 5000 ms: until
    // 8800 ms after the request.
    QTest::newRow("during the stream: ends after the closing pause") << qint64(900) << qint64(5800) << true;
    QTest::newRow("in the closing pause") << qint64(2100) << qint64(5800) << true;
    QTest::newRow("late, within the bound") << qint64(8300) << qint64(8300) << true;
    QTest::newRow("never: unconfirmed at the bound") << qint64(-1) << qint64(8800) << false;
    QTest::newRow("after the bound: unconfirmed") << qint64(8900) << qint64(8800) << false;
}

void WirePaceTest::writeEndsWithTheBoardsEndWithinTheBound()
{
    QFETCH(qint64, endAtMs);
    QFETCH(qint64, doneAtMs);
    QFETCH(bool, confirmed);
    port->setBaud(115200);
    port->drainBytesPerSecond = USB_BYTES_PER_SECOND;
    const qint64 start = startStream(23040);
    QSignalSpy done(writer.get(), &SlotWriter::done);
    qint64 doneAt = -1;
    connect(writer.get(), &SlotWriter::done, this, [&] { doneAt = sim->clock.now(); });
    if (endAtMs >= 0) {
        sim->clock.advance(start + endAtMs - sim->clock.now());
        port->feed("End.");
    }
    sim->clock.advance(start + 10000 - sim->clock.now());
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(0).toBool(), confirmed);
    QCOMPARE(doneAt - start, doneAtMs);
    QVERIFY(!writer->writing());
}

// ---- The board's 100 ms after a parameter write ---------------------------------

void WirePaceTest::writePauseCountsFromTheCompletedWrite_data()
{
    QTest::addColumn<int>("writeDelayMs");
    QTest::addColumn<qint64>("secondFrameAfterMs"); // from the first frame's Send
    QTest::newRow("written at once") << 0 << qint64(100);
    QTest::newRow("written 30 ms after it was queued") << 30 << qint64(130);
    QTest::newRow("written after a whole pause") << 250 << qint64(350);
}

void WirePaceTest::writePauseCountsFromTheCompletedWrite()
{
    QFETCH(int, writeDelayMs);
    QFETCH(qint64, secondFrameAfterMs);
    port->writeDelayMs = writeDelayMs;
    Params::WritePlan::Banks banks;
    banks[0] = {{24, 0x12}, {25, 0x34}, {26, 0x56}};
    ParameterWriteOperation write(*link, Params::WritePlan(banks));
    QSignalSpy finished(&write, &Operation::finished);
    QVERIFY(write.start());
    QVERIFY(sim->clock.advanceUntil([&] { return !finished.isEmpty(); }, 2000));
    QCOMPARE(port->sent.size(), 3);
    QCOMPARE(port->sent[0].bytes, QByteArray::fromHex("2331181200000A"));
    QCOMPARE(port->sent[1].bytes, QByteArray::fromHex("2331193400000A"));
    QCOMPARE(port->sent[2].bytes, QByteArray::fromHex("23311A5600000A"));
    QCOMPARE(port->sent[1].at - port->sent[0].at, secondFrameAfterMs);
    QCOMPARE(port->sent[2].at - port->sent[1].at, secondFrameAfterMs);
}

void WirePaceTest::writePauseAcrossAReopenCountsFromTheQueueing()
{
    // The reopened port has written nothing of its own yet: the frame waits out
    // only the rest of the write's 100 ms, not a write that will never come.
    QVERIFY(link->sendFrame(QByteArray::fromHex("2331020400000A")));
    port->Close();
    port->Open();
    sim->clock.advance(30);
    QVERIFY(link->sendFrame(QByteArray::fromHex("2331060200000A")));
    QCOMPARE(port->sent.size(), 2);
    QCOMPARE(port->sent[1].at - port->sent[0].at, qint64(100));
}

TAVRIN_TEST_MAIN(WirePaceTest)
#include "tst_wire_pace.moc"
