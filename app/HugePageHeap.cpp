#include "HugePageHeap.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

constexpr const char* kTunablesVariable = "GLIBC_TUNABLES";
constexpr const char* kHugePageTunable = "glibc.malloc.hugetlb";
constexpr const char* kEnabledFile = "/sys/kernel/mm/transparent_hugepage/enabled";

std::string fileText(const char* path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The running program's own file. Started again through /proc/self/exe, a
// program is listed as "exe" by ps, top and the desktop's system monitor,
// and pkill no longer finds it by its name.
std::string ownFile() {
    std::error_code error;
    const std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("/proc/self/exe") : file.string();
}

} // namespace

std::optional<std::string> TunablesWithHugePageHeap(const char* current) {
    const std::string setting = std::string(kHugePageTunable) + "=1";
    if (!current || !*current)
        return setting;
    if (std::strstr(current, kHugePageTunable))
        return std::nullopt;
    return std::string(current) + ":" + setting;
}

bool HugePagesOnRequest(const std::string& enabledText) {
    return enabledText.find("[madvise]") != std::string::npos;
}

void RestartWithHugePageHeap(char* argv[]) {
    const char* current = std::getenv(kTunablesVariable);
    const std::optional<std::string> tunables = TunablesWithHugePageHeap(current);
    if (!tunables || !HugePagesOnRequest(fileText(kEnabledFile)))
        return;
    const std::optional<std::string> before = current ? std::optional<std::string>(current) : std::nullopt;
    setenv(kTunablesVariable, tunables->c_str(), 1);
    execv(ownFile().c_str(), argv);
    if (before)
        setenv(kTunablesVariable, before->c_str(), 1);
    else
        unsetenv(kTunablesVariable);
}
