#include "Minireg.h"
#include "TestEnvironment.h"
#include "Vdlutils.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
const std::string kShellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";

std::string FullNameOfThisUser() {
    const passwd* entry = ::getpwuid(::getuid());
    const std::string gecos = entry && entry->pw_gecos ? entry->pw_gecos : "";
    return gecos.substr(0, gecos.find(','));
}

} // namespace

TEST(VdlutilsWinVersion, TextsHaveTwoBlanksBetweenWords) {
    EXPECT_EQ(WinVersionText(wvUnknown), "Unknown");
    EXPECT_EQ(WinVersionText(wv95), "Windows  95");
    EXPECT_EQ(WinVersionText(wvME), "Windows  ME");
    EXPECT_EQ(WinVersionText(wvNT3), "Windows  NT  3");
    EXPECT_EQ(WinVersionText(wvNT4), "Windows  NT  4");
    EXPECT_EQ(WinVersionText(wvW2K), "Windows  2000");
    EXPECT_EQ(WinVersionText(wvXP), "Windows  XP");
    EXPECT_EQ(WinVersionText(static_cast<TWinVersion>(42)), "Unknown");
}

TEST(VdlutilsWinVersion, LinuxReportsUnknownAndNamesTheDistribution) {
    EXPECT_EQ(DetectWinVersion(), wvUnknown);
    QFile osRelease("/etc/os-release");
    if (!osRelease.open(QIODevice::ReadOnly))
        osRelease.setFileName("/usr/lib/os-release");
    const std::string expected = osRelease.isOpen() || osRelease.open(QIODevice::ReadOnly)
                                     ? PrettyNameFromOsRelease(osRelease.readAll().toStdString())
                                     : std::string();
    EXPECT_EQ(DetectWinVersionStr(), expected.empty() ? "Unknown" : expected);
}

TEST(VdlutilsOsRelease, ReadsThePrettyNameInEveryQuoting) {
    EXPECT_EQ(PrettyNameFromOsRelease(
                  "NAME=\"Debian\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n"),
              "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(PrettyNameFromOsRelease("PRETTY_NAME='Alt \"Linux\"'"), "Alt \"Linux\"");
    EXPECT_EQ(PrettyNameFromOsRelease("PRETTY_NAME=Plain\\ Linux\r\n"), "Plain Linux");
    EXPECT_EQ(PrettyNameFromOsRelease("PRETTY_NAME=\"Say \\\"hi\\\" \\$5\""), "Say \"hi\" $5");
}

TEST(VdlutilsOsRelease, IgnoresCommentsAndSimilarKeysAndTakesTheLastAssignment) {
    EXPECT_EQ(PrettyNameFromOsRelease("# PRETTY_NAME=\"Commented\"\nPRETTY_NAME_OLD=\"Old\"\n"), "");
    EXPECT_EQ(PrettyNameFromOsRelease("PRETTY_NAME=\"First\"\nPRETTY_NAME=\"Second\"\n"), "Second");
    EXPECT_EQ(PrettyNameFromOsRelease(""), "");
}

TEST(VdlutilsMinutes, CountFromMidnight) {
    EXPECT_EQ(MinuteOfDay(QTime(0, 0)), 0);
    EXPECT_EQ(MinuteOfDay(QTime(0, 0, 59)), 0);
    EXPECT_EQ(MinuteOfDay(QTime(12, 30)), 750);
    EXPECT_EQ(MinuteOfDay(QTime(23, 59, 59, 999)), 1439);
    EXPECT_EQ(MinuteOfDay(QTime()), 0);

    const int before = MinuteOfDay(QTime::currentTime());
    const int now = GetMinCount();
    const int after = MinuteOfDay(QTime::currentTime());
    EXPECT_TRUE((now >= before && now <= after) || after < before) << before << " " << now << " " << after;
}

