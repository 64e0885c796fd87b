#include "motion/TelemetryChart.h"

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

    for (int i = 0; i < Define::CHART_SERIES_COUNT; ++i) {
        const SeriesLook& look = SERIES_LOOK[i];
        auto* series = new QLineSeries(chart);
        series->setName(QString::fromLatin1(look.name));
        series->setObjectName(QString::fromLatin1(look.name));
        QPen pen(look.colour);
        pen.setWidth(look.penWidth);
        series->setPen(pen);
        chart->addSeries(series);
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
    for (int i = 0; i < Define::CHART_SERIES_COUNT; ++i)
        m_series[i]->replace(m_pages.series(i).points);
}

} // namespace Motion
