// The board's answers to parameter reads, on simulated time: answers that one
// read of the port returns joined are cut apart, answers that never came are
// asked for again with the rest of their value, what is still missing is named,
// marked and never written back, and Verify compares value by value.
#include "Controls.h"
#include "SetupWindowFixture.h"
#include "TestMain.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "params/ui/HeaderPanel.h"
#include "comm/ui/PortPanel.h"
#include "comm/BoardLink.h"
#include "comm/ReadReplies.h"
#include "common/Clock.h"
#include "params/Verification.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <set>

namespace {

// The sweep's n-th request (from 0) leaves at 10 ms · (n + 1); the last at 2260 ms.
constexpr int SWEEP_MS = 2260;
constexpr int WHOLE_READ_MS = 6000; // the sweep, the wait for answers, asking again

// A board on the scripted port: it answers each read request 1 ms after it,
// from its own memory, except the addresses it is told to stay silent on; the
// answers to the addresses of a join are held and fed as one block.
class AnsweringBoard {
public:
    AnsweringBoard(BoardLink& link, ScriptedPort& port)
        : m_port(port)
        , m_timer(nullptr, 1)
    {
        memory.fill(0);
        QObject::connect(&link, &BoardLink::frameSent, [this](const QByteArray& frame) {
            if (frame.size() == 7 && frame.startsWith("#2"))
                m_requests.append(static_cast<quint8>(frame.at(2)));
        });
        m_timer.setOnTimer([this] { answerRequests(); });
        m_timer.setEnabled(true);
    }

    std::array<quint8, 256> memory{};
    std::set<int> silent; // never answered
    std::set<int> silentOnce; // not answered the first time they are asked
    std::set<int> joined; // answered together once the last of them is asked

private:
    void answerRequests()
    {
        for (int address : std::exchange(m_requests, {})) {
            if (silent.count(address) || silentOnce.erase(address))
                continue;
            QByteArray reply("2");
            reply += static_cast<char>(address);
            reply += static_cast<char>(memory[static_cast<std::size_t>(address)]);
            if (joined.erase(address)) {
                m_held += reply;
                if (!joined.empty())
                    continue;
                reply = std::exchange(m_held, {});
            }
            m_port.feed(reply);
        }
    }

    ScriptedPort& m_port;
    WindowTimer m_timer;
    QList<int> m_requests;
    QByteArray m_held;
};

} // namespace

class ReadRepliesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void onlyWholeAnswersToAwaitedReadsAreTheirAnswers_data();
    void onlyWholeAnswersToAwaitedReadsAreTheirAnswers();
    void joinedAnswersFillTheScreenLikeSeparateOnes_data();
    void joinedAnswersFillTheScreenLikeSeparateOnes();
    void answerAloneAfterAJoinedBlockIsStillDecoded();
    void sweepWaitsOutTheBoardsPauseAndMissesNothing();
    void lostAnswersAreAskedAgainWithTheRestOfTheirValue_data();
    void lostAnswersAreAskedAgainWithTheRestOfTheirValue();
    void answerWaitingAtThePortIsNotAskedAgain();
    void valuesStillMissingAreNamedMarkedAndNeverWritten();
    void bankDecodedMidSweepIsWrittenInsideTheSweep();
    void verifyNamesEachValueWhereBoardAndScreenDiffer();
    void comparisonGroupsBytesAsTheScreenShowsThem_data();
    void comparisonGroupsBytesAsTheScreenShowsThem();

private:
    void readParameters();
    QLineEdit* edit(const char* name) const { return setupWindow->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    // Reads sent since the last clearSent(), by address.
    QList<int> readsSent() const;

    std::unique_ptr<SetupWindowFixture> f;
    std::unique_ptr<AnsweringBoard> board;
};

