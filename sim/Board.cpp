#include "sim/Board.h"

#include "sim/SimLog.h"

namespace {

constexpr int LOG_PREVIEW_BYTES = 8; // bytes of a suppressed block shown in the note

const char* firmwareName(Firmware firmware)
{
    return firmware == Firmware::Loader ? "loader" : "application";
}

} // namespace

Board::Board(const SimOptions& options, QObject* parent)
    : QObject(parent)
    , m_app(
          m_memory,
          [this](const QByteArray& block, Delivery delivery, BlockKind kind) { send(block, delivery, kind); },
          options.rate, options.idleMs)
    , m_loader(m_memory, [this](const QByteArray& block, Delivery delivery, BlockKind kind) {
        send(block, delivery, kind);
    })
{
    m_app.pacing().setStrict(options.strict);
}

void Board::powerUp()
{
    m_running = m_switches;
    SimLog::note(QStringLiteral("power up: %1 runs").arg(QLatin1String(firmwareName(m_running))));
    if (m_running == Firmware::Application) {
        m_app.powerUp();
    } else {
        m_app.halt();
        m_loader.powerUp();
    }
}

void Board::powerDown()
{
    m_app.halt();
}

void Board::portOpened()
{
    readSwitches();
}

void Board::readSwitches()
{
    if (m_switches != m_running)
        powerUp();
}

void Board::receive(const QByteArray& chunk, Arrival arrival)
{
    m_memory.counters.receivedBytes += chunk.size();
    if (m_running == Firmware::Application)
        m_app.receive(chunk, arrival);
    else
        m_loader.receive(chunk, arrival);
}

void Board::send(const QByteArray& block, Delivery delivery, BlockKind kind)
{
    if (m_silent) {
        SimLog::note(QStringLiteral("silent: not sent %1").arg(SimLog::hex(block.left(LOG_PREVIEW_BYTES))));
        return;
    }
    if (m_link)
        m_link(block, delivery, kind);
}
