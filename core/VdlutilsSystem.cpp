// Facts about the machine for the mail forms, the error report and the
// usage record.
#include "Minireg.h"
#include "Vdlutils.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";

bool ReadMachineText(const std::string& valueName, std::string& text) {
    std::uint32_t type = REG_NONE;
    return RegGetAnyString(HKEY_LOCAL_MACHINE, kCurrentVersion + valueName, text, type) &&
           (type == REG_SZ || type == REG_EXPAND_SZ);
}

std::string ReadSmallFile(const char* fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(qint64{64} * 1024).toStdString();
}

// A value of the os-release file: shell-like, optionally in single or
// double quotes; inside double quotes and bare, a backslash escapes the
// next character.
std::string UnquoteShellValue(const std::string& raw) {
    std::string value;
    char quote = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (quote == 0 && (c == '"' || c == '\'')) {
            quote = c;
        } else if (c == quote) {
            quote = 0;
        } else if (c == '\\' && quote != '\'' && i + 1 < raw.size()) {
            value += raw[++i];
        } else {
            value += c;
        }
    }
    return value;
}

std::string FullNameFromPasswordDatabase() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_gecos)
        return {};
    const std::string gecos = found->pw_gecos;
    return gecos.substr(0, gecos.find(','));
}

bool InGroup(const char* groupName, const std::vector<gid_t>& groups) {
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrnam_r(groupName, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return false;
    for (gid_t id : groups) {
        if (id == found->gr_gid)
            return true;
    }
    return false;
}

std::vector<gid_t> ProcessGroups() {
    std::vector<gid_t> groups;
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        groups.resize(static_cast<std::size_t>(count));
        groups.resize(static_cast<std::size_t>(std::max(0, ::getgroups(count, groups.data()))));
    }
    groups.push_back(::getegid());
    return groups;
}

} // namespace

std::string WinVersionText(TWinVersion version) {
    static const std::array<const char*, 8> texts = {"Unknown",       "Windows  95",    "Windows  98",
                                                     "Windows  ME",   "Windows  NT  3", "Windows  NT  4",
                                                     "Windows  2000", "Windows  XP"};
    const auto index = static_cast<std::size_t>(version);
    return index < texts.size() ? texts[index] : texts[0];
}

// Linux has no Windows version numbers to map.
TWinVersion DetectWinVersion() {
    return wvUnknown;
}

std::string DetectWinVersionStr() {
    std::string name = PrettyNameFromOsRelease(ReadSmallFile("/etc/os-release"));
    if (name.empty())
        name = PrettyNameFromOsRelease(ReadSmallFile("/usr/lib/os-release"));
    return name.empty() ? WinVersionText(DetectWinVersion()) : name;
}

// The last PRETTY_NAME assignment counts, as when the file is sourced by a shell.
std::string PrettyNameFromOsRelease(const std::string& osReleaseText) {
    const std::string key = "PRETTY_NAME=";
    std::string name;
    std::size_t start = 0;
    while (start < osReleaseText.size()) {
        std::size_t end = osReleaseText.find('\n', start);
        if (end == std::string::npos)
            end = osReleaseText.size();
        std::string line = Trim(osReleaseText.substr(start, end - start));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.compare(0, key.size(), key) == 0)
            name = UnquoteShellValue(line.substr(key.size()));
        start = end + 1;
    }
    return name;
}

bool IsAdmin() {
    if (::geteuid() == 0)
        return true;
    const std::vector<gid_t> groups = ProcessGroups();
    return InGroup("sudo", groups) || InGroup("wheel", groups) || InGroup("admin", groups);
}

std::string GetCompName() {
    std::array<char, 257> name{};
    if (::gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return name.data();
}

std::string GetUserName() {
    std::string owner;
    if (ReadMachineText("RegisteredOwner", owner))
        return owner;
    return FullNameFromPasswordDatabase();
}

std::string GetCompanyName() {
    std::string organisation;
    if (ReadMachineText("RegisteredOrganization", organisation))
        return organisation;
    return {};
}

int MinuteOfDay(const QTime& time) {
    return time.isValid() ? time.hour() * 60 + time.minute() : 0;
}

int GetMinCount() {
    return MinuteOfDay(QTime::currentTime());
}
