// The header and the port panel on their own, without the set-up window, on a
// board model with a scripted port: each shows the replies meant for its own
// controls and leaves the rest alone, the header marks the identity a read left
// unanswered, and a lost device runs the window's hooks before its message.
// Simulated time.
#include "AwaitedAnswer.h"
#include "Controls.h"
#include "RecordingDialogs.h"
#include "ScriptedPort.h"
#include "SimClock.h"
#include "TestMain.h"

#include "app/WaitDialog.h"
#include "comm/BoardLink.h"
#include "comm/ui/PortPanel.h"
#include "common/ui/ValueLabel.h"
#include "params/Board.h"
#include "params/ui/HeaderPanel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <memory>

namespace {

constexpr qint64 GIVE_UP_MS = 20000;
const QString PORT = QStringLiteral("/dev/ttyACM0");

QByteArray reply(int address, int value)
{
    QByteArray block;
    for (int v : {int('2'), address, value})
        block.append(static_cast<char>(v));
    return block;
}

using Replies = QList<QByteArray>;
const Replies RELEASE_16 = {reply(1, 16)};
// Lot 1523 (0x05F3) at 100..103, running serial 42 at 104..107.
const Replies SERIAL_1523_0042 = {reply(100, 0),   reply(101, 0), reply(102, 0x05), reply(103, 0xF3),
                                  reply(104, 0),   reply(105, 0), reply(106, 0),    reply(107, 42)};

} // namespace

class HeaderAndPortPanelsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void eachPanelShowsOnlyItsOwnReplies_data();
    void eachPanelShowsOnlyItsOwnReplies();
    void readEndMarksTheUnansweredIdentity_data();
    void readEndMarksTheUnansweredIdentity();
    void lostDeviceRunsTheHooksBeforeTheMessage_data();
    void lostDeviceRunsTheHooksBeforeTheMessage();

private:
    QString checkedStatusButton() const;

    std::unique_ptr<ScopedSimClock> m_sim;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<Params::Board> m_board;
    std::unique_ptr<WaitDialog> m_waitDialog;
    std::unique_ptr<HeaderPanel> m_header;
    std::unique_ptr<PortPanel> m_ports;
    ScriptedPort* m_port = nullptr;
    QStringList m_events;     // what the hooks saw, in order
    QString m_cutShortNote;   // what the hand-over hook says it cut short
};

void HeaderAndPortPanelsTest::init()
{
    m_sim = std::make_unique<ScopedSimClock>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_board = std::make_unique<Params::Board>();
    auto port = std::make_unique<ScriptedPort>();
    m_port = port.get();
    m_board->setPort(std::move(port));
    m_events.clear();
    m_cutShortNote.clear();
    m_waitDialog = std::make_unique<WaitDialog>(*m_board);
    m_header = std::make_unique<HeaderPanel>(
        *m_board, HeaderPanel::HandOverActions{[] {}, [] { return true; }, [] {}, [] { return QString(); }});
    m_ports = std::make_unique<PortPanel>(*m_board,
                                          PortPanel::Hooks{[this] { return m_board->portInUse(); },
                                                           [this](const QString& port) {
                                                               m_events
                                                                   << QStringLiteral("cut short on ") + port;
                                                               return m_cutShortNote;
                                                           }},
                                          [this]() -> WaitDialog& { return *m_waitDialog; });
    control<QComboBox>(m_ports.get(), "portList")->addItem(PORT);
    m_ports->openPort();
}

void HeaderAndPortPanelsTest::cleanup()
{
    m_ports.reset();
    m_header.reset();
    m_waitDialog.reset();
    m_board.reset();
    m_dialogs.reset();
    m_sim.reset();
}

QString HeaderAndPortPanelsTest::checkedStatusButton() const
{
    for (const char* name : {"activeModeButton", "setUpModeButton", "txModeButton"})
        if (control<QRadioButton>(m_ports.get(), name)->isChecked())
            return QString::fromLatin1(name);
    return QString();
}

void HeaderAndPortPanelsTest::eachPanelShowsOnlyItsOwnReplies_data()
{
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QString>("release");
    QTest::addColumn<QString>("serialNumber");
    QTest::addColumn<QString>("lot");
    QTest::addColumn<QString>("status");
    QTest::newRow("release") << RELEASE_16 << "16.0" << "" << "" << "activeModeButton";
    QTest::newRow("status SetUp") << Replies{reply(2, 4)} << "" << "" << "" << "setUpModeButton";
    QTest::newRow("status TX") << Replies{reply(2, 3)} << "" << "" << "" << "txModeButton";
    QTest::newRow("serial number") << SERIAL_1523_0042 << "" << "1523-0042" << "1523" << "activeModeButton";
    QTest::newRow("default bank and a sensitivity are the parameter screen's")
        << Replies{reply(6, 2), reply(24, 0x12), reply(25, 0x34)} << "" << "" << "" << "activeModeButton";
}

