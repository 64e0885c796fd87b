#include "cli/BoardSession.h"

#include "comm/ComPort.h"
#include "comm/Frames.h"
#include "comm/Operation.h"
#include "comm/OperationRunner.h"
#include "comm/PortDoctor.h"
#include "common/Define.h"
#include "params/ReadState.h"
#include "params/ReadSweep.h"
#include "sound/BoardJournal.h"

#include <QTimer>

#include <cerrno>

#include <memory>

namespace {
// The board answers a status frame well within the connection check's step.
constexpr int ANSWER_TIMEOUT_MS = Define::CONNECTION_CHECK_TICK_MS;
// After a mode other than TX: the board's last telemetry frames arrive meanwhile.
constexpr int MODE_SETTLE_MS = 300;

// The terminal's view of an operation: its progress line, and its end told
// to the command once the event that ended it is over.
class TerminalRun final : public OperationView {
public:
    using Refused = std::function<void(const QString& name)>;
    TerminalRun(BoardSession& session, BoardSession::Done ended, Refused refused)
        : m_session(session)
        , m_ended(std::move(ended))
        , m_refused(std::move(refused))
    {
    }

    void refused(const QString& name) override { m_refused(name); }
    void progressed(const OperationProgress& progress, const QString&) override
    {
        emit m_session.progressed(progress.name, progress.done, progress.total, progress.unit);
    }
    void ended(bool ok, const QString& message) override
    {
        // Queued: on a lost device the operation ends from inside the link's
        // loss handling, before the loss message is known.
        QMetaObject::invokeMethod(
            &m_session, [ended = m_ended, ok, message] { ended(ok, message); }, Qt::QueuedConnection);
    }

private:
    BoardSession& m_session;
    const BoardSession::Done m_ended;
    const Refused m_refused;
};

QString withAdvice(const QString& message, const QList<PortTrouble>& troubles)
{
    const QString advice = AdviceParagraph(troubles);
    return advice.isEmpty() ? message : message + QLatin1Char(' ') + advice.simplified();
}
} // namespace

