// Fonts and text layout need a GUI application; the benchmark's own main has none.
#pragma once

// Creates an offscreen QGuiApplication once, unless one exists already.
void EnsureGuiApplication();
