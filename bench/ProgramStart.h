// The real program started by a benchmark: it runs with VARINDEL_AUTOSTART=1,
// which presses "Загрузить" and "Продолжить" itself, reports the moment its
// main window has painted the city with the category tree filled on its
// standard error output, and closes.
#pragma once

#include <filesystem>

// The bin folder built next to the benchmark (the program and its tools).
std::filesystem::path BenchBinFolder();

struct ProgramStartRun {
    double seconds = 0;       // from the start to the main window ready
    double peakMegabytes = 0; // the program's peak resident memory over its whole run
    double cpuSeconds = 0;    // the processor time of its whole run, closing included
};

// Starts the program in `folder` (which holds the edition file and a config
// folder for the user's settings) and waits for it to end by itself. Throws
// when it does not report its main window within a minute.
ProgramStartRun StartProgramToMainWindow(const std::filesystem::path& folder);
