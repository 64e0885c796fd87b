// The serial component on a real terminal device: a pseudo-terminal whose
// master side plays the board.
#include "PtyPair.h"
#include "RecordingDialogs.h"
#include "TestMain.h"

#include "comm/ComPort.h"

#include <QTemporaryDir>
#include <chrono>
#include <clocale>
#include <ctime>
#include <memory>
#include <termios.h>
#include <thread>

namespace {

constexpr int kDeliveryTimeoutMs = 5000;
constexpr int kReadTimeoutMs = 10000;
// A sound upload sends one byte per call.
constexpr int kSoundBytes = 65000;
// Far fewer write() calls than bytes: the queue is written in batches.
constexpr int kMaxWriteCallsForSound = kSoundBytes / 8;
// The pattern of the upload bytes: a prime period, so a lost or doubled byte
// shifts everything after it.
constexpr int kPatternPeriod = 251;
// How long the process is watched for a busy thread, and the CPU time it may
// use meanwhile: a spinning thread would use all of it.
constexpr int kObservationMs = 300;
constexpr qint64 kCpuBudgetMs = kObservationMs / 5;

qint64 processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    const auto used = std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
    return std::chrono::duration_cast<std::chrono::milliseconds>(used).count();
}

QByteArray uploadPattern()
{
    QByteArray bytes;
    for (int i = 0; i < kSoundBytes; ++i)
        bytes.append(char(i % kPatternPeriod));
    return bytes;
}

QString openFailure(ComPort& port)
{
    try {
        port.Open();
    } catch (const EComError& e) {
        return e.message();
    }
    return {};
}

} // namespace

class ComPortE2eTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openAndCloseHappenOnceEach();
    void openFailureNamesDeviceAndReason_data();
    void openFailureNamesDeviceAndReason();
    void secondOpenerIsRefusedWhileWeHoldThePort();
    void lineSettingsReachTheDevice();

    void rawModeDeliversChunksAsTheyCome();
    void termModeDeliversOneMessagePerReception();
    void exceptionInReceiveCallBackIsShownAndDataKeepsComing();
    void closingFromInsideReceiveCallBackIsSafe();

    void emptySendSendsNothing();
    void oneByteSendsArriveCompleteAndInOrder();
    void sendFromInsideReceiveCallBackFlowsDuringTheHandOver();
    void closeLetsQueuedBytesReachTheDevice();

    void enumPortsListsOpenableLinksInNaturalOrder();
    void idleOpenPortLeavesTheCpuAlone();
    void unplugClosesOnceAndReportsOnceWithoutSpinning_data();
    void unplugClosesOnceAndReportsOnceWithoutSpinning();

private:
    void openWithRecording(ReceiveFraming mode);

    RecordingDialogs m_dialogs;
    std::unique_ptr<PtyPair> m_pty;
    std::unique_ptr<ComPort> m_port;
    QList<QByteArray> m_received;
    int m_opened = 0;
    int m_closed = 0;
    int m_lost = 0;
};

void ComPortE2eTest::initTestCase()
{
    // The open-failure message carries the system's text; pin its language.
    std::setlocale(LC_MESSAGES, "C");
}

void ComPortE2eTest::init()
{
    m_dialogs.clear();
    m_received.clear();
    m_opened = m_closed = m_lost = 0;
    m_pty = std::make_unique<PtyPair>();
    QVERIFY(m_pty->isValid());
    m_port = std::make_unique<ComPort>();
    m_port->setPort(m_pty->slavePath());
    m_port->OnPortOpen = [this](QObject*) { ++m_opened; };
    m_port->OnPortClose = [this](QObject*) { ++m_closed; };
    m_port->OnDeviceLost = [this](QObject*) { ++m_lost; };
    m_port->ReceiveCallBack = [this](const QByteArray& data) { m_received.append(data); };
}

void ComPortE2eTest::cleanup()
{
    m_port.reset();
    m_pty.reset();
    setPublishedPortsFolder({});
}

void ComPortE2eTest::openWithRecording(ReceiveFraming mode)
{
    m_port->setReceiveMode(mode);
    m_port->Open();
    QVERIFY(m_port->IsOpen());
}

void ComPortE2eTest::openAndCloseHappenOnceEach()
{
    m_port->Open();
    m_port->Open();
    QVERIFY(m_port->IsOpen());
    QCOMPARE(m_opened, 1);
    m_port->Close();
    m_port->Close();
    QVERIFY(!m_port->IsOpen());
    QCOMPARE(m_closed, 1);
    // Closing gave the device back: it opens again.
    m_port->Open();
    QCOMPARE(m_opened, 2);
}

void ComPortE2eTest::openFailureNamesDeviceAndReason_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing device")
        << "/nonexistent/ttyKORDEX"
        << "TCOMPORT : cannot open /nonexistent/ttyKORDEX\rNo such file or directory";
    QTest::newRow("not a terminal") << "/dev/null"
                                    << "TCOMPORT : cannot open /dev/null\rInappropriate ioctl for device";
}