BoardSession::BoardSession(const QString& port, QObject* parent)
    : QObject(parent)
    , m_port(port)
    , m_board(new Params::Board(this))
    , m_link(m_board->link())
    , m_journal(new Sound::BoardJournal([this] { return m_board->readSerialNumber(); }, {}, this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    auto serial = std::make_unique<ComPort>();
    serial->setPort(port);
    serial->setBaud(Define::LINK_BAUD);
    serial->setReceiveMode(rmRAW);
    m_board->setPort(std::move(serial));
    connect(m_link, &BoardLink::portLost, this, &BoardSession::portLost);
}

bool BoardSession::open(QString* error)
{
    try {
        m_link->port()->Open();
    } catch (const EComError& failure) {
        const std::optional<PortTrouble> trouble = DiagnosePort(m_port);
        m_heldElsewhere = trouble && (trouble->error == EBUSY || trouble->error == EWOULDBLOCK);
        // The component parts the lines of its message with '\r', as its message
        // boxes show them; here they make one line.
        const QString why = QString(failure.message()).replace(QLatin1Char('\r'), QStringLiteral(": "));
        *error = withAdvice(QStringLiteral("%1: %2").arg(m_port, why),
                            trouble ? QList<PortTrouble>{*trouble} : QList<PortTrouble>{});
        return false;
    }
    m_link->port()->SetRTS(true);
    return true;
}

void BoardSession::findMode(const ModeFound& found)
{
    // Whichever answer comes first ends the question; the context object takes
    // the listeners and the time limit with it.
    auto* asking = new QObject(this);
    auto settled = std::make_shared<bool>(false);
    const auto answer = [this, asking, settled, found](std::optional<int> status) {
        if (std::exchange(*settled, true))
            return;
        asking->deleteLater();
        m_link->reads().forget();
        found(status);
    };
    connect(m_link, &BoardLink::readAnswered, asking, [answer](int address, quint8 value) {
        if (address == Define::ADDR_STATO_TAVRIN)
            answer(value);
    });
    connect(m_link, &BoardLink::telemetry, asking, [answer](const QByteArray& frame) {
        if (frame.size() > Define::TELEMETRY_STATO_OFFSET)
            answer(static_cast<quint8>(frame.at(Define::TELEMETRY_STATO_OFFSET)));
    });
    QTimer::singleShot(ANSWER_TIMEOUT_MS, asking, [answer] { answer(std::nullopt); });
    if (m_lost || !m_link->sendRead(Define::ADDR_STATO_TAVRIN))
        answer(std::nullopt);
}

void BoardSession::connectBoard(const Done& done)
{
    if (refuseAfterStop(QStringLiteral("stopped before anything was changed."), done))
        return;
    setMode(Define::STATO_TAVRIN_COMMAND_MODE_TX, [this, done](bool ok, const QString& message) {
        if (!ok) {
            done(false, message);
            return;
        }
        setMode(Define::STATO_TAVRIN_COMMAND_MODE_NOTX, done);
    });
}

void BoardSession::setMode(int status, const Done& done)
{
    if (!refuseAfterStop(QStringLiteral("stopped before anything was changed."), done))
        restoreMode(status, done);
}

void BoardSession::restoreMode(int status, const Done& done)
{
    if (m_lost || !m_link->sendCommand(ParameterWriteFrame(Define::ADDR_STATO_TAVRIN, status))) {
        done(false, lossMessage());
        return;
    }
    // Only TX has an answer: the stream it starts. Any other mode is taken in
    // silence; the stream of a board leaving TX may still trail in meanwhile.
    if (status != Define::STATO_TAVRIN_COMMAND_MODE_TX) {
        wait(MODE_SETTLE_MS, done);
        return;
    }
    // The advice is looked for only when no board answers: it tries every other
    // port, and with many boards open at once each of them is held by this very
    // program, whose holder the system is asked for.
    awaitReply(ANSWER_TIMEOUT_MS, done, [port = m_port] {
        const QString noAnswer =
            QStringLiteral(
                "No board answered on %1: check that the board is plugged in and switched on, and that "
                "this is its port (tavrin-cli ports lists the ports where a board answers).")
                .arg(port);
        return withAdvice(noAnswer, DiagnoseUnopenablePorts(port));
    });
}

bool BoardSession::leaveTx()
{
    return !m_lost && m_link->sendCommand(ParameterWriteFrame(Define::ADDR_STATO_TAVRIN,
                                                              Define::STATO_TAVRIN_COMMAND_MODE_NOTX));
}

void BoardSession::awaitReply(int timeoutMs, const Done& done, const std::function<QString()>& noAnswer)
{
    m_waiting = done;
    m_timer->disconnect();
    m_timer->setInterval(timeoutMs);
    // Polled: the reply-expected mark is cleared by the link's route of the answer.
    auto* poll = new QTimer(m_timer);
    connect(poll, &QTimer::timeout, this, [this, poll] {
        if (!m_link->expectingReply()) {
            poll->deleteLater();
            finishWait(true, {});
        }
    });
    poll->start(1);
    connect(m_timer, &QTimer::timeout, this, [this, poll, noAnswer] {
        poll->deleteLater();
        finishWait(false, noAnswer());
    });
    m_timer->start();
}

void BoardSession::pause(int ms, const Done& done)
{
    if (!refuseAfterStop(QStringLiteral("stopped before anything was changed."), done))
        wait(ms, done);
}

void BoardSession::wait(int ms, const Done& done)
{
    m_waiting = done;
    m_timer->disconnect();
    m_timer->setInterval(ms);
    connect(m_timer, &QTimer::timeout, this, [this] { finishWait(true, {}); });
    m_timer->start();
}

void BoardSession::finishWait(bool ok, const QString& message)
{
    m_timer->stop();
    m_timer->disconnect();
    const Done done = std::exchange(m_waiting, nullptr);
    if (done)
        done(ok, message);
}

void BoardSession::readParameters(const Done& done)
{
    ReadSweep* sweep = m_board->track(new ReadSweep(*m_link), true);
    auto missing = std::make_shared<QStringList>();
    auto answered = std::make_shared<int>(0);
    // Taken before the session disposes of the operation.
    connect(sweep, &Operation::finished, sweep, [this, sweep, missing, answered] {
        const Params::ReadState& read = m_board->readState();
        *missing = read.unreadNames(read.unreadShown());
        *answered = sweep->answeredCount();
    });
    run(sweep, [this, done, missing, answered](bool ok, const QString& message) {
        if (!ok)
            done(false, message);
        else if (*answered == 0)
            done(false, QStringLiteral("%1: the board did not answer the reads; try again.").arg(m_port));
        else if (!missing->isEmpty())
            done(false, QStringLiteral("%1: these values did not come back from the board, even when asked "
                                       "again: %2. Nothing was saved or written; try again.")
                            .arg(m_port, missing->join(QStringLiteral(", "))));
        else
            done(true, {});
    });
}

void BoardSession::readSerialNumber(const Done& done)
{
    if (!m_board->readSerialNumber().isEmpty()) {
        done(true, {});
        return;
    }
    ReadSweep* sweep = m_board->track(
        new ReadSweep(*m_link, QStringLiteral("Serial number"), Params::BoardIdentity::addresses(), true), false);
    run(sweep, [this, done](bool ok, const QString& message) {
        if (ok && m_board->readSerialNumber().isEmpty())
            done(false, QStringLiteral("%1: the board's serial number did not come back, so what went where could "
                                       "not be recorded; nothing was sent. Try again.").arg(m_port));
        else
            done(ok, message);
    });
}

void BoardSession::run(Operation* operation, const Done& done)
{
    operation->setParent(this);
    if (refuseAfterStop(QStringLiteral("stopped before %1 began; nothing of it was sent.").arg(operation->request().name), done)) {
        operation->dispose();
        return;
    }
    m_operation = operation;
    RunOperation(operation, std::make_shared<TerminalRun>(
                                *this,
                                [this, done](bool ok, const QString& message) {
                                    if (m_lost)
                                        done(false, m_lostMessage);
                                    else
                                        done(ok, message.isEmpty() ? message
                                                                   : QStringLiteral("%1: %2").arg(m_port, message));
                                },
                                [this, done](const QString& name) {
                                    done(false, QStringLiteral("%1: %2 could not start.").arg(m_port, name));
                                }));
}

QString BoardSession::cancel()
{
    // Kept whatever runs now: a signal that lands between two steps, or while
    // the board is asked its mode, stops the next step instead of being lost.
    const bool again = std::exchange(m_stopRequested, true);
    if (m_operation && m_operation->running()) {
        if (!CancelOperation(*m_operation, {}) && !again)
            return QStringLiteral("%1: %2 cannot be stopped safely: it goes on to its end, and nothing after it "
                                  "begins.")
                .arg(m_port, m_operation->request().name);
    } else if (m_waiting) {
        finishWait(false, QStringLiteral("%1: stopped before anything was changed.").arg(m_port));
    }
    return {};
}

bool BoardSession::refuseAfterStop(const QString& why, const Done& done)
{
    if (!m_stopRequested)
        return false;
    done(false, QStringLiteral("%1: %2").arg(m_port, why));
    return true;
}

QString BoardSession::lossMessage() const
{
    return m_lostMessage.isEmpty()
               ? QStringLiteral("The connection to the board on %1 was lost (the device was disconnected). "
                                "Plug it in again and run the command again.")
                     .arg(m_port)
               : m_lostMessage;
}

void BoardSession::portLost()
{
    m_lost = true;
    const QString cutShort = m_link->deviceLost(m_port);
    m_lostMessage = cutShort.isEmpty()
                        ? lossMessage()
                        : cutShort + QStringLiteral(" Plug it in again and run the command again.");
    if (m_waiting)
        finishWait(false, m_lostMessage);
}
