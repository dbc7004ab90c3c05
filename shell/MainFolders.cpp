#include "MainFolders.h"

#include "Vdlutils.h"

#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsPrivateFolderOfUser(const std::string& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

Result<std::string> SharedTempFolderOfUser() {
    const std::string folder = SlashMust(c_GetTempPath() + "varindel-" + std::to_string(getuid()));
    const std::string bare = folder.substr(0, folder.size() - 1);
    if (mkdir(bare.c_str(), 0700) != 0 && errno != EEXIST)
        return Result<std::string>::failure(
            QString("Не удалось создать временную папку %1.").arg(QString::fromStdString(bare)));
    // Our own folder that lost its mode is taken back; anything else is not ours.
    struct stat info {};
    if (lstat(bare.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid())
        chmod(bare.c_str(), 0700);
    if (!IsPrivateFolderOfUser(bare))
        return Result<std::string>::failure(
            QString("Временная папка %1 принадлежит другому пользователю или открыта для других.")
                .arg(QString::fromStdString(bare)));
    return folder;
}

} // namespace

std::string MakeLocalPath() {
    return SlashMust(c_GetAppDataPath()) + kCompanyFolder;
}

Result<std::string> PerUserTempFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolderOfUser(runtime.toStdString()))
        return SlashMust(runtime.toStdString());
    Result<std::string> shared = SharedTempFolderOfUser();
    if (shared)
        return shared;
    // Someone else holds our name in the shared folder: the user's own cache
    // folder is private too, only slower to clean up.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QDir().mkpath(cache + "/varindel/tmp"))
        return shared;
    return SlashMust((cache + "/varindel/tmp").toStdString());
}

Result<std::string> MakeTempPath() {
    Result<std::string> base = PerUserTempFolder();
    if (!base)
        return base;
    const std::string path = base.value() + kCompanyFolder;
    if (!QDir().mkpath(QString::fromStdString(path)))
        return Result<std::string>::failure(
            QString("Не удалось создать временную папку %1.").arg(QString::fromStdString(path)));
    return path;
}
