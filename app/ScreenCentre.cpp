#include "app/ScreenCentre.h"

#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* window)
{
    // The frame is not known before the first mapping; until then it is the
    // client area, which the window manager then keeps centred within a few pixels.
    QRect frame = window->frameGeometry();
    frame.moveCenter(window->screen()->availableGeometry().center());
    window->move(frame.topLeft());
}
