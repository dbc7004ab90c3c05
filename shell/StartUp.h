// The package's start-up and shut-down: the data module is created first and
// its creation drives the rest; unloading takes things down in reverse.
#pragma once

#include "Datamodule.h"

// The window steps of the start-up, as the data module runs them: the
// edition dialog, the main window, the splash and the caption.
TStartUpWindows StartUpWindows();

// Creates the data module and runs its creation, then shows the main window
// maximised. True when the main window is up and the host should run the
// event loop; false when the program is to end (no edition chosen, the
// edition would not open, or the splash was closed by the system).
bool LoadPackage();
// Destroys the main window (when there is one), then the data module.
void UnloadPackage();