void ReadRepliesTest::init()
{
    f = std::make_unique<SetupWindowFixture>();
    f->setPortList({"COM3"});
    f->openPort();
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    board = std::make_unique<AnsweringBoard>(*setupWindow->board()->link(), *f->port);
    board->memory[1] = 7;                          // release
    board->memory[6] = 1;                          // default bank 1
    board->memory[24] = 0x04;                      // bank 1 Swing sensitivity 1200
    board->memory[25] = 0xB0;
    board->memory[37] = 0x36;                      // bank 1 Power Clash sensitivity 14000
    board->memory[38] = 0xB0;
    board->memory[61] = 0x2E;                      // bank 2 Power Clash sensitivity 12000
    board->memory[62] = 0xE0;
    board->memory[177] = 60;                       // bank 1 flicker white
    board->memory[178] = Define::FREQUENCY_STD;    // frequency Std
    f->sim.clock.advance(200);
    f->port->clearSent();
}

void ReadRepliesTest::cleanup()
{
    board.reset();
    f.reset();
}

void ReadRepliesTest::readParameters()
{
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->reading(); }, WHOLE_READ_MS));
    QCoreApplication::processEvents(); // the message after the read
}

QList<int> ReadRepliesTest::readsSent() const
{
    QList<int> reads;
    for (const QByteArray& frame : f->sentFrames())
        if (frame.startsWith("#2"))
            reads.append(static_cast<quint8>(frame.at(2)));
    return reads;
}

void ReadRepliesTest::onlyWholeAnswersToAwaitedReadsAreTheirAnswers_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("address"); // -1: not an answer to an awaited read
    QTest::newRow("an answer") << hexBytes("32 18 04") << 24;
    QTest::newRow("its value an awaited address") << hexBytes("32 00 19") << 0;
    QTest::newRow("an address not awaited") << hexBytes("32 30 01") << -1;
    QTest::newRow("half an answer") << hexBytes("32 19") << -1;
    QTest::newRow("a telemetry frame") << QByteArray(25, '\xFF') << -1;
    QTest::newRow("the end mark") << QByteArray("2End") << -1;
    QTest::newRow("a loader acknowledgement") << QByteArray("A") << -1;
}

void ReadRepliesTest::onlyWholeAnswersToAwaitedReadsAreTheirAnswers()
{
    QFETCH(QByteArray, message);
    QFETCH(int, address);
    AwaitedReads awaited;
    for (int awaitedAddress : {0, 1, 24, 25})
        awaited.set(static_cast<std::size_t>(awaitedAddress));
    const std::optional<ReadReply> reply = AwaitedReadReply(message, awaited);
    QCOMPARE(reply ? reply->address : -1, address);
    if (reply)
        QCOMPARE(reply->bytes(), message);
}

void ReadRepliesTest::joinedAnswersFillTheScreenLikeSeparateOnes_data()
{
    QTest::addColumn<QList<int>>("joined");
    QTest::newRow("23+24") << QList<int>{23, 24};
    QTest::newRow("37+38") << QList<int>{37, 38};
    QTest::newRow("177+178") << QList<int>{177, 178};
    QTest::newRow("0+1") << QList<int>{0, 1};
    QTest::newRow("60+61+62") << QList<int>{60, 61, 62};
}

void ReadRepliesTest::joinedAnswersFillTheScreenLikeSeparateOnes()
{
    QFETCH(QList<int>, joined);
    board->joined = std::set<int>(joined.begin(), joined.end());
    readParameters();
    QCOMPARE(edit("bank1SwingSensitivity")->text(), QString("1200"));
    QCOMPARE(edit("bank1PowerClashSensitivity")->text(), QString("14000"));
    QCOMPARE(edit("bank2PowerClashSensitivity")->text(), QString("12000"));
    QCOMPARE(edit("bank1FlickerWhite")->text(), QString("60"));
    QVERIFY(control<QRadioButton>(setupWindow, "frequencyStdButton")->isChecked());
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
    QVERIFY(f->dialogs.messages.isEmpty());
    QCOMPARE(readsSent().size(), 226); // nothing was missing: nothing asked again
}