void HeaderAndPortPanelsTest::eachPanelShowsOnlyItsOwnReplies()
{
    QFETCH(Replies, replies);
    QFETCH(QString, release);
    QFETCH(QString, serialNumber);
    QFETCH(QString, lot);
    QFETCH(QString, status);
    QSignalSpy decoded(m_board.get(), &Params::Board::decoded);
    for (const QByteArray& block : replies) {
        AwaitAsAnswer(*m_board->link(), *m_port, block);
        m_port->feed(block);
    }
    QVERIFY(decoded.count() >= replies.size());
    QCOMPARE(control<ValueLabel>(m_header.get(), "releaseNumber")->text(), release);
    QCOMPARE(control<ValueLabel>(m_header.get(), "serialNumber")->text(), serialNumber);
    QCOMPARE(control<ValueLabel>(m_header.get(), "serialLot")->text(), lot);
    QCOMPARE(checkedStatusButton(), status);
    QVERIFY(m_dialogs->errors.isEmpty());
}

void HeaderAndPortPanelsTest::readEndMarksTheUnansweredIdentity_data()
{
    QTest::addColumn<Replies>("replies");
    QTest::addColumn<QString>("releaseDescription");
    QTest::addColumn<QString>("serialDescription");
    QTest::newRow("nothing answered") << Replies{} << "not read from the board" << "not read from the board";
    QTest::newRow("release only") << RELEASE_16 << "" << "not read from the board";
    QTest::newRow("release and every byte of the number") << RELEASE_16 + SERIAL_1523_0042 << "" << "";
}

void HeaderAndPortPanelsTest::readEndMarksTheUnansweredIdentity()
{
    QFETCH(Replies, replies);
    QFETCH(QString, releaseDescription);
    QFETCH(QString, serialDescription);
    QVERIFY(m_board->startRead());
    for (const QByteArray& block : replies) {
        const int address = static_cast<unsigned char>(block.at(1));
        QVERIFY(m_sim->clock.advanceUntil([&] { return m_board->link()->reads().awaiting(address); }, GIVE_UP_MS));
        m_port->feed(block);
    }
    QVERIFY(m_sim->clock.advanceUntil([this] { return !m_board->reading(); }, GIVE_UP_MS));
    QCOMPARE(control<ValueLabel>(m_header.get(), "releaseNumber")->accessibleDescription(),
             releaseDescription);
    QCOMPARE(control<ValueLabel>(m_header.get(), "serialNumber")->accessibleDescription(), serialDescription);
}

void HeaderAndPortPanelsTest::lostDeviceRunsTheHooksBeforeTheMessage_data()
{
    QTest::addColumn<QString>("cutShortNote");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing was running")
        << "" << "The connection to the board on /dev/ttyACM0 was lost (the device was disconnected).\n"
                 "Plug it in again, choose the port and press \"Open \".";
    QTest::newRow("the hand-over was cut short")
        << "Going over to the loader stopped after 1 of 3 steps."
        << "Going over to the loader stopped after 1 of 3 steps.\n"
           "Plug it in again, choose the port and press \"Open \".";
}

void HeaderAndPortPanelsTest::lostDeviceRunsTheHooksBeforeTheMessage()
{
    QFETCH(QString, cutShortNote);
    QFETCH(QString, message);
    m_cutShortNote = cutShortNote;
    m_board->setSetUpMode(true);
    connect(m_ports.get(), &PortPanel::connectionLost, this, [this] {
        m_events << QStringLiteral("connection lost: port %1, set-up %2")
                        .arg(m_board->portInUse() ? "in use" : "free", m_board->setUpMode() ? "on" : "off");
    });
    m_dialogs->onMessage = [this](const QString& text) { m_events << QStringLiteral("message: ") + text; };
    m_port->vanish();
    QCOMPARE(m_events, (QStringList{"cut short on /dev/ttyACM0", "connection lost: port free, set-up off",
                                    "message: " + message}));
    QVERIFY(control<QComboBox>(m_ports.get(), "portList")->isEnabled());
    QVERIFY(!control<QGroupBox>(m_ports.get(), "modeBox")->isEnabled());
}

TAVRIN_TEST_MAIN(HeaderAndPortPanelsTest)
#include "tst_header_and_port_panels.moc"
