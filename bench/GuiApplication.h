// Fonts, text layout and widgets need an application; the benchmark's own
// main has none.
#pragma once

// Creates an offscreen QApplication once, unless one exists already. It is a
// widget application so that benchmarks which show widgets and those which
// only draw can share it, in whatever order they run.
void EnsureGuiApplication();
