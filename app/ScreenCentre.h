// Windows that open in the middle of the screen they are on.
#pragma once

class QWidget;

// Moves a top-level window so that its frame is centred on the available area
// of its screen. Call it before the window is mapped (from showEvent).
void CentreOnScreen(QWidget* window);