void ComPortE2eTest::openFailureNamesDeviceAndReason()
{
    QFETCH(QString, device);
    QFETCH(QString, message);
    m_port->setPort(device);
    QCOMPARE(openFailure(*m_port), message);
    QVERIFY(!m_port->IsOpen());
    m_port->Close();
    QCOMPARE(m_opened, 0);
    QCOMPARE(m_closed, 0);
}

void ComPortE2eTest::secondOpenerIsRefusedWhileWeHoldThePort()
{
    m_port->Open();
    ComPort second;
    second.setPort(m_pty->slavePath());
    QCOMPARE(openFailure(second),
             "TCOMPORT : cannot open " + m_pty->slavePath() + "\rDevice or resource busy");
    QVERIFY(!second.IsOpen());
    m_port->Close();
    second.Open();
    QVERIFY(second.IsOpen());
}

void ComPortE2eTest::lineSettingsReachTheDevice()
{
    m_port->setBaud(115200);
    m_port->setStopBits(snTWO);
    m_port->Open();
    // Terminal ioctls on a pseudo-terminal master act on its slave.
    termios tio{};
    QCOMPARE(tcgetattr(m_pty->masterFd(), &tio), 0);
    QCOMPARE(uint(cfgetospeed(&tio)), uint(B115200));
    QVERIFY(tio.c_cflag & CSTOPB);
    QCOMPARE(uint(tio.c_lflag & (ICANON | ECHO)), 0u);
}

void ComPortE2eTest::rawModeDeliversChunksAsTheyCome()
{
    openWithRecording(rmRAW);
    m_pty->write("2\x0A\x05");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 1, kDeliveryTimeoutMs);
    m_pty->write("\x01");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 2, kDeliveryTimeoutMs);
    m_pty->write("End.End.");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 3, kDeliveryTimeoutMs);
    QCOMPARE(m_received, (QList<QByteArray>{"2\x0A\x05", "\x01", "End.End."}));
}

// Also shows a message split over two receptions ("E", then CR) being joined.
void ComPortE2eTest::termModeDeliversOneMessagePerReception()
{
    m_port->SetTerminator("#13");
    openWithRecording(rmTERM);
    m_pty->write("AB\rCD\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 1, kDeliveryTimeoutMs);
    QCOMPARE(m_received.first(), QByteArray("AB\r"));
    m_pty->write("E");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 2, kDeliveryTimeoutMs);
    QCOMPARE(m_received.last(), QByteArray("CD\r"));
    m_pty->write("\r");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 3, kDeliveryTimeoutMs);
    QCOMPARE(m_received.last(), QByteArray("E\r"));
}

void ComPortE2eTest::exceptionInReceiveCallBackIsShownAndDataKeepsComing()
{
    openWithRecording(rmRAW);
    m_port->ReceiveCallBack = [this](const QByteArray& data) {
        m_received.append(data);
        if (m_received.size() == 1)
            throw EComError("callback failed");
    };
    m_pty->write("first");
    QTRY_COMPARE_WITH_TIMEOUT(m_dialogs.errors, QStringList{"callback failed"}, kDeliveryTimeoutMs);
    m_pty->write("second");
    QTRY_COMPARE_WITH_TIMEOUT(m_received, (QList<QByteArray>{"first", "second"}), kDeliveryTimeoutMs);
    QCOMPARE(m_dialogs.errors.size(), 1);
}

void ComPortE2eTest::closingFromInsideReceiveCallBackIsSafe()
{
    openWithRecording(rmRAW);
    m_port->ReceiveCallBack = [this](const QByteArray& data) {
        m_received.append(data);
        m_port->Close();
    };
    m_pty->write("bye");
    QTRY_VERIFY_WITH_TIMEOUT(!m_port->IsOpen(), kDeliveryTimeoutMs);
    QCOMPARE(m_received, QList<QByteArray>{"bye"});
    QCOMPARE(m_closed, 1);
    QVERIFY(m_dialogs.errors.isEmpty());
    m_port->Open();
    QVERIFY(m_port->IsOpen());
}

void ComPortE2eTest::emptySendSendsNothing()
{
    m_port->Open();
    const quint64 before = m_port->writeCalls();
    m_port->Send(QByteArray());
    QCOMPARE(m_port->writeCalls(), before);
    m_port->Send("#");
    QCOMPARE(m_pty->read(1), QByteArray("#"));
}

void ComPortE2eTest::oneByteSendsArriveCompleteAndInOrder()
{
    m_port->Open();
    const QByteArray sound = uploadPattern();
    for (const char byte : sound)
        m_port->Send(QByteArray(1, byte));
    const QByteArray arrived = m_pty->read(kSoundBytes, kReadTimeoutMs);
    QCOMPARE(arrived.size(), kSoundBytes);
    QVERIFY(arrived == sound);
    QVERIFY2(m_port->writeCalls() < quint64(kMaxWriteCallsForSound),
             qPrintable(QString::number(m_port->writeCalls()) + " write() calls"));
}