void ReadRepliesTest::answerAloneAfterAJoinedBlockIsStillDecoded()
{
    // The answers to 23 and 24 come joined after the request for 25 has gone,
    // which clears the reply mark that 25 set; 25's own answer follows alone.
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    board->silent = {23, 24, 25};
    f->sim.clock.advance(10 * 26 + 5);
    board->silent.clear();
    f->port->feed(hexBytes("32 17 00 32 18 04"));
    QVERIFY(!setupWindow->board()->expectingReply());
    f->port->feed(hexBytes("32 19 B0"));
    QCOMPARE(edit("bank1SwingSensitivity")->text(), QString("1200"));
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->reading(); }, WHOLE_READ_MS));
    QCOMPARE(readsSent().size(), 226);
}

void ReadRepliesTest::sweepWaitsOutTheBoardsPauseAndMissesNothing()
{
    // The board says "BUSY" mid-sweep: it takes nothing for a second, and the
    // sweep neither asks meanwhile nor gives up on the answers still to come.
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    f->sim.clock.advance(500);
    f->port->feed("BUSY");
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->reading(); }, WHOLE_READ_MS));
    QCoreApplication::processEvents(); // the message after the read
    QVERIFY(f->sim.clock.pauses.isEmpty());
    qint64 longestGap = 0;
    for (qsizetype i = 1; i < f->port->sent.size(); ++i)
        longestGap = std::max(longestGap, f->port->sent[i].at - f->port->sent[i - 1].at);
    QVERIFY2(longestGap >= 1000 && longestGap <= 1010, qPrintable(QString::number(longestGap)));
    // Nothing was missing: nothing asked again, not even after the end.
    f->sim.clock.advance(WHOLE_READ_MS);
    QCOMPARE(readsSent().size(), 226);
    QCOMPARE(setupWindow->board()->link()->reads().strays(), 0);
    QCOMPARE(edit("bank2PowerClashSensitivity")->text(), QString("12000"));
    QCOMPARE(edit("bank1FlickerWhite")->text(), QString("60"));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void ReadRepliesTest::lostAnswersAreAskedAgainWithTheRestOfTheirValue_data()
{
    QTest::addColumn<QList<int>>("lost");
    QTest::addColumn<QList<int>>("askedAgain");
    QTest::newRow("a byte alone") << QList<int>{1} << QList<int>{1};
    QTest::newRow("the low byte of a pair") << QList<int>{25} << QList<int>{24, 25};
    QTest::newRow("the high byte of a pair") << QList<int>{61} << QList<int>{61, 62};
    QTest::newRow("a byte of the serial number") << QList<int>{105} << QList<int>{104, 105, 106, 107};
    QTest::newRow("several, in order") << QList<int>{178, 3, 38} << QList<int>{3, 37, 38, 178};
}

void ReadRepliesTest::lostAnswersAreAskedAgainWithTheRestOfTheirValue()
{
    QFETCH(QList<int>, lost);
    QFETCH(QList<int>, askedAgain);
    board->silentOnce = std::set<int>(lost.begin(), lost.end());
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    const qint64 start = f->sim.clock.now();
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->reading(); }, WHOLE_READ_MS));
    const QList<int> reads = readsSent();
    QCOMPARE(reads.mid(226), askedAgain);
    // Asked again 200 ms after the last request, then one request every 10 ms.
    const QList<ScriptedPort::Sent>& sent = f->port->sent;
    const qsizetype first = sent.size() - askedAgain.size();
    QCOMPARE(sent[first].at - start, SWEEP_MS + 200 + 10);
    for (qsizetype i = first + 1; i < sent.size(); ++i)
        QCOMPARE(sent[i].at - sent[i - 1].at, 10);
    QCOMPARE(edit("bank1SwingSensitivity")->text(), QString("1200"));
    QCOMPARE(edit("bank2PowerClashSensitivity")->text(), QString("12000"));
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
    QVERIFY(control<QRadioButton>(setupWindow, "frequencyStdButton")->isChecked());
    QVERIFY(f->dialogs.messages.isEmpty());
}

