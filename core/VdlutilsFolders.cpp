// System folders. An installation may set the machine-wide folders in the
// machine registry store under their Windows names; without such a value
// the nearest Linux folder is used:
//   Common Desktop   -> the user's desktop (XDG_DESKTOP_DIR, normally ~/Desktop);
//                       Linux desktops have no all-users desktop folder
//   Common AppData   -> the program's installed data folder (VARINDEL_DATA_DIR:
//                       the environment variable of that name, else the folder
//                       chosen at build time), so a build tree can run as installed
//   Common Programs  -> /usr/share/applications, where menu launchers for every user live
//   ProgramFilesDir  -> /opt, the folder for add-on application packages
//   temporary folder -> $TMPDIR or /tmp, with "/" appended
//   system directory -> /usr/lib/, the system's libraries
#include "Minireg.h"
#include "Vdlutils.h"

#include <QDir>
#include <QStandardPaths>

namespace {

const std::string kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";

std::string MachineFolder(const std::string& valuePath, const std::string& fallback) {
    std::string path;
    if (RegGetString(HKEY_LOCAL_MACHINE, valuePath, path) && !path.empty())
        return path;
    return fallback;
}

} // namespace

std::string c_GetDesktopPath() {
    return MachineFolder(kShellFolders + "Common Desktop",
                         QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString());
}

std::string c_GetAppDataPath() {
    const QByteArray overridden = qgetenv("VARINDEL_DATA_DIR");
    return MachineFolder(kShellFolders + "Common AppData",
                         overridden.isEmpty() ? VARINDEL_DATA_DIR : overridden.toStdString());
}

std::string c_GetProgramsPath() {
    return MachineFolder(kShellFolders + "Common Programs", "/usr/share/applications");
}

std::string c_GetProgramFilesDir() {
    return MachineFolder("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir", "/opt");
}

std::string c_GetTempPath() {
    return SlashMust(QDir::tempPath().toStdString());
}

std::string c_GetSystem32Dir() {
    return "/usr/lib/";
}
