// The start-up benchmark's switch: with VARINDEL_AUTOSTART=1 in the
// environment the program presses "Загрузить" and "Продолжить" itself, writes
// "varindel: main window ready" to the standard error output once the main
// window has painted the map with the category tree filled, closes itself and
// presses "Спасибо" on the closing screen. VARINDEL_AUTOSTART=stay does the
// same but leaves the main window open (for screenshots). Not meant for users.
#pragma once

inline constexpr const char* kAutoStartEnv = "VARINDEL_AUTOSTART";
inline constexpr const char* kAutoStartReadyLine = "varindel: main window ready";

bool AutoStartRequested();
// Starts watching for the windows to press; call before the start-up.
void StartAutoStart();