void ReadRepliesTest::answerWaitingAtThePortIsNotAskedAgain()
{
    // The window is busy far past the wait for answers; the release's answer
    // waits at the port all the while.
    board->silent = {1};
    f->port->inputWaiting = true;
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    f->sim.clock.advance(SWEEP_MS + 1000);
    QVERIFY(setupWindow->board()->reading());
    QCOMPARE(readsSent().size(), 226);
    f->port->inputWaiting = false;
    f->port->feed(QByteArray::fromHex("320107"));
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->reading(); }, WHOLE_READ_MS));
    QCOMPARE(readsSent().size(), 226); // nothing asked again
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
    QVERIFY(f->dialogs.messages.isEmpty());
}

void ReadRepliesTest::valuesStillMissingAreNamedMarkedAndNeverWritten()
{
    board->silent = {38, 178};
    readParameters();
    QCOMPARE(f->dialogs.messages,
             QStringList{"These values did not come back from the board, even when asked again: "
                         "Bank 1 Power Clash sensitivity, Frequency.\n"
                         "Their fields are marked; \"Write Parameters\" will not send them until they have "
                         "been read or typed in. Press \"Read Parameters\" to read them again."});
    QCOMPARE(edit("bank1PowerClashSensitivity")->accessibleDescription(), QString("not read from the board"));
    QCOMPARE(control<QFrame>(setupWindow, "frequencyBox")->accessibleDescription(), QString("not read from the board"));
    QCOMPARE(edit("bank1SwingSensitivity")->accessibleDescription(), QString());

    f->port->clearSent();
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QCOMPARE(f->dialogs.errors,
             QStringList{"Write Parameters sends nothing: these values were never read from the board: "
                         "Bank 1 Power Clash sensitivity, Frequency.\n"
                         "Press \"Read Parameters\" to read them, or type the values in."});
    f->sim.clock.advance(1000);
    QVERIFY(f->port->sent.isEmpty());

    // Chosen by the user, they are the user's values and go.
    edit("bank1PowerClashSensitivity")->setText("14000");
    control<QRadioButton>(setupWindow, "frequencyEvoButton")->setChecked(true);
    QCOMPARE(edit("bank1PowerClashSensitivity")->accessibleDescription(), QString());
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->writing(); }, 10000));
    QCOMPARE(f->sentFrames().size(), 85);
    QCOMPARE(f->sentFrames()[22], hexBytes("23 31 25 36 00 00 0A"));
    QCOMPARE(f->sentFrames()[23], hexBytes("23 31 26 B0 00 00 0A"));
    QCOMPARE(f->sentFrames()[28], hexBytes("23 31 B2 03 00 00 0A"));
}

void ReadRepliesTest::bankDecodedMidSweepIsWrittenInsideTheSweep()
{
    board->memory[6] = 2;
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    QVERIFY(f->sim.clock.advanceUntil(
        [] { return control<QRadioButton>(setupWindow, "defaultBank2Button")->isChecked(); }, 1000));
    f->sim.clock.advance(SWEEP_MS);
    const QList<ScriptedPort::Sent>& sent = f->port->sent;
    qsizetype bank = 0;
    while (bank < sent.size() && sent[bank].bytes != hexBytes("23 31 06 02 00 00 0A"))
        ++bank;
    QVERIFY2(bank < sent.size(), "the bank write was not sent");
    QCOMPARE(sent[bank - 1].bytes, hexBytes("23 32 06 06 00 00 0A")); // right after its answer came
    QCOMPARE(sent[bank + 1].bytes, hexBytes("23 32 07 07 00 00 0A"));
    QCOMPARE(sent[bank + 1].at - sent[bank].at, 100);
    QVERIFY(!control<QRadioButton>(setupWindow, "defaultBank1Button")->isChecked());
}

