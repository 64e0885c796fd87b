// The board model without a window: the frames its senders put on the wire,
// the set-up flag, the two identities (the header's, kept; the connection's,
// forgotten) and who may use the board while its firmware is being replaced.
// Simulated time, scripted port.
#include "RecordingDialogs.h"
#include "ScriptedPort.h"
#include "SetupWindowFixture.h"
#include "SimClock.h"
#include "TestMain.h"

#include "comm/BoardLink.h"
#include "comm/Operation.h"
#include "params/Board.h"

#include <QSignalSpy>
#include <memory>

using Params::Board;
using Params::DecoderEffect;

namespace {

constexpr qint64 GIVE_UP_MS = 20000;

// Address and value of a reply to a parameter read.
using Replies = QList<std::pair<int, int>>;

QByteArray reply(int address, int value)
{
    QByteArray block;
    for (int v : {int('2'), address, value})
        block.append(static_cast<char>(v));
    return block;
}

const Replies RELEASE_16 = {{1, 16}};
// Lot 1523 (0x05F3) at 100..103, running serial 42 at 104..107.
const Replies LOT_1523 = {{100, 0}, {101, 0}, {102, 0x05}, {103, 0xF3}};
const Replies RUNNING_42 = {{104, 0}, {105, 0}, {106, 0}, {107, 42}};

const QString FIRMWARE_RUNNING = QStringLiteral("The firmware update is running. Wait until it has finished.");

} // namespace

class BoardTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sendersPutTheirFramesOnTheWire_data();
    void sendersPutTheirFramesOnTheWire();
    void setUpFlagAnnouncesEachChange_data();
    void setUpFlagAnnouncesEachChange();
    void forgetKeepsTheShownIdentityButNotTheReadOne_data();
    void forgetKeepsTheShownIdentityButNotTheReadOne();
    void readEndsWithTheStateKnownAndNamesWhatDidNotAnswer();
    void readOnAClosedPortIsRefused();
    void boardOnItsLoaderIsRefused_data();
    void boardOnItsLoaderIsRefused();

private:
    void open();
    // Runs "Read Parameters" to its end; the replies answer once their requests have gone.
    void readAnswering(const Replies& replies);

    std::unique_ptr<ScopedSimClock> m_sim;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<Board> m_board;
    ScriptedPort* m_port = nullptr;
};

void BoardTest::init()
{
    m_sim = std::make_unique<ScopedSimClock>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_board = std::make_unique<Board>();
    auto port = std::make_unique<ScriptedPort>();
    m_port = port.get();
    m_board->setPort(std::move(port));
}

void BoardTest::cleanup()
{
    m_board.reset();
    m_dialogs.reset();
    m_sim.reset();
}

void BoardTest::open()
{
    m_port->setPort(QStringLiteral("/dev/ttyACM0"));
    m_port->Open();
}

void BoardTest::readAnswering(const Replies& replies)
{
    QVERIFY(m_board->startRead());
    for (const auto& [address, value] : replies) {
        QVERIFY(m_sim->clock.advanceUntil([&, a = address] { return m_board->link()->reads().awaiting(a); }, GIVE_UP_MS));
        m_port->feed(reply(address, value));
    }
    QVERIFY(m_sim->clock.advanceUntil([this] { return !m_board->reading(); }, GIVE_UP_MS));
    QCoreApplication::processEvents(); // the message after the read
}

void BoardTest::sendersPutTheirFramesOnTheWire_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("expectingReply");
    QTest::addColumn<QList<int>>("pauses");
    QTest::newRow("Active") << "active" << hexBytes("23 31 02 01 00 00 0A") << true << QList<int>{};
    QTest::newRow("SetUp") << "setup" << hexBytes("23 31 02 04 00 00 0A") << true << QList<int>{};
    QTest::newRow("TX") << "tx" << hexBytes("23 31 02 03 00 00 0A") << true << QList<int>{};
    QTest::newRow("value 255 at address 6, then the board's pause")
        << "value" << hexBytes("23 31 06 FF 00 00 0A") << false << QList<int>{100};
}

void BoardTest::sendersPutTheirFramesOnTheWire()
{
    QFETCH(QString, sender);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, expectingReply);
    QFETCH(QList<int>, pauses);
    open();
    if (sender == "active")
        m_board->sendMode(Board::Mode::Active);
    else if (sender == "setup")
        m_board->sendMode(Board::Mode::SetUp);
    else if (sender == "tx")
        m_board->sendMode(Board::Mode::Tx);
    else
        m_board->writeValue(255, 6);
    QCOMPARE(m_port->sentBytes(), bytes);
    QCOMPARE(m_board->expectingReply(), expectingReply);
    QList<int> paused;
    for (const SimClock::Pause& pause : m_sim->clock.pauses)
        paused.append(pause.ms);
    QCOMPARE(paused, pauses);
}

void BoardTest::setUpFlagAnnouncesEachChange_data()
{
    QTest::addColumn<QList<bool>>("calls");
    QTest::addColumn<QList<bool>>("announced");
    QTest::addColumn<bool>("finally");
    QTest::newRow("on") << QList<bool>{true} << QList<bool>{true} << true;
    QTest::newRow("off while off") << QList<bool>{false} << QList<bool>{} << false;
    QTest::newRow("on, on again, off") << QList<bool>{true, true, false} << QList<bool>{true, false} << false;
}

