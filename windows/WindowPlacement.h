// The side windows are created without an owner (the splash makes them in a
// fixed order), yet each opens centred on the window the user works in.
#pragma once

class QWidget;

// Centres `window` on the application's active window (the main window when
// a menu command opens it); without one, on the screen.
void CentreOnActiveWindow(QWidget* window);