void ReadRepliesTest::verifyNamesEachValueWhereBoardAndScreenDiffer()
{
    readParameters();
    control<QPushButton>(setupWindow, "verifyParametersButton")->click();
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, WHOLE_READ_MS));
    QCoreApplication::processEvents();
    QCOMPARE(f->dialogs.messages,
             QStringList{"Verify: the board holds every value the screen shows (85 of 85 values verified)."});

    board->memory[25] = 0xB1;
    board->memory[178] = Define::FREQUENCY_EVO;
    edit("bank1GuardRed")->setText("30"); // the screen changes too, and nothing is written
    f->dialogs.messages.clear();
    f->port->clearSent();
    control<QPushButton>(setupWindow, "verifyParametersButton")->click();
    QVERIFY(f->sim.clock.advanceUntil([] { return !setupWindow->board()->link()->busy(); }, WHOLE_READ_MS));
    QCoreApplication::processEvents();
    QCOMPARE(f->dialogs.messages,
             QStringList{"Verify: 81 of 85 values verified. Where the screen and the board differ:\n"
                         "Bank 1 Guard red: screen 30, board 0\n"
                         "Bank 1 Swing sensitivity: screen 1200, board 1201\n"
                         "Frequency: screen Std, board Evo"});
    for (const QByteArray& frame : f->sentFrames())
        QVERIFY(frame.startsWith("#2"));
    QCOMPARE(edit("bank1SwingSensitivity")->text(), QString("1200")); // the screen shows what it showed
    QVERIFY(control<QRadioButton>(setupWindow, "frequencyStdButton")->isChecked());
}

void ReadRepliesTest::comparisonGroupsBytesAsTheScreenShowsThem_data()
{
    using Params::ParameterWrite;
    QTest::addColumn<QList<ParameterWrite>>("expected");
    QTest::addColumn<QList<int>>("board"); // by address, -1: no answer
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("verified");
    QList<int> zeros(256, 0);
    QList<int> pair = zeros;
    pair[48] = 0x12;
    pair[49] = 0x35;
    QTest::newRow("one byte of a pair differs: the whole value is named")
        << QList<ParameterWrite>{{48, 0x12}, {49, 0x34}} << pair
        << QStringList{"Bank 2 Swing sensitivity: written 4660, board 4661"} << 0;
    QList<int> notSet = zeros;
    notSet[198] = 255;
    QTest::newRow("an unset flicker byte is the 0 the screen shows")
        << QList<ParameterWrite>{{198, 0}} << notSet << QStringList{} << 1;
    QList<int> silent = zeros;
    silent[8] = -1;
    QTest::newRow("no answer") << QList<ParameterWrite>{{8, 0x10}, {9, 0}} << silent
                               << QStringList{"Vertical calibration: written 16, board no answer"} << 0;
    QList<int> frequency = zeros;
    frequency[178] = 255;
    QTest::newRow("an unset frequency reads as Evo")
        << QList<ParameterWrite>{{178, 3}} << frequency << QStringList{} << 1;
}

void ReadRepliesTest::comparisonGroupsBytesAsTheScreenShowsThem()
{
    QFETCH(QList<Params::ParameterWrite>, expected);
    QFETCH(QList<int>, board);
    QFETCH(QStringList, lines);
    QFETCH(int, verified);
    const Params::VerifyResult result = Params::CompareWithBoard(expected, [&](int address) {
        return board[address] < 0 ? std::nullopt : std::optional<quint8>(static_cast<quint8>(board[address]));
    });
    QCOMPARE(result.lines(QStringLiteral("written")), lines);
    QCOMPARE(result.verified, verified);
    QCOMPARE(result.total, static_cast<int>(expected.size()));
}

TAVRIN_TEST_MAIN(ReadRepliesTest)
#include "common/ui/ValueLabel.h"
#include "tst_read_replies.moc"