TEST(VdlutilsMachine, ComputerNameIsTheHostName) {
    EXPECT_FALSE(GetCompName().empty());
    EXPECT_EQ(GetCompName(), QSysInfo::machineHostName().toStdString());
}

TEST(VdlutilsMachine, AdministratorsAreRootOrMembersOfTheAdminGroups) {
    bool expected = ::geteuid() == 0;
    gid_t groups[256];
    const int count = ::getgroups(256, groups);
    for (int i = 0; i < count; ++i) {
        const group* entry = ::getgrgid(groups[i]);
        const std::string name = entry ? entry->gr_name : "";
        expected = expected || name == "sudo" || name == "wheel" || name == "admin";
    }
    EXPECT_EQ(IsAdmin(), expected);
}

TEST(VdlutilsMachine, OwnerAndOrganisationComeFromTheMachineStoreFirst) {
    IsolatedRegistry registry;
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kCurrentVersion + "RegisteredOwner", "Иван Петров"));
    ASSERT_TRUE(RegSetExpandString(HKEY_LOCAL_MACHINE, kCurrentVersion + "RegisteredOrganization", "ТЛХ"));
    EXPECT_EQ(GetUserName(), "Иван Петров");
    EXPECT_EQ(GetCompanyName(), "ТЛХ");

    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kCurrentVersion + "RegisteredOwner", ""));
    EXPECT_EQ(GetUserName(), "");
}

TEST(VdlutilsMachine, WithoutStoreValuesTheOwnerIsTheUsersFullName) {
    IsolatedRegistry registry;
    EXPECT_EQ(GetUserName(), FullNameOfThisUser());
    EXPECT_EQ(GetCompanyName(), "");

    ASSERT_TRUE(RegSetDWORD(HKEY_LOCAL_MACHINE, kCurrentVersion + "RegisteredOwner", 5));
    ASSERT_TRUE(RegSetMultiString(HKEY_LOCAL_MACHINE, kCurrentVersion + "RegisteredOrganization", "a"));
    EXPECT_EQ(GetUserName(), FullNameOfThisUser());
    EXPECT_EQ(GetCompanyName(), "");
}

TEST(VdlutilsFolders, MachineStoreValuesMoveTheFolders) {
    IsolatedRegistry registry;
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kShellFolders + "Common AppData", "/srv/common"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kShellFolders + "Common Desktop", "/srv/desktop"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kShellFolders + "Common Programs", "/srv/menu"));
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE,
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir", "/srv/opt"));
    EXPECT_EQ(c_GetAppDataPath(), "/srv/common");
    EXPECT_EQ(c_GetDesktopPath(), "/srv/desktop");
    EXPECT_EQ(c_GetProgramsPath(), "/srv/menu");
    EXPECT_EQ(c_GetProgramFilesDir(), "/srv/opt");
}

TEST(VdlutilsFolders, WithoutStoreValuesTheLinuxFoldersAreUsed) {
    IsolatedRegistry registry;
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kShellFolders + "Common AppData", ""));
    const std::string installed = c_GetAppDataPath();
    EXPECT_FALSE(installed.empty());
    EXPECT_TRUE(QDir::isAbsolutePath(QString::fromStdString(installed))) << installed;
    EXPECT_FALSE(c_GetDesktopPath().empty());
    EXPECT_EQ(c_GetProgramsPath(), "/usr/share/applications");
    EXPECT_EQ(c_GetProgramFilesDir(), "/opt");
    EXPECT_EQ(c_GetSystem32Dir(), "/usr/lib/");
}

TEST(VdlutilsFolders, TemporaryFolderFollowsTmpdirAndEndsInASlash) {
    TemporaryFolder folder;
    const QByteArray old = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(folder.path()));
    const std::string temporary = c_GetTempPath();
    qputenv("TMPDIR", old);
    if (old.isEmpty())
        qunsetenv("TMPDIR");
    EXPECT_EQ(temporary, folder.path() + "/");
}
