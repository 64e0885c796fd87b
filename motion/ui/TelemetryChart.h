// The live telemetry chart: draws what ChartPages holds. Frames arrive far more
// often than a screen can show them, so changes are gathered and handed to
// each series in one call at most every CHART_REDRAW_MS.
#pragma once

#include "motion/ui/ChartPages.h"

#include <QChartView>
#include <QTimer>
#include <array>

class QLineSeries;
class QValueAxis;

namespace Motion {

class TelemetryChart : public QChartView {
    Q_OBJECT
public:
    explicit TelemetryChart(QWidget* parent = nullptr);

    const ChartPages& pages() const { return m_pages; }
    void addFrame(const ChartPages::Frame& values);
    void showShot(const QList<qint16>& samples);
    void reset();

    // Draws what changed since the last redraw now (the redraw timer calls it;
    // tests call it to look at the plotted points).
    void flushChart();
    // The telemetry traces; a shot is drawn on shotTrace(), on its own axis.
    QLineSeries* series(int index) const { return m_series[index]; }
    QLineSeries* shotTrace() const { return m_shotTrace; }

private:
    void changed();

    ChartPages m_pages;
    std::array<QLineSeries*, Define::CHART_SERIES_COUNT> m_series{};
    QValueAxis* m_left = nullptr;
    QValueAxis* m_bottom = nullptr;
    QValueAxis* m_top = nullptr;
    QLineSeries* m_shotTrace = nullptr;
    QValueAxis* m_shotAxis = nullptr;
    // Paces the redraws only; what is plotted never depends on it.
    QTimer m_redraw;
};

} // namespace Motion
