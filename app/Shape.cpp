#include "app/Shape.h"

#include <QPainter>

namespace {
constexpr qreal CORNER_RADIUS = 3.0;
}

Shape::Shape(QWidget* parent)
    : QWidget(parent)
{
}

void Shape::setBrushColor(const QColor& colour)
{
    m_colour = colour;
    update();
}

void Shape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::Dark), 1));
    painter.setBrush(m_colour);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), CORNER_RADIUS, CORNER_RADIUS);
}
