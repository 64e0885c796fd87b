// Whatever the board sends, the receive dispatch and the parameter decoder only
// read inside the block they were given and the window carries on. Run under
// the sanitizer build, this catches any read past a received block.
#include "AwaitedAnswer.h"
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/ui/PortPanel.h"
#include "comm/BoardLink.h"
#include "comm/StreamFramer.h"
#include "common/Define.h"
#include "common/Globals.h"

#include <QRadioButton>
#include <QRandomGenerator>

namespace {
// The random blocks fed; no more "B" pauses than that can follow.
constexpr int RANDOM_BLOCKS = 5000;
constexpr int MOST_B_PAUSES = RANDOM_BLOCKS;
} // namespace

class DispatchRobustnessTest : public QObject {
    Q_OBJECT
private slots:
    void shortBlocksAreDecodedWithoutReadingPastThem_data();
    void shortBlocksAreDecodedWithoutReadingPastThem();
    void randomBlocksLeaveTheWindowWorking();
};

void DispatchRobustnessTest::shortBlocksAreDecodedWithoutReadingPastThem_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("one byte 2") << QByteArray("2");
    QTest::newRow("reply without value") << QByteArray("2\x1c");
    QTest::newRow("loader acknowledgement") << QByteArray("A");
    QTest::newRow("end mark cut short") << QByteArray("2En");
    QTest::newRow("one byte 0xFF") << QByteArray("\xFF");
    QTest::newRow("one byte B") << QByteArray("B");
}

void DispatchRobustnessTest::shortBlocksAreDecodedWithoutReadingPastThem()
{
    QFETCH(QByteArray, block);
    SetupWindowFixture f;
    f.setPortList({"COM3"});
    f.openPort();
    // A heap copy of exactly the block's size, so a read past it is caught.
    auto exact = std::make_unique<char[]>(static_cast<size_t>(block.size()));
    std::copy(block.begin(), block.end(), exact.get());
    AwaitAsAnswer(*setupWindow->board()->link(), *f.port, block);
    f.port->feed(QByteArray::fromRawData(exact.get(), block.size()));
    f.sim.clock.advance(StreamFramer::QUIET_TIME_MS); // a message begun goes on as it came
    QVERIFY(!setupWindow->board()->expectingReply());
    QVERIFY(f.dialogs.errors.isEmpty());
    QVERIFY(f.dialogs.messages.isEmpty());
}

void DispatchRobustnessTest::randomBlocksLeaveTheWindowWorking()
{
    SetupWindowFixture f;
    f.setPortList({"COM3"});
    f.openPort();
    QRandomGenerator random(20261207); // fixed seed: a failure reproduces
    for (int i = 0; i < RANDOM_BLOCKS; ++i) {
        QByteArray block(random.bounded(1, 64), Qt::Uninitialized);
        for (char& c : block)
            c = static_cast<char>(random.bounded(256));
        if (random.bounded(4) == 0)
            block[0] = '2';
        setupWindow->board()->link()->setExpectingReply(random.bounded(2) == 1);
        f.port->feed(block);
    }
    // Every "B" among them held the link a second, one after the other.
    const BoardLink& link = *setupWindow->board()->link();
    for (int held = 0; link.sendsWaiting() && held < MOST_B_PAUSES; ++held)
        f.sim.clock.advance(Define::BLOCK_B_PAUSE_MS);
    QVERIFY(!link.sendsWaiting());
    // Still answering: a status write goes out as usual.
    control<QRadioButton>(setupWindow, "activeModeButton")->click();
    f.port->clearSent();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(!f.port->sent.isEmpty());
    QVERIFY(f.dialogs.errors.isEmpty());
}

TAVRIN_TEST_MAIN(DispatchRobustnessTest)
#include "tst_dispatch_robustness.moc"
