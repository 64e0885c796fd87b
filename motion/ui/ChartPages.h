// What the live chart holds: four series of labelled points that sweep across
// a page and empty when the page is full, or a shot. The view draws it in
// batches; this class alone decides what is plotted.
#pragma once

#include "common/Define.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QtGlobal>
#include <array>

namespace Motion {

class ChartPages {
public:
    struct Series {
        QList<QPointF> points; // x is the arrival index on the page
        QList<int> labels;     // the text each point is labelled with, as a number
        // How many points at the start are a shot's (series 0 only): they lie on
        // the shot's own page, and telemetry after them starts again at x 0.
        qsizetype shotPoints = 0;
    };

    // The colour each telemetry point of a series is added with: black, blue,
    // green and red. The battery's points are red on its orange line.
    static QColor pointColour(int series);

    // X, Y, Z and the battery reading of one frame.
    using Frame = std::array<qint16, Define::CHART_SERIES_COUNT>;

    // Axis range +-32767, 500 points per page, the counter back to 1, all empty.
    void reset();
    // Appends one point to each series labelled with the counter, then wraps
    // when the counter has reached the last point of the page, or when the
    // points after a shot fill a page.
    void addFrame(const Frame& values);
    // The samples on series 0 labelled 1, 2, ..., one page of 50 points; the
    // counter is left alone.
    void showShot(const QList<qint16>& samples);

    const Series& series(int index) const { return m_series[index]; }
    int posizione() const { return m_posizione; }
    int pointsPerPage() const { return m_pointsPerPage; }
    int axisLimit() const { return m_axisLimit; }

private:
    void clear();

    std::array<Series, Define::CHART_SERIES_COUNT> m_series;
    int m_posizione = 0;
    int m_pointsPerPage = Define::CHART_POINTS_PER_PAGE;
    int m_axisLimit = Define::CHART_DESIGN_AXIS_LIMIT;
};

} // namespace Motion
