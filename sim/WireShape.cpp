#include "sim/WireShape.h"

#include "sim/SimLog.h"
#include "sim/Uptime.h"

#include <utility>

namespace {

// Output waiting beyond this is dropped: a tool that stops reading must not make
// the simulator hoard without end.
constexpr qsizetype BACKLOG_LIMIT = 64 * 1024;
// A bundle that has not filled goes out this long after its first message: a
// bridge's latency timer, so that nothing waits for a message that never comes.
constexpr int BUNDLE_HOLD_MS = 30;

} // namespace

WireShape::WireShape(PtyDevice& pty, QObject* parent)
    : QObject(parent)
    , m_pty(pty)
{
    m_hold.setSingleShot(true);
    m_hold.setTimerType(Qt::PreciseTimer);
    m_hold.setInterval(BUNDLE_HOLD_MS);
    connect(&m_hold, &QTimer::timeout, this, &WireShape::writeBundle);
    m_gap.setSingleShot(true);
    m_gap.setTimerType(Qt::PreciseTimer);
    connect(&m_gap, &QTimer::timeout, this, &WireShape::writePieces);
    connect(&m_pty, &PtyDevice::drained, this, &WireShape::writePieces);
    connect(&m_pty, &PtyDevice::closed, this, &WireShape::discard);
}

bool WireShape::waiting() const
{
    return !m_queue.isEmpty() || m_pty.backlog() > 0;
}

void WireShape::send(const QByteArray& block, Delivery delivery, BlockKind kind)
{
    if (!m_pty.isOpen() || block.isEmpty())
        return;
    if (waiting() &&
        (delivery == Delivery::Droppable || m_queuedBytes + m_pty.backlog() + block.size() > BACKLOG_LIMIT)) {
        SimLog::note(QStringLiteral("output backlog: dropped %1 bytes").arg(block.size()));
        return;
    }
    m_record.sent(uptimeMs(), kind, block);
    if (kind == BlockKind::Telemetry)
        ++m_telemetrySent;
    if (m_bundle > 0)
        hold(block);
    else
        pass(block);
}

void WireShape::setPieces(Pieces pieces)
{
    m_pieces = pieces;
    if (m_pieces.on() || m_queue.isEmpty())
        return;
    m_gap.stop();
    QByteArray rest;
    for (const QByteArray& piece : std::exchange(m_queue, {}))
        rest += piece;
    m_queuedBytes = 0;
    writeToPty(rest);
}

void WireShape::setBundle(int count)
{
    m_bundle = count;
    if (m_heldCount > 0 && (m_bundle == 0 || m_heldCount >= m_bundle))
        writeBundle();
}

void WireShape::hold(const QByteArray& block)
{
    m_held += block;
    if (++m_heldCount == 1)
        m_hold.start();
    if (m_heldCount >= m_bundle)
        writeBundle();
}

void WireShape::writeBundle()
{
    m_hold.stop();
    m_heldCount = 0;
    pass(std::exchange(m_held, {}));
}

void WireShape::pass(const QByteArray& bytes)
{
    if (!m_pieces.on()) {
        writeToPty(bytes);
        return;
    }
    for (qsizetype at = 0; at < bytes.size(); at += m_pieces.size)
        m_queue.append(bytes.mid(at, m_pieces.size));
    m_queuedBytes += bytes.size();
    writePieces();
}

void WireShape::writePieces()
{
    // A piece waits while the terminal still holds bytes: written behind them,
    // it would reach the tool joined to them.
    while (!m_queue.isEmpty() && !m_gap.isActive() && m_pty.backlog() == 0) {
        const QByteArray piece = m_queue.takeFirst();
        m_queuedBytes -= piece.size();
        writeToPty(piece);
        if (m_pieces.gapMs > 0 && !m_queue.isEmpty())
            m_gap.start(m_pieces.gapMs);
    }
}

void WireShape::writeToPty(const QByteArray& bytes)
{
    ++m_writes;
    m_pty.write(bytes);
}

void WireShape::discard()
{
    m_hold.stop();
    m_held.clear();
    m_heldCount = 0;
    m_gap.stop();
    m_queue.clear();
    m_queuedBytes = 0;
}
