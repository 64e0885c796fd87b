#include "comm/BoardLink.h"

#include "comm/BoardMessages.h"
#include "comm/Frames.h"
#include "comm/Operation.h"
#include "comm/SendHold.h"
#include "comm/SerialPort.h"
#include "comm/TrafficLog.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"

#include <algorithm>

namespace {
// How long a parameter write may wait in the port's queue before its write.
constexpr int WRITE_COMPLETION_LIMIT_MS = 1000;
} // namespace

BoardLink::BoardLink(QObject* parent)
    : QObject(parent)
    , m_quietWatch(new WindowTimer(this, StreamFramer::QUIET_TIME_MS))
    , m_reads(new PendingReads(this))
    , m_sendHold(new SendHold([this](const SendHold::Outgoing& out) { release(out); }, this))
{
    connect(m_sendHold, &SendHold::holdOver, this, &BoardLink::pauseOver);
    m_quietWatch->setObjectName(QStringLiteral("receiveQuietWatch"));
    m_quietWatch->setOnTimer([this] { lineQuiet(); });
}

BoardLink::~BoardLink()
{
    // No callback of a port being destroyed may reach a link half gone.
    if (m_port) {
        m_port->ReceiveCallBack = nullptr;
        m_port->OnDeviceLost = nullptr;
    }
}

void BoardLink::setPort(std::unique_ptr<SerialPort> port)
{
    m_port = std::move(port);
    m_port->ReceiveCallBack = [this](const QByteArray& block) { receive(block); };
    m_port->OnDeviceLost = [this](QObject*) {
        m_lossAnnounced = true;
        emit portLost();
    };
}

bool BoardLink::isOpen() const
{
    return portOpen();
}

bool BoardLink::portOpen() const
{
    return m_port && m_port->IsOpen();
}

bool BoardLink::send(const QByteArray& bytes)
{
    if (!maySend())
        return false;
    if (!portOpen()) {
        lostUnderOperation();
        return false;
    }
    if (m_sendHold->queueing())
        m_sendHold->queue(bytes, false);
    else
        m_port->Send(bytes);
    return true;
}

bool BoardLink::sendFrame(const QByteArray& frame)
{
    if (!maySend())
        return false;
    if (!portOpen() && m_running) {
        lostUnderOperation();
        return false;
    }
    if (m_sendHold->queueing())
        m_sendHold->queue(frame, true);
    else
        transmitFrame(frame);
    return true;
}

void BoardLink::transmitFrame(const QByteArray& frame)
{
    waitWhileBoardBusy();
    m_lastFrameAt = appClock().now();
    emit frameSent(frame);
    if (m_port)
        m_port->Send(frame); // a closed port drops it, as the board would not hear it
    if (IsParameterWrite(frame) && portOpen())
        m_writeQueuedAt = appClock().now();
}

void BoardLink::release(const SendHold::Outgoing& out)
{
    if (out.frame)
        transmitFrame(out.bytes);
    else if (portOpen())
        m_port->Send(out.bytes);
}

// The board takes nothing for 100 ms after a parameter write; a frame sent
// sooner (a mode sent twice, a bank chosen mid-sweep) would be lost. Send only
// queues the frame, and under load the port's thread may write it a while later,
// so the 100 ms count from the moment the write has left for the port.
void BoardLink::waitWhileBoardBusy()
{
    const std::optional<qint64> queuedAt = std::exchange(m_writeQueuedAt, std::nullopt);
    if (!queuedAt)
        return;
    std::optional<qint64> written = m_port->WrittenAt();
    for (int waited = 0; !written && m_port->OutputPending() > 0 && waited < WRITE_COMPLETION_LIMIT_MS;
         ++waited) {
        Sleep(1);
        written = m_port->WrittenAt();
    }
    // Nothing written and nothing waiting: the write went with a port closed
    // since. A port that has not written within the limit has a device that
    // stopped taking bytes. Either way the pause counts from the queueing.
    const qint64 leftAt = std::max(written.value_or(*queuedAt), *queuedAt);
    const qint64 busyFor = leftAt + Define::WRITE_PAUSE_MS - appClock().now();
    if (busyFor > 0)
        Sleep(static_cast<int>(busyFor));
}

