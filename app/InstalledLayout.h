// Where the host finds the package and the program's data folder. The build
// tree keeps the package beside the host and the data folder in
// build/share/varindel; an installation keeps them in its own folders
// (lib/<triplet>/varindel/, share/varindel/ beside bin/), wherever it was installed.
#pragma once

#include <QString>

// $VARINDEL_PACKAGE, else libvarindel.so beside the host, else the installed one.
QString PackagePath(const QString& hostFolder);

// Names the data folder beside the host in VARINDEL_DATA_DIR for the package,
// unless the variable is already set or there is no such folder (then the
// folder chosen at build time stays).
void UseDataFolderBeside(const QString& hostFolder);
