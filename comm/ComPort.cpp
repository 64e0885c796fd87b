#include "comm/ComPort.h"

#include "comm/CommThread.h"
#include "comm/PortDevice.h"
#include "common/BuildConfig.h"
#include "common/Clock.h"
#include "common/Guarded.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <sys/stat.h>

namespace {

const QString kCannotOpen = QStringLiteral("TCOMPORT : cannot open ");
const QString kIllegalTerminator = QStringLiteral("Illegal terminator string.\r"
                                                  "format : #<asciicode>#<asciicode>#<...>\r"
                                                  "example: #13#10");
const QString kEmptyTerminator = QStringLiteral("Terminator string cannot be empty!");
const QString kTerminatorMark = QStringLiteral("#");
const QByteArray kDefaultTerminator = QByteArrayLiteral("\r\n");

struct StatusEvent {
    quint32 eventBit;
    quint32 statusBit;
    LineStatusHandler ComPort::*handler;
};
// In the order the events are reported.
const std::array<StatusEvent, 4> kStatusEvents{{
    {ComEvent::CTS, ModemStatus::CTS_ON, &ComPort::OnCTSChanged},
    {ComEvent::DSR, ModemStatus::DSR_ON, &ComPort::OnDSRChanged},
    {ComEvent::RLSD, ModemStatus::RLSD_ON, &ComPort::OnRLSDChanged},
    {ComEvent::RING, ModemStatus::RING_ON, &ComPort::OnRingChanged},
}};

} // namespace

ComPort::ComPort(QObject* owner)
    : SerialPort(owner)
{
}

ComPort::~ComPort()
{
    shutDown();
}

void ComPort::shutDown()
{
    OnPortClose = nullptr;
    OnDeviceLost = nullptr;
    Close();
}

void ComPort::Open()
{
    if (FOpen)
        return;
    auto thread = std::make_shared<CommThread>(FPortID);
    if (!thread->HandleValid())
        throw EComError(kCannotOpen + FPortID + u'\r' + systemErrorText(thread->OpenError()));
    const quint64 generation = ++m_generation;
    thread->FOnReceive = [this](quint32 received) { ReceiveNotify(received); };
    thread->FLineEvent = [this](quint32 mask, quint32 status) { EventNotify(mask, status); };
    thread->FOnLost = [this, generation] { deviceLost(generation); };
    thread->SetCommPars(FBaud, FDataBits, FParity, FStopBits);
    FOpen = true;
    ComThread = thread;
    thread->Start(this);
    if (OnPortOpen)
        OnPortOpen(this);
}

void ComPort::Close()
{
    if (!FOpen)
        return;
    FOpen = false;
    const std::shared_ptr<CommThread> thread = std::move(ComThread);
    thread->FOnReceive = nullptr;
    thread->FLineEvent = nullptr;
    thread->FOnLost = nullptr;
    thread->SignalTerminate();
    // The thread never waits for a hand-over, so this cannot deadlock with one
    // that is queued; such a hand-over later finds the thread gone.
    thread->WaitFor();
    thread->ClosePort();
    m_pastWriteCalls += thread->WriteCalls();
    if (OnPortClose)
        OnPortClose(this);
}

void ComPort::deviceLost(quint64 generation)
{
    if (!FOpen || generation != m_generation)
        return;
    runGuarded([this] { Close(); });
    if (OnDeviceLost)
        OnDeviceLost(this);
}

void ComPort::Send(const QByteArray& data)
{
    if (FOpen && !data.isEmpty())
        ComThread->WriteComm(data.constData(), data.size());
}

void ComPort::SetRTS(bool status)
{
    if (FOpen)
        ComThread->SetRTS(status);
}

qint64 ComPort::OutputPending() const
{
    return FOpen ? ComThread->OutputPending() : 0;
}

bool ComPort::InputWaiting() const
{
    return FOpen && ComThread->InputWaiting();
}

std::optional<qint64> ComPort::WrittenAt() const
{
    if (!FOpen)
        return std::nullopt;
    const auto written = ComThread->WrittenAt();
    if (!written)
        return std::nullopt;
    // The thread keeps the steady clock's time; the application clock counts from
    // its own origin, to the millisecond.
    const auto ago =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - *written);
    return appClock().now() - ago.count();
}

quint64 ComPort::writeCalls() const
{
    return m_pastWriteCalls + (ComThread ? ComThread->WriteCalls() : 0);
}

// --- reception ----------------------------------------------------------------

QByteArray ComPort::readWaiting(quint32 count)
{
    QByteArray data(static_cast<qsizetype>(count), '\0');
    const quint32 got = ComThread ? ComThread->ReadComm(data.data(), count) : 0;
    data.truncate(static_cast<qsizetype>(got));
    return data;
}

void ComPort::ReceiveNotify(quint32 nReceived)
{
    const QByteArray data = readWaiting(nReceived);
    // A copy: the callback may replace itself or close the component.
    const ReceiveHandler callback = ReceiveCallBack;
    if (!FOpen || !callback)
        return;
    switch (FReceiveMode) {
    case rmRAW:
        callback(data);
        break;
    case rmTERM:
        deliverTerminated(data, callback);
        break;
    }
}

