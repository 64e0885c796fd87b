#include "cli/Progress.h"

#include <QTextStream>
#include <unistd.h>

namespace {
constexpr int BAR_WIDTH = 30;
constexpr int REDRAW_MS = 100;
constexpr int TENTHS = 10;

QString timeLeft(qint64 elapsedMs, int done, int total)
{
    if (done <= 0 || total <= done)
        return QStringLiteral("--:--");
    const qint64 leftS = elapsedMs * (total - done) / done / 1000;
    return QStringLiteral("%1:%2")
        .arg(leftS / 60, 2, 10, QLatin1Char('0'))
        .arg(leftS % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

Progress::Progress(const QStringList& ports, bool enabled)
    : m_enabled(enabled)
    , m_terminal(::isatty(STDERR_FILENO) == 1)
{
    for (const QString& port : ports)
        m_lines.append({port, QStringLiteral("connecting"), -1, {}, {}});
    m_lastDraw.start();
}

Progress::Line* Progress::line(const QString& port)
{
    for (Line& l : m_lines)
        if (l.port == port)
            return &l;
    return nullptr;
}

void Progress::update(const QString& port, const QString& what, int done, int total, const QString& unit)
{
    Line* l = line(port);
    if (!m_enabled || !l || total <= 0)
        return;
    if (l->startedWhat != what) {
        l->startedWhat = what;
        l->started.start();
        l->lastTenth = -1;
    }
    if (m_terminal) {
        const int filled = BAR_WIDTH * done / total;
        l->text =
            QStringLiteral("%1 [%2%3] %4/%5 %6, %7 left")
                .arg(what, QString(filled, QLatin1Char('#')), QString(BAR_WIDTH - filled, QLatin1Char('.')))
                .arg(done)
                .arg(total)
                .arg(unit, timeLeft(l->started.elapsed(), done, total));
        redraw(done == total);
        return;
    }
    const int tenth = TENTHS * done / total;
    if (tenth == l->lastTenth)
        return;
    l->lastTenth = tenth;
    QTextStream(stderr) << port << ": " << what << ' ' << done << '/' << total << ' ' << unit << Qt::endl;
}

void Progress::finish(const QString& port, bool ok)
{
    Line* l = line(port);
    if (!m_enabled || !l)
        return;
    l->text = ok ? QStringLiteral("done") : QStringLiteral("failed");
    if (m_terminal)
        redraw(true);
}

void Progress::redraw(bool force)
{
    if (!force && m_lastDraw.elapsed() < REDRAW_MS)
        return;
    m_lastDraw.restart();
    QTextStream err(stderr);
    if (m_drawn)
        err << "\x1b[" << m_lines.size() << 'A';
    for (const Line& l : std::as_const(m_lines))
        err << "\r\x1b[K" << l.port << ": " << l.text << '\n';
    err.flush();
    m_drawn = true;
}
