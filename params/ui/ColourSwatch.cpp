#include "params/ui/ColourSwatch.h"

#include "common/Clock.h"

#include <QEnterEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <cmath>

namespace {
constexpr int CORNER_RADIUS = 3;
constexpr int FLICKER_BAND_WIDTH = 10; // the dimmest colour, at the right-hand end
constexpr int FRAME_MS = 40;           // 25 frames a second
constexpr int FLICKER_PERIOD_MS = 1600; // one dip and recovery: slow enough to watch
const QColor UNKNOWN_BACKGROUND(0xd8, 0xd8, 0xd8);
const QColor UNKNOWN_HATCH(0x90, 0x90, 0x90);

QColor ToColor(const Params::Rgb& rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}
} // namespace

ColourSwatch::ColourSwatch(QWidget* parent)
    : QWidget(parent)
    , m_frames(new WindowTimer(this, FRAME_MS))
{
    setFixedSize(WIDTH, HEIGHT);
    m_frames->setObjectName(QStringLiteral("flickerFrames"));
    m_frames->setOnTimer([this] { update(); });
}

void ColourSwatch::showLight(const Params::RowLight& light)
{
    m_light = light;
    setAccessibleName(light.name + QStringLiteral(" colour"));
    setAccessibleDescription(Params::LightDescription(light));
    setToolTip(accessibleDescription());
    updateAnimation();
    update();
}

bool ColourSwatch::animating() const
{
    return m_frames->Enabled();
}

bool ColourSwatch::motionReduced() const
{
    return style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, this) == 0;
}

void ColourSwatch::updateAnimation()
{
    m_frames->setEnabled(m_hovered && Params::Flickers(m_light) && !motionReduced());
}

void ColourSwatch::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    updateAnimation();
    QWidget::enterEvent(event);
}

void ColourSwatch::leaveEvent(QEvent* event)
{
    m_hovered = false;
    updateAnimation();
    update();
    QWidget::leaveEvent(event);
}

double ColourSwatch::dip() const
{
    // A triangle: down to the full dip and back up within one period.
    const double phase = double(appClock().now() % FLICKER_PERIOD_MS) / FLICKER_PERIOD_MS;
    return 1.0 - std::abs(2.0 * phase - 1.0);
}

void ColourSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath outline;
    outline.addRoundedRect(area, CORNER_RADIUS, CORNER_RADIUS);
    painter.setPen(palette().color(QPalette::Mid));

    const std::optional<Params::Rgb> steady = Params::MixedColour(m_light, animating() ? dip() : 0);
    if (!steady) {
        painter.fillPath(outline, UNKNOWN_BACKGROUND);
        painter.fillPath(outline, QBrush(UNKNOWN_HATCH, Qt::BDiagPattern));
        painter.drawPath(outline);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("?"));
        return;
    }
    painter.fillPath(outline, ToColor(*steady));
    if (Params::Flickers(m_light) && !animating()) {
        painter.save();
        painter.setClipPath(outline);
        painter.fillRect(QRectF(area.right() - FLICKER_BAND_WIDTH, area.top(), FLICKER_BAND_WIDTH, area.height()),
                         ToColor(*Params::MixedColour(m_light, 1)));
        painter.restore();
    }
    painter.drawPath(outline);
}