void ComPortE2eTest::sendFromInsideReceiveCallBackFlowsDuringTheHandOver()
{
    openWithRecording(rmRAW);
    QByteArray answerSeenByDevice;
    m_port->ReceiveCallBack = [this, &answerSeenByDevice](const QByteArray& data) {
        m_received.append(data);
        m_port->Send("PONG");
        // Still inside the hand-over: the thread must write without waiting for it.
        answerSeenByDevice = m_pty->read(4, kReadTimeoutMs);
    };
    m_pty->write("PING");
    QTRY_COMPARE_WITH_TIMEOUT(m_received.size(), 1, kDeliveryTimeoutMs);
    QCOMPARE(answerSeenByDevice, QByteArray("PONG"));
}

void ComPortE2eTest::closeLetsQueuedBytesReachTheDevice()
{
    m_port->Open();
    // More than the pseudo-terminal holds: most of it is still queued when
    // Close starts, and goes out only because Close waits for it.
    const QByteArray sound = uploadPattern();
    QByteArray arrived;
    std::thread device([&] { arrived = m_pty->read(kSoundBytes, kReadTimeoutMs); });
    m_port->Send(sound);
    m_port->Close();
    device.join();
    QCOMPARE(arrived.size(), kSoundBytes);
    QVERIFY(arrived == sound);
}

void ComPortE2eTest::enumPortsListsOpenableLinksInNaturalOrder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    PtyPair other;
    PtyPair held;
    QVERIFY(other.isValid() && held.isValid());
    const QString board2 = folder.filePath("board2");
    const QString board10 = folder.filePath("board10");
    const QString busy = folder.filePath("board3");
    QVERIFY(QFile::link(m_pty->slavePath(), board10));
    QVERIFY(QFile::link(other.slavePath(), board2));
    QVERIFY(QFile::link(held.slavePath(), busy));
    QVERIFY(QFile::link("/nonexistent/ttyKORDEX", folder.filePath("board4")));
    ComPort holder;
    holder.setPort(busy);
    holder.Open();
    setPublishedPortsFolder(folder.path());

    EnumPorts(nullptr);
    QStringList ports{"kept"};
    EnumPorts(&ports);
    QCOMPARE(ports.first(), QStringLiteral("kept"));
    const QStringList published = ports.filter(folder.path());
    QCOMPARE(published, (QStringList{board2, board10}));
    // Listing did not keep anything held.
    m_port->setPort(board10);
    m_port->Open();
    QVERIFY(m_port->IsOpen());
}

void ComPortE2eTest::idleOpenPortLeavesTheCpuAlone()
{
    m_port->Open();
    const qint64 before = processCpuMs();
    QTest::qWait(kObservationMs);
    QVERIFY2(processCpuMs() - before < kCpuBudgetMs, "the port thread is busy while nothing happens");
}

void ComPortE2eTest::unplugClosesOnceAndReportsOnceWithoutSpinning_data()
{
    QTest::addColumn<bool>("duringHandOver");
    QTest::newRow("while idle") << false;
    QTest::newRow("while a reception is being handled") << true;
}

// The user-interface thread is held up while the device goes away, so no event
// runs: the port thread must go quiet by itself rather than spin on the
// hung-up device, and the close follows once events run again.
void ComPortE2eTest::unplugClosesOnceAndReportsOnceWithoutSpinning()
{
    QFETCH(bool, duringHandOver);
    openWithRecording(rmRAW);
    m_port->OnPortClose = [this](QObject*) {
        QCOMPARE(m_lost, 0); // the loss is reported after the close
        ++m_closed;
    };
    qint64 cpuUsed = 0;
    const auto unplugAndWatch = [this, &cpuUsed] {
        const qint64 before = processCpuMs();
        m_pty->closeMaster();
        QTest::qSleep(kObservationMs);
        cpuUsed = processCpuMs() - before;
    };
    if (duringHandOver) {
        m_port->ReceiveCallBack = [&](const QByteArray& data) {
            m_received.append(data);
            unplugAndWatch();
        };
        m_pty->write("last words");
        QTRY_COMPARE_WITH_TIMEOUT(m_received, QList<QByteArray>{"last words"}, kDeliveryTimeoutMs);
    } else {
        unplugAndWatch();
    }
    QVERIFY2(cpuUsed < kCpuBudgetMs, qPrintable(QString("%1 ms of CPU after the unplug").arg(cpuUsed)));
    QTRY_VERIFY_WITH_TIMEOUT(!m_port->IsOpen(), kDeliveryTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(m_closed, 1);
    QCOMPARE(m_lost, 1);
    m_port->Send("gone");
    m_port->Close();
    QCOMPARE(m_closed, 1);
}

TAVRIN_TEST_MAIN(ComPortE2eTest)
#include "tst_comport_e2e.moc"
