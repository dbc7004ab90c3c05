// The version text the splash and the main window's caption show.
#pragma once

#include <QString>

#include <string>

// The program's folder: the common application data folder + "Varindel TLX Company/".
std::string ProgramDataFolder();

// "Версия: " + the file version of the package. On Linux the installation
// places the package in the program's folder under the name the version is
// read from, "PluginManager.bpl" (a link to libvarindel.so); when that file is
// absent or carries no version, as in a build tree, the version of the
// package file actually loaded is shown, so the text never reads a bare "Версия: ".
QString VersionText();
QString VersionText(const std::string& programFolder);
