#include "app/ScreenCentre.h"

#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* window)
{
    // Before the first mapping the frame is not known and the client area stands
    // for it; a window manager's title bar then moves the window by its height.
    QRect frame = window->frameGeometry();
    frame.moveCenter(window->screen()->availableGeometry().center());
    window->move(frame.topLeft());
}
