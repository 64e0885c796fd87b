#include "app/ScreenCentre.h"

#include <QScreen>
#include <QWidget>

namespace {
// Before the first mapping the frame is not known: room for a usual title bar
// and border, so that the title bar is not pushed off the top of the screen.
constexpr int UNKNOWN_TITLE_BAR = 40;
constexpr int UNKNOWN_BORDER = 4;

QMargins frameOf(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    const QMargins known(client.left() - frame.left(), client.top() - frame.top(),
                         frame.right() - client.right(), frame.bottom() - client.bottom());
    return known.isNull() ? QMargins(UNKNOWN_BORDER, UNKNOWN_TITLE_BAR, UNKNOWN_BORDER, UNKNOWN_BORDER)
                          : known;
}
} // namespace

void FitOnScreen(QWidget* window, const QSize& wanted)
{
    const QRect available = window->screen()->availableGeometry();
    const QMargins frame = frameOf(window);
    window->resize(wanted.boundedTo(available.size().shrunkBy(frame)));
    QRect outer = QRect(QPoint(), window->size()).marginsAdded(frame);
    outer.moveCenter(available.center());
    // A top-level window's position is that of its frame.
    window->move(outer.topLeft());
}

void CentreOnScreen(QWidget* window)
{
    FitOnScreen(window, window->size());
}
