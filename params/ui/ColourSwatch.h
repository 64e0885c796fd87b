// A small patch of the colour a row gives the blade, drawn by the window. A
// row with a channel the screen shows no number for is drawn hatched with a
// question mark: unknown is not black. The Guard row's swatch shows its
// flicker as a band of the dimmest colour it dips to, and, while the pointer
// rests on it, dips and recovers at a gentle pace, unless the style says
// widgets should not animate (the desktop's reduced-motion setting).
#pragma once

#include "params/LedColour.h"

#include <QWidget>

class WindowTimer;

class ColourSwatch : public QWidget {
    Q_OBJECT
public:
    static constexpr int WIDTH = 36;
    static constexpr int HEIGHT = 20;

    explicit ColourSwatch(QWidget* parent = nullptr);

    void showLight(const Params::RowLight& light);
    const Params::RowLight& light() const { return m_light; }
    // True while the flicker is being played.
    bool animating() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool motionReduced() const;
    void updateAnimation();
    // How far into the flicker the moment is, 0..1, from the clock.
    double dip() const;

    Params::RowLight m_light;
    bool m_hovered = false;
    WindowTimer* m_frames = nullptr;
};