bool BoardLink::sendCommand(const QByteArray& frame)
{
    if (!sendFrame(frame))
        return false;
    m_expectingReply = true;
    return true;
}

bool BoardLink::sendRead(int address)
{
    if (!sendCommand(SweepReadFrame(address)))
        return false;
    m_reads->await(address);
    return true;
}

void BoardLink::lostUnderOperation()
{
    // Whatever closed the port under the operation, its remaining frames have
    // nowhere to go: it stops as on a lost device, and says how far it got.
    if (!m_running || m_lossAnnounced)
        return;
    m_lossAnnounced = true;
    QMetaObject::invokeMethod(
        this, [this] { emit portLost(); }, Qt::QueuedConnection);
}

void BoardLink::receive(const QByteArray& block)
{
    if (block.isEmpty())
        return;
    emit blockReceived(block);
    arrived(m_framer.push(block));
    // Each arrival starts the quiet time afresh.
    m_quietWatch->setEnabled(false);
    m_quietWatch->setEnabled(m_framer.waiting());
}

void BoardLink::arrived(const QList<QByteArray>& messages)
{
    // The board's word that a stream is whole counts when it comes, whenever
    // the message itself is routed.
    for (const QByteArray& message : messages)
        if (message == BoardMessages::UPLOAD_END)
            emit uploadEndHeard();
    deliver(messages);
}

void BoardLink::deliver(const QList<QByteArray>& messages)
{
    // A message routed here may begin the board's pause: the ones after it wait
    // for its end, as the board's later messages would.
    for (const QByteArray& message : messages) {
        if (m_sendHold->holding())
            m_pausedMessages.append(message);
        else if (!holdBlock(message))
            route(message);
    }
}

void BoardLink::lineQuiet()
{
    m_quietWatch->setEnabled(false);
    if (m_port->InputWaiting()) {
        m_quietWatch->setEnabled(true);
        return;
    }
    arrived(m_framer.flush());
}

void BoardLink::resetReceiving()
{
    m_quietWatch->setEnabled(false);
    m_framer.reset();
    m_sendHold->clear();
    m_pausedMessages.clear();
}

void BoardLink::route(const QByteArray& block)
{
    if (const std::optional<ReadReply> reply = ReadReplyIn(block)) {
        if (m_reads->answer(reply->address))
            routeReadReply(*reply);
        return;
    }
    // A block may satisfy several tests; they run in this order on the whole block.
    const BlockRoutes routes = ClassifyBlock(block, m_expectingReply);
    if (routes.writeFileDone)
        emit writeFileDone();
    if (routes.parameterReply) {
        if (m_request.decodeReplies || !m_running)
            emit parameterReply(block);
        m_expectingReply = false;
        // The loader acknowledges a write or an erase by echoing its command code.
        const char code = block.at(0);
        if (code == Define::WRITEFLASHAPP_CMD || code == Define::ERASEFLASHAPP_CMD)
            emit acknowledged(code);
    }
    if (routes.telemetry)
        emit telemetry(block);
    if (routes.uploadEnd)
        emit uploadEnded();
    if (routes.pauseForB)
        m_sendHold->holdFor(Define::BLOCK_B_PAUSE_MS);
    if (routes.shot)
        emit shot(block);
}

void BoardLink::routeReadReply(const ReadReply& reply)
{
    // The answer goes its way and clears the reply mark as any answer does. An
    // answer arriving after its mark was cleared (by a telemetry frame, or by
    // the answer before it) is still an answer to its read. What the decoder
    // sends in reaction (the default bank it selects) belongs to the read and
    // may leave while the read holds the link.
    const Sending sending(*this);
    if (m_request.decodeReplies || !m_running)
        emit parameterReply(reply.bytes());
    m_expectingReply = false;
    emit readAnswered(reply.address, reply.value);
}

