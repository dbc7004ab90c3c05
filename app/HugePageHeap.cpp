#include "HugePageHeap.h"

#include <cstdlib>
#include <cstring>
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
    execv("/proc/self/exe", argv);
    if (before)
        setenv(kTunablesVariable, before->c_str(), 1);
    else
        unsetenv(kTunablesVariable);
}
