// The package's two entry points, resolved by name by the host executable.
#pragma once

extern "C" {
// Runs the start-up on the GUI thread. True when a window is up and the
// host should run the event loop; false when the program is to end at once.
__attribute__((visibility("default"))) bool VarindelPackageLoad();
// Runs the shut-down after the event loop has returned (or was never run).
__attribute__((visibility("default"))) void VarindelPackageUnload();
}

inline constexpr const char* kPackageLoadSymbol = "VarindelPackageLoad";
inline constexpr const char* kPackageUnloadSymbol = "VarindelPackageUnload";
