#include "motion/ChartPages.h"

namespace Motion {

void ChartPages::clear()
{
    for (Series& s : m_series) {
        s.points.clear();
        s.labels.clear();
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
        s.points.append(QPointF(s.points.size(), values[i]));
        s.labels.append(m_posizione);
    }
    // "At or past": after a shot has shrunk the page below the counter, an
    // equality would never match again and the series would grow without end.
    if (m_posizione >= m_pointsPerPage - 1) {
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
}

} // namespace Motion
