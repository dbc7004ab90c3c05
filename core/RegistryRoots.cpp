#include "RegistryRoots.h"

#include <QString>
#include <QSysInfo>
#include <cstdlib>
#include <map>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace {

const char* const kUserStoreRelative = "varindel/registry.sqlite";
const char* const kMachineStoreDefault = "/etc/varindel/registry.sqlite";

// Connection handles live in a range of their own, far from the predefined
// roots, and are never reused, so that a closed handle stays invalid.
constexpr HKEY kFirstConnectionHandle = 0x100;
constexpr HKEY kConnectionHandleStep = 4;

struct ConnectionTable {
    std::mutex mutex;
    std::map<HKEY, HKEY> rootOfHandle;
    HKEY nextHandle = kFirstConnectionHandle;
};

ConnectionTable& Connections() {
    static ConnectionTable table;
    return table;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty())
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

std::optional<std::string> UserConfigFolder() {
    // Relative values of XDG_CONFIG_HOME are invalid and must be ignored.
    const std::string configured = Environment("XDG_CONFIG_HOME");
    if (!configured.empty() && configured.front() == '/')
        return configured;
    const std::string home = HomeFolder();
    if (home.empty())
        return std::nullopt;
    return home + "/.config";
}

std::optional<RegistryStoreLocation> UserStore() {
    const std::string overridden = Environment(kUserRegistryEnv);
    if (!overridden.empty())
        return RegistryStoreLocation{overridden, true};
    const auto folder = UserConfigFolder();
    if (!folder)
        return std::nullopt;
    return RegistryStoreLocation{*folder + "/" + kUserStoreRelative, true};
}

RegistryStoreLocation MachineStore() {
    const std::string overridden = Environment(kMachineRegistryEnv);
    return RegistryStoreLocation{overridden.empty() ? std::string(kMachineStoreDefault) : overridden, false};
}

std::optional<HKEY> ConnectedRoot(HKEY handle) {
    ConnectionTable& table = Connections();
    const std::lock_guard lock(table.mutex);
    const auto found = table.rootOfHandle.find(handle);
    if (found == table.rootOfHandle.end())
        return std::nullopt;
    return found->second;
}

} // namespace

std::optional<RegistryStoreLocation> LocateRegistryStore(HKEY root) {
    if (root == HKEY_CURRENT_USER)
        return UserStore();
    if (root == HKEY_LOCAL_MACHINE)
        return MachineStore();
    if (const auto connected = ConnectedRoot(root))
        return LocateRegistryStore(*connected);
    return std::nullopt;
}

bool IsLocalMachineName(const std::string& machineName) {
    QString name = QString::fromStdString(machineName);
    if (name.startsWith(QLatin1String("\\\\")))
        name = name.mid(2);
    return name.isEmpty() || name.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

std::optional<HKEY> OpenRegistryConnection(HKEY predefinedRoot) {
    if (predefinedRoot != HKEY_CURRENT_USER && predefinedRoot != HKEY_LOCAL_MACHINE)
        return std::nullopt;
    ConnectionTable& table = Connections();
    const std::lock_guard lock(table.mutex);
    const HKEY handle = table.nextHandle;
    table.nextHandle += kConnectionHandleStep;
    table.rootOfHandle.emplace(handle, predefinedRoot);
    return handle;
}

bool CloseRegistryConnection(HKEY handle) {
    ConnectionTable& table = Connections();
    const std::lock_guard lock(table.mutex);
    return table.rootOfHandle.erase(handle) > 0;
}
