// The look of every window of the program: the Fusion style with a palette
// of our own, so that the program looks the same on every Linux desktop.
#pragma once

#include <QPalette>

// The program's palette: warm light surfaces, white fields, deep blue selection.
QPalette VarindelPalette();
// Sets the style and palette for the whole application; call before any window is made.
void ApplyApplicationStyle();
