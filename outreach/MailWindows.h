// Small things the three mail windows share.
#pragma once

class QWidget;

// Places `window` over the middle of the main window (or of its screen).
void CentreOnMainWindow(QWidget* window);