// At most one message per notification: a second complete message waits in
// RxBuf for the next reception, which the board's protocol never relies on.
void ComPort::deliverTerminated(const QByteArray& data, const ReceiveHandler& callback)
{
    RxBuf.append(data);
    if (FTerminator.isEmpty())
        return;
    const qsizetype position = RxBuf.indexOf(FTerminator);
    if (position < 0)
        return;
    const qsizetype length = position + FTerminator.size();
    const QByteArray message = RxBuf.left(length);
    RxBuf.remove(0, length);
    callback(message);
}

void ComPort::EventNotify(quint32 eventMask, quint32 modemStatus)
{
    // The status was sampled before the change, so a clear bit means the line
    // has just come on.
    for (const StatusEvent& event : kStatusEvents) {
        const LineStatusHandler handler = this->*event.handler;
        if ((eventMask & event.eventBit) && handler)
            handler((modemStatus & event.statusBit) == 0);
    }
    if ((eventMask & ComEvent::ERR) && OnError)
        OnError(this);
}

// --- terminator text ----------------------------------------------------------

QString ComPort::NextToken(QString& s, const QString& separator)
{
    const qsizetype position = s.indexOf(separator);
    if (position < 0)
        return std::exchange(s, QString());
    const QString token = s.left(position);
    s.remove(0, position + separator.size());
    return token;
}

void ComPort::SetTerminator(const QString& termStr)
{
    FTerminator.clear();
    QString rest = termStr.mid(1);
    while (!rest.isEmpty()) {
        int code = 0;
        if (!TryStrToInt(NextToken(rest, kTerminatorMark), code)) {
            FTerminator = kDefaultTerminator;
            throw EComError(kIllegalTerminator);
        }
        // Codes are taken modulo 256, as a character of an 8-bit string.
        FTerminator.append(static_cast<char>(code));
    }
    if (FTerminator.isEmpty())
        throw EComError(kEmptyTerminator);
}

QString ComPort::GetTerminator() const
{
    QString text;
    for (const char c : FTerminator)
        text += kTerminatorMark + QString::number(static_cast<uchar>(c));
    return text;
}

// --- enumeration --------------------------------------------------------------

namespace {

const QString kDeviceFolder = QStringLiteral("/dev");
// Groups in the order they are listed: USB boards first.
const std::array<QString, 3> kDevicePatterns{
    QStringLiteral("ttyACM*"),
    QStringLiteral("ttyUSB*"),
    QStringLiteral("ttyS*"),
};

QString& portsFolderOverride()
{
    static QString folder;
    return folder;
}

// Compares runs of digits by value, so that ttyACM2 comes before ttyACM10.
bool naturalLess(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            const qulonglong valueA = a.mid(startA, i - startA).toULongLong();
            const qulonglong valueB = b.mid(startB, j - startB).toULongLong();
            if (valueA != valueB)
                return valueA < valueB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j || (a.size() - i == b.size() - j && a < b);
}

QStringList entriesInNaturalOrder(const QString& folder, const QStringList& patterns)
{
    const QDir dir(folder);
    QStringList paths;
    for (const QString& name : dir.entryList(patterns, QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        paths.append(dir.filePath(name));
    std::sort(paths.begin(), paths.end(), naturalLess);
    return paths;
}

// The device names a board shows up as: its USB serial device, never a built-in UART.
const std::array<QString, 2> kBoardDevicePatterns{
    QStringLiteral("ttyACM*"),
    QStringLiteral("ttyUSB*"),
};

bool isCharacterDevice(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

QStringList candidatePorts()
{
    QStringList candidates;
    for (const QString& pattern : kDevicePatterns)
        candidates += entriesInNaturalOrder(kDeviceFolder, {pattern});
    candidates += entriesInNaturalOrder(PublishedPortsFolder(), {});
    return candidates;
}

bool canOpenNow(const QString& path)
{
    int error = 0;
    const int fd = openExclusive(path, error);
    if (fd < 0)
        return false;
    closeExclusive(fd);
    return true;
}

} // namespace

bool IsBoardPortName(const QString& path)
{
    const QFileInfo file(path);
    if (file.absolutePath() == QFileInfo(PublishedPortsFolder()).absoluteFilePath())
        return true;
    if (file.absolutePath() != kDeviceFolder)
        return false;
    return std::any_of(kBoardDevicePatterns.begin(), kBoardDevicePatterns.end(),
                       [&file](const QString& pattern) { return QDir::match(pattern, file.fileName()); });
}

QStringList BoardPortCandidates()
{
    QStringList ports;
    for (const QString& candidate : candidatePorts())
        if (IsBoardPortName(candidate) && isCharacterDevice(candidate))
            ports.append(candidate);
    return ports;
}

void EnumPorts(QStringList* portList)
{
    if (!portList)
        return;
    for (const QString& candidate : candidatePorts())
        if (canOpenNow(candidate))
            portList->append(candidate);
}

QString PublishedPortsFolder()
{
    const QString& folder = portsFolderOverride();
    return folder.isEmpty() ? QString::fromLocal8Bit(BuildConfig::PORTS_DIR) : folder;
}

void setPublishedPortsFolder(const QString& folder)
{
    portsFolderOverride() = folder;
}
