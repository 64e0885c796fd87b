// Windows that open in the middle of the screen they are on, within its
// available area (a laptop screen, a desktop with a panel).
#pragma once

class QSize;
class QWidget;

// Gives a top-level window the size it wants, or the largest that fits the
// available area of its screen, and centres its frame on that area. Call it
// before the window is mapped (from showEvent).
void FitOnScreen(QWidget* window, const QSize& wanted);
// The same for a window that keeps its present size when it fits.
void CentreOnScreen(QWidget* window);