bool BoardLink::refuseWhileBusy() const
{
    if (!busy())
        return false;
    ShowMessage(QStringLiteral("%1 is running. Wait until it has finished.")
                    .arg(m_host ? m_host->request.name : m_request.name));
    return true;
}

bool BoardLink::refuseWithoutPort(const QString& name) const
{
    if (portOpen())
        return false;
    ShowMessage(QStringLiteral("%1 needs an open port: open the board's port first.").arg(name));
    return true;
}

bool BoardLink::begin(Request request)
{
    if (refuseWhileBusy() || refuseWithoutPort(request.name))
        return false;
    m_lastProgress = {request.name, request.unit, 0, request.total};
    m_request = std::move(request);
    m_operation = nullptr;
    m_running = true;
    m_lossAnnounced = false;
    emit busyChanged(true);
    return true;
}

bool BoardLink::begin(Operation& operation, Request request)
{
    // Between two of its steps the operation holding the link begins the next
    // one; nothing else begins meanwhile.
    if (m_running && !m_host && m_operation && operation.host() == m_operation) {
        m_host = Host{std::exchange(m_request, std::move(request)), std::exchange(m_operation, &operation)};
        return true;
    }
    if (!begin(std::move(request)))
        return false;
    m_operation = &operation;
    return true;
}

Operation* BoardLink::current() const
{
    return m_running ? m_operation.data() : nullptr;
}

OperationProgress BoardLink::progress() const
{
    const Operation* running = current();
    return running ? running->progressNow() : m_lastProgress;
}

void BoardLink::end()
{
    if (!m_running)
        return;
    if (m_operation)
        m_lastProgress = m_operation->progressNow();
    if (m_host && m_host->operation) {
        // A step has ended: the operation whose step it was holds the link again.
        m_request = std::move(m_host->request);
        m_operation = m_host->operation;
        m_host.reset();
    } else {
        m_host.reset();
        m_running = false;
        m_operation = nullptr;
        m_request.stop = nullptr;
        emit busyChanged(false);
    }
    if (m_held.isEmpty())
        return;
    // After the handler that ended the operation has returned, as the board's
    // answers would have been read after a blocking operation.
    QMetaObject::invokeMethod(
        this,
        [self = QPointer<BoardLink>(this)] {
            if (self)
                appClock().whenNotPaused([self] {
                    if (self)
                        self->releaseHeld();
                });
        },
        Qt::QueuedConnection);
}

bool BoardLink::holdBlock(const QByteArray& block)
{
    // Blocks kept earlier go first, so a block never overtakes an older one.
    const bool keep = (m_running && m_request.blocks == Blocks::Deferred) || !m_held.isEmpty();
    if (keep)
        m_held.append(block);
    return keep;
}

void BoardLink::releaseHeld()
{
    // Routing may start another operation; what is still kept then waits for its end.
    // A "B" block among them begins the board's pause: the rest wait for its end.
    while (!m_held.isEmpty() && !(m_running && m_request.blocks == Blocks::Deferred) && !m_sendHold->holding())
        route(m_held.takeFirst());
}

void BoardLink::pauseOver()
{
    // Messages kept for after an operation are older than those the pause held.
    releaseHeld();
    deliver(std::exchange(m_pausedMessages, {}));
}

QString BoardLink::deviceLost(const QString& port)
{
    if (!m_running)
        return {};
    const QString what = progress().cutShort(port);
    const std::function<void()> stop = m_request.stop;
    if (stop)
        stop();
    m_held.clear(); // answers to a link that is gone mean nothing now
    m_pausedMessages.clear();
    m_sendHold->clear();
    end();
    return what;
}
