#include "motion/ui/ChartPages.h"

namespace Motion {

namespace {
const QColor POINT_COLOURS[Define::CHART_SERIES_COUNT] = {QColor(Qt::black), QColor(Qt::blue),
                                                          QColor(Qt::green), QColor(Qt::red)};
} // namespace

QColor ChartPages::pointColour(int series)
{
    return POINT_COLOURS[series];
}

void ChartPages::clear()
{
    for (Series& s : m_series) {
        s.points.clear();
        s.labels.clear();
        s.shotPoints = 0;
    }
}

void ChartPages::reset()
{
    m_axisLimit = Define::CHART_AXIS_LIMIT;
    m_pointsPerPage = Define::CHART_POINTS_PER_PAGE;
    m_posizione = 1;
    clear();
}

void ChartPages::addFrame(const Frame& values)
{
    for (int i = 0; i < Define::CHART_SERIES_COUNT; ++i) {
        Series& s = m_series[i];
        s.points.append(QPointF(static_cast<qreal>(s.points.size() - s.shotPoints), values[i]));
        s.labels.append(m_posizione);
    }
    // The counter at the page's last point ends the page. After a shot has
    // shrunk the page below the counter it never gets there again: the page
    // then ends once the telemetry drawn after the shot has filled it, so the
    // shot stays in view that long and the series never grow without end.
    const Series& first = m_series[0];
    const bool pageFilled = first.points.size() - first.shotPoints >= m_pointsPerPage;
    if (m_posizione == m_pointsPerPage - 1 || pageFilled) {
        m_posizione = 1;
        clear();
    } else {
        ++m_posizione;
    }
}

void ChartPages::showShot(const QList<qint16>& samples)
{
    m_axisLimit = Define::CHART_AXIS_LIMIT;
    clear();
    m_pointsPerPage = Define::SHOT_SAMPLES;
    Series& s = m_series[0];
    for (int i = 0; i < samples.size(); ++i) {
        s.points.append(QPointF(i, samples[i]));
        s.labels.append(i + 1);
    }
    s.shotPoints = s.points.size();
}

} // namespace Motion
