#include "motion/ui/TelemetryChart.h"

#include <QLineSeries>
#include <QValueAxis>

namespace Motion {

namespace {
struct SeriesLook {
    const char* name;
    QColor colour;
    int penWidth;
    bool batteryAxis;
};
const SeriesLook SERIES_LOOK[Define::CHART_SERIES_COUNT] = {
    {"Series5", QColor(Qt::black), 2, false},
    {"Series6", QColor(Qt::blue), 2, false},
    {"Series7", QColor(Qt::green), 2, false},
    {"Series8", QColor(255, 128, 0), 1, true},
};
constexpr int POINT_MARKER_SIZE = 3;

QLineSeries* makeSeries(QChart* chart, const SeriesLook& look)
{
    auto* series = new QLineSeries(chart);
    series->setName(QString::fromLatin1(look.name));
    series->setObjectName(QString::fromLatin1(look.name));
    QPen pen(look.colour);
    pen.setWidth(look.penWidth);
    series->setPen(pen);
    series->setMarkerSize(POINT_MARKER_SIZE);
    chart->addSeries(series);
    return series;
}

// Points whose colour is not their line's show as markers of that colour.
void colourPoints(QLineSeries* series, qsizetype count, const QColor& colour)
{
    if (colour == series->pen().color())
        return;
    const QHash<QXYSeries::PointConfiguration, QVariant> marked{
        {QXYSeries::PointConfiguration::Color, colour}, {QXYSeries::PointConfiguration::Visibility, true}};
    QHash<int, QHash<QXYSeries::PointConfiguration, QVariant>> points;
    points.reserve(count);
    for (int i = 0; i < count; ++i)
        points.insert(i, marked);
    series->setPointsConfiguration(points);
}
} // namespace

TelemetryChart::TelemetryChart(QWidget* parent)
    : QChartView(parent)
{
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Accelerometer X, Y, Z"));
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    setChart(chart);
    // Dense traces: smoothing them costs several times the drawing itself.
    setRenderHint(QPainter::Antialiasing, false);

    m_left = new QValueAxis(chart);
    m_left->setRange(-Define::CHART_DESIGN_AXIS_LIMIT, Define::CHART_DESIGN_AXIS_LIMIT);
    auto* right = new QValueAxis(chart);
    right->setRange(0, Define::CHART_BATTERY_AXIS_MAX);
    m_bottom = new QValueAxis(chart);
    m_bottom->setVisible(false);
    m_top = new QValueAxis(chart);
    m_top->setTitleText(QStringLiteral("Accelerometers"));
    // Hidden labels would take the room of the title with them: keep them, unseen.
    m_top->setLabelsBrush(QBrush(Qt::transparent));
    m_top->setGridLineVisible(false);
    for (QValueAxis* axis : {m_left, right})
        axis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(m_left, Qt::AlignLeft);
    chart->addAxis(right, Qt::AlignRight);
    chart->addAxis(m_bottom, Qt::AlignBottom);
    chart->addAxis(m_top, Qt::AlignTop);

    // A shot keeps its own page while telemetry starts again on the chart's.
    m_shotAxis = new QValueAxis(chart);
    m_shotAxis->setVisible(false);
    m_shotAxis->setRange(0, Define::SHOT_SAMPLES - 1);
    chart->addAxis(m_shotAxis, Qt::AlignBottom);
    m_shotTrace = makeSeries(chart, {"ShotTrace", SERIES_LOOK[0].colour, SERIES_LOOK[0].penWidth, false});
    m_shotTrace->attachAxis(m_left);
    m_shotTrace->attachAxis(m_shotAxis);

    for (int i = 0; i < Define::CHART_SERIES_COUNT; ++i) {
        const SeriesLook& look = SERIES_LOOK[i];
        QLineSeries* series = makeSeries(chart, look);
        series->attachAxis(look.batteryAxis ? right : m_left);
        series->attachAxis(m_bottom);
        series->attachAxis(m_top);
        m_series[i] = series;
    }

    m_redraw.setSingleShot(true);
    m_redraw.setInterval(Define::CHART_REDRAW_MS);
    connect(&m_redraw, &QTimer::timeout, this, [this] { flushChart(); });
    flushChart();
}

void TelemetryChart::changed()
{
    if (!m_redraw.isActive())
        m_redraw.start();
}

void TelemetryChart::addFrame(const ChartPages::Frame& values)
{
    m_pages.addFrame(values);
    changed();
}

void TelemetryChart::showShot(const QList<qint16>& samples)
{
    m_pages.showShot(samples);
    changed();
}

void TelemetryChart::reset()
{
    m_pages.reset();
    changed();
}

void TelemetryChart::flushChart()
{
    m_redraw.stop();
    m_left->setRange(-m_pages.axisLimit(), m_pages.axisLimit());
    // One page spans the width, so the trace sweeps from the left without rescaling.
    const int lastPoint = std::max(m_pages.pointsPerPage() - 1, 1);
    m_bottom->setRange(0, lastPoint);
    m_top->setRange(0, lastPoint);
    const ChartPages::Series& first = m_pages.series(0);
    m_shotTrace->replace(first.points.first(first.shotPoints));
    for (int i = 0; i < Define::CHART_SERIES_COUNT; ++i) {
        const ChartPages::Series& s = m_pages.series(i);
        m_series[i]->replace(s.points.mid(s.shotPoints));
        colourPoints(m_series[i], m_series[i]->count(), ChartPages::pointColour(i));
    }
}

} // namespace Motion
