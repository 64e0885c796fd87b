// A filled rounded square: the port indicator and the battery bar.
#pragma once

#include <QColor>
#include <QWidget>

class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);
    QColor BrushColor() const { return m_colour; }
    void setBrushColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour = Qt::white;
};
