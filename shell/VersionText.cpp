#include "VersionText.h"

#include "Vdlutils.h"

#include <dlfcn.h>

namespace {

std::string loadedPackageFile()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&loadedPackageFile), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

} // namespace

std::string ProgramDataFolder()
{
    return SlashMust(c_GetAppDataPath()) + "Varindel TLX Company/";
}

QString VersionText(const std::string& programFolder)
{
    std::string version = GetFileVersion(SlashMust(programFolder) + "PluginManager.bpl");
    if (version.empty())
        version = GetFileVersion(loadedPackageFile());
    return "Версия: " + QString::fromStdString(version);
}

QString VersionText()
{
    return VersionText(ProgramDataFolder());
}
