#include "sim/Simulator.h"

#include "sim/SimLog.h"

#include <QFileInfo>

Simulator::Simulator(const SimOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_board(options)
    , m_wire(m_pty)
    , m_link(options.portPath())
    , m_commands(*this)
    , m_control([this](const QString& command) { return m_commands.execute(command); })
{
    m_board.setLink([this](const QByteArray& block, Delivery delivery, BlockKind kind) {
        m_wire.send(block, delivery, kind);
    });
    m_wire.setPieces(options.pieces);
    m_wire.setBundle(options.bundle);
    connect(&m_pty, &PtyDevice::opened, &m_board, &Board::portOpened);
    connect(&m_pty, &PtyDevice::received, this, &Simulator::received);
    m_board.application().pacing().onLate = [this](const LateFrame& late) { m_log.late(late); };
}

Simulator::~Simulator()
{
    stop();
}

bool Simulator::start(QString* error)
{
    if (ControlServer::isServing(m_options.controlPath())) {
        *error =
            QStringLiteral("a board named %1 is already running in %2").arg(m_options.name, m_options.dir);
        return false;
    }
    ParameterMemory& parameters = m_board.memory().parameters;
    if (!m_options.statePath.isEmpty()) {
        if (QFileInfo::exists(m_options.statePath) && !parameters.load(m_options.statePath, error))
            return false;
        parameters.onChanged = [this] { saveState(); };
    }
    if (!plug(error))
        return false;
    if (!m_control.listen(m_options.controlPath(), error)) {
        unplug();
        return false;
    }
    m_started = true;
    return true;
}

void Simulator::stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_control.close();
    unplug();
    m_log.stop();
    m_wire.sentRecord().stop();
    saveState();
}

bool Simulator::plug(QString* error)
{
    if (!m_pty.create(error))
        return false;
    if (!m_link.publish(m_pty.slavePath(), error)) {
        m_pty.destroy();
        return false;
    }
    m_board.powerUp();
    SimLog::note(QStringLiteral("published %1 -> %2").arg(m_link.path(), m_pty.slavePath()));
    return true;
}

void Simulator::unplug()
{
    m_pty.destroy();
    m_link.withdraw();
    m_board.powerDown();
}

void Simulator::received(const QByteArray& chunk, Arrival arrival)
{
    m_log.received(arrival.readMs, chunk);
    m_board.receive(chunk, arrival);
}

void Simulator::saveState()
{
    if (m_options.statePath.isEmpty())
        return;
    QString error;
    if (!m_board.memory().parameters.save(m_options.statePath, &error))
        SimLog::warning(error);
}