void BoardTest::setUpFlagAnnouncesEachChange()
{
    QFETCH(QList<bool>, calls);
    QFETCH(QList<bool>, announced);
    QFETCH(bool, finally);
    QSignalSpy spy(m_board.get(), &Board::setUpModeChanged);
    for (bool on : calls)
        m_board->setSetUpMode(on);
    QList<bool> seen;
    for (const QList<QVariant>& signal : spy)
        seen.append(signal.at(0).toBool());
    QCOMPARE(seen, announced);
    QCOMPARE(m_board->setUpMode(), finally);
}

void BoardTest::forgetKeepsTheShownIdentityButNotTheReadOne_data()
{
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QString>("release");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("read");
    QTest::newRow("release and every byte of the number")
        << RELEASE_16 + LOT_1523 + RUNNING_42 << "16.0" << "1523-0042" << "1523-0042";
    QTest::newRow("running serial unanswered") << RELEASE_16 + LOT_1523 << "16.0" << "1523-1523" << "";
    QTest::newRow("nothing answered") << Replies{} << "" << "" << "";
}

void BoardTest::forgetKeepsTheShownIdentityButNotTheReadOne()
{
    QFETCH(Replies, replies);
    QFETCH(QString, release);
    QFETCH(QString, shown);
    QFETCH(QString, read);
    open();
    readAnswering(replies);
    QCOMPARE(m_board->release(), release);
    QCOMPARE(m_board->shownSerialNumber(), shown);
    QCOMPARE(m_board->readSerialNumber(), read);

    m_board->forget();
    QCOMPARE(m_board->readSerialNumber(), QString());
    QCOMPARE(m_board->model().release(), QString());
    QCOMPARE(m_board->release(), release);
    QCOMPARE(m_board->shownSerialNumber(), shown);
}

void BoardTest::readEndsWithTheStateKnownAndNamesWhatDidNotAnswer()
{
    open();
    QStringList events;
    connect(m_board.get(), &Board::readStarting, this, [&] {
        events << QStringLiteral("starting, %1 frames sent").arg(m_port->sent.size());
    });
    connect(m_board.get(), &Board::decoded, this, [&](const DecoderEffect& effect) {
        // The board's own image has taken the change when it is announced.
        events << QStringLiteral("decoded %1, release %2").arg(effect.control, m_board->model().release());
    });
    connect(m_board.get(), &Board::readEnded, this, [&] {
        events << QStringLiteral("ended, release %1 unread")
                      .arg(m_board->readState().isUnread(1) ? QStringLiteral("still") : QStringLiteral("not"));
    });
    readAnswering(RELEASE_16);
    QCOMPARE(events, (QStringList{"starting, 0 frames sent", "decoded releaseNumber, release 16.0",
                                  "ended, release not unread"}));
    QCOMPARE(m_dialogs->messages.size(), 1);
    QVERIFY2(m_dialogs->messages[0].startsWith(
                 "These values did not come back from the board, even when asked again: "),
             qPrintable(m_dialogs->messages[0]));
    QVERIFY(!m_board->decoding());
}

void BoardTest::readOnAClosedPortIsRefused()
{
    QSignalSpy starting(m_board.get(), &Board::readStarting);
    QCOMPARE(m_board->startRead(), nullptr);
    QCOMPARE(m_dialogs->messages,
             QStringList{"Read Parameters needs an open port: open the board's port first."});
    QVERIFY(m_port->sent.isEmpty());
    QCOMPARE(starting.size(), 1); // what the screen showed was let go all the same
}

void BoardTest::boardOnItsLoaderIsRefused_data()
{
    QTest::addColumn<bool>("handingOver");
    QTest::addColumn<bool>("firmwareWindowShown");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<bool>("onLoader");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("nothing holds it") << false << false << true << false << QStringList{};
    QTest::newRow("handing over, port closed") << true << false << false << true
                                               << QStringList{FIRMWARE_RUNNING};
    QTest::newRow("firmware window on the open port") << false << true << true << true
                                                      << QStringList{FIRMWARE_RUNNING};
    QTest::newRow("firmware window, port lost") << false << true << false << false << QStringList{};
}

void BoardTest::boardOnItsLoaderIsRefused()
{
    QFETCH(bool, handingOver);
    QFETCH(bool, firmwareWindowShown);
    QFETCH(bool, portOpen);
    QFETCH(bool, onLoader);
    QFETCH(QStringList, messages);
    if (portOpen)
        open();
    m_board->setHandingOver(handingOver);
    m_board->setFirmwareWindowShown(firmwareWindowShown);
    QCOMPARE(m_board->onLoader(), onLoader);
    QCOMPARE(m_board->refuseWhileBusy(), onLoader);
    QCOMPARE(m_dialogs->messages, messages);
}

TAVRIN_TEST_MAIN(BoardTest)
#include "tst_board.moc"
