#include "TestEnvironment.h"
#include "Vdlutils.h"

#include <QDateTime>
#include <QFile>
#include <cmath>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

// Switches the process to another time zone for one test. POSIX rules are
// used so that no time zone database is needed.
class TimeZoneForTest {
public:
    explicit TimeZoneForTest(const char* rule)
        : old_(qgetenv("TZ")), hadOld_(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", rule);
        ::tzset();
    }
    ~TimeZoneForTest() {
        if (hadOld_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
        ::tzset();
    }

private:
    QByteArray old_;
    bool hadOld_;
};

constexpr const char* kBerlinRule = "CET-1CEST,M3.5.0,M10.5.0/3";

void WriteFile(const std::string& fileName, const QByteArray& contents) {
    QFile file(QString::fromStdString(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

QByteArray ReadFile(const std::string& fileName) {
    QFile file(QString::fromStdString(fileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::int64_t ModificationTime(const std::string& fileName) {
    struct stat status {};
    return ::stat(fileName.c_str(), &status) == 0 ? status.st_mtim.tv_sec : -1;
}

TDateTime DateTime(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<double>(QDate(1899, 12, 30).daysTo(QDate(year, month, day))) +
           (hour * 3600 + minute * 60 + second) / 86400.0;
}

} // namespace

TEST(VdlutilsDateTime, ConvertsTheEpochAndDaysBeforeDayZero) {
    TimeZoneForTest utc("UTC0");
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(0), 25569.0);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(43201), 25569.5);
    EXPECT_EQ(DateTimeToFileTime(25569.5), 43200);
    // Before day zero the time of day is the fraction without its sign.
    EXPECT_EQ(DateTimeToFileTime(-1.25), -25570LL * 86400 + 6LL * 3600);
}

TEST(VdlutilsDateTime, FollowsTheLocalTimeZoneAndSummerTime) {
    TimeZoneForTest berlin(kBerlinRule);
    EXPECT_EQ(DateTimeToFileTime(DateTime(2021, 7, 1, 12, 0, 0)),
              QDateTime(QDate(2021, 7, 1), QTime(10, 0), Qt::UTC).toSecsSinceEpoch());
    EXPECT_EQ(DateTimeToFileTime(DateTime(2021, 1, 15, 12, 0, 0)),
              QDateTime(QDate(2021, 1, 15), QTime(11, 0), Qt::UTC).toSecsSinceEpoch());
    EXPECT_DOUBLE_EQ(
        FileTimeToDateTime(QDateTime(QDate(2021, 7, 1), QTime(10, 0), Qt::UTC).toSecsSinceEpoch()),
        DateTime(2021, 7, 1, 12, 0, 0));
}

TEST(VdlutilsFileDate, SetThenGetGivesTheSameEvenSecond) {
    TimeZoneForTest berlin(kBerlinRule);
    TemporaryFolder folder;
    const std::string file = folder.file("price.html");
    WriteFile(file, "contents");

    const TDateTime stamp = DateTime(2019, 8, 3, 14, 25, 36);
    ASSERT_TRUE(SetFileDate(file, stamp));
    EXPECT_NEAR(GetFileDateTime(file), stamp, 1e-9);
    EXPECT_EQ(ModificationTime(file),
              QDateTime(QDate(2019, 8, 3), QTime(12, 25, 36), Qt::UTC).toSecsSinceEpoch());
    EXPECT_EQ(ReadFile(file), "contents");
}

TEST(VdlutilsFileDate, KeepsTwoSecondSteps) {
    TemporaryFolder folder;
    const std::string file = folder.file("a.txt");
    WriteFile(file, "x");
    ASSERT_TRUE(SetFileDate(file, DateTime(2020, 2, 29, 23, 59, 59)));
    EXPECT_NEAR(GetFileDateTime(file), DateTime(2020, 2, 29, 23, 59, 58), 1e-9);
    ASSERT_TRUE(SetFileDate(file, DateTime(2020, 3, 1, 0, 0, 1) + 0.4 / 86400));
    EXPECT_NEAR(GetFileDateTime(file), DateTime(2020, 3, 1, 0, 0, 0), 1e-9);
}

TEST(VdlutilsFileDate, GetGivesZeroForMissingFilesAndFolders) {
    TemporaryFolder folder;
    EXPECT_EQ(GetFileDateTime(folder.file("missing")), 0.0);
    EXPECT_EQ(GetFileDateTime(folder.path()), 0.0);
}

TEST(VdlutilsFileDate, SetFailsForWhatCannotBeOpenedOrIsNoDate) {
    TemporaryFolder folder;
    const std::string file = folder.file("a.txt");
    WriteFile(file, "x");
    const std::int64_t before = ModificationTime(file);
    EXPECT_FALSE(SetFileDate(folder.file("missing"), DateTime(2020, 1, 1, 0, 0, 0)));
    EXPECT_FALSE(Exists(folder.file("missing")));
    EXPECT_FALSE(SetFileDate(folder.path(), DateTime(2020, 1, 1, 0, 0, 0)));
    EXPECT_FALSE(SetFileDate(file, std::nan("")));
    EXPECT_FALSE(SetFileDate(file, 1e12));
    EXPECT_EQ(ModificationTime(file), before);
}

TEST(VdlutilsFileUsed, IsFalseForMissingAndFreeFiles) {
    TemporaryFolder folder;
    const std::string file = folder.file("free.dat");
    EXPECT_FALSE(FileUsed(file));
    WriteFile(file, "x");
    EXPECT_FALSE(FileUsed(file));
    EXPECT_FALSE(FileUsed(file));
    // The check leaves no lock behind.
    const int descriptor = ::open(file.c_str(), O_RDWR);
    EXPECT_EQ(::flock(descriptor, LOCK_EX | LOCK_NB), 0);
    ::close(descriptor);
}

TEST(VdlutilsFileUsed, IsTrueWhileAnotherHandleHoldsALock) {
    TemporaryFolder folder;
    const std::string file = folder.file("busy.dat");
    WriteFile(file, "x");

    const int holder = ::open(file.c_str(), O_RDWR);
    ASSERT_EQ(::flock(holder, LOCK_SH), 0);
    EXPECT_TRUE(FileUsed(file));
    ::flock(holder, LOCK_UN);
    EXPECT_FALSE(FileUsed(file));

    struct flock record {};
    record.l_type = F_RDLCK;
    record.l_whence = SEEK_SET;
    record.l_start = 100;
    record.l_len = 1;
    ASSERT_EQ(::fcntl(holder, F_SETLK, &record), 0);
    EXPECT_TRUE(FileUsed(file));
    ::close(holder);
    EXPECT_FALSE(FileUsed(file));
}

TEST(VdlutilsFileUsed, SeesADatabaseInTheMiddleOfATransaction) {
    TemporaryFolder folder;
    const std::string file = folder.file("edition.db");
    sqlite3* database = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &database), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(database, "CREATE TABLE t(x); BEGIN EXCLUSIVE; INSERT INTO t VALUES(1);", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    EXPECT_TRUE(FileUsed(file));
    ASSERT_EQ(sqlite3_exec(database, "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(database);
    EXPECT_FALSE(FileUsed(file));
}

TEST(VdlutilsMyRemoveDir, RemovesReadOnlyFilesHiddenFilesAndNestedFolders) {
    TemporaryFolder folder;
    const std::string tree = folder.file("tree");
    ASSERT_EQ(::mkdir(tree.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tree + "/nested").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tree + "/nested/deeper").c_str(), 0755), 0);
    WriteFile(tree + "/.hidden", "h");
    WriteFile(tree + "/nested/readonly.txt", "r");
    WriteFile(tree + "/nested/deeper/leaf.txt", "l");
    ::chmod((tree + "/nested/readonly.txt").c_str(), 0444);
    ::chmod((tree + "/nested/deeper").c_str(), 0555);
    ::chmod((tree + "/nested").c_str(), 0500);

    EXPECT_TRUE(MyRemoveDir(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(folder.path()));
}

TEST(VdlutilsMyRemoveDir, RemovesLinksButNotWhatTheyPointTo) {
    TemporaryFolder folder;
    const std::string outside = folder.file("outside");
    const std::string tree = folder.file("tree");
    ASSERT_EQ(::mkdir(outside.c_str(), 0755), 0);
    WriteFile(outside + "/keep.txt", "k");
    ASSERT_EQ(::mkdir(tree.c_str(), 0755), 0);
    ASSERT_EQ(::symlink(outside.c_str(), (tree + "/link").c_str()), 0);
    ASSERT_EQ(::symlink(outside.c_str(), folder.file("top-link").c_str()), 0);

    EXPECT_TRUE(MyRemoveDir(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(MyRemoveDir(folder.file("top-link")));
    EXPECT_FALSE(Exists(folder.file("top-link")));
    EXPECT_EQ(ReadFile(outside + "/keep.txt"), "k");
}

TEST(VdlutilsMyRemoveDir, ReturnsTrueForMissingFoldersAndLeavesPlainFiles) {
    TemporaryFolder folder;
    EXPECT_TRUE(MyRemoveDir(folder.file("missing")));
    EXPECT_TRUE(MyRemoveDir(""));
    WriteFile(folder.file("plain.txt"), "p");
    EXPECT_TRUE(MyRemoveDir(folder.file("plain.txt")));
    EXPECT_TRUE(Exists(folder.file("plain.txt")));
}

// A user without rights on part of the tree removes what he may and still
// gets true. The tree is handed to an unprivileged user in a child process.
TEST(VdlutilsMyRemoveDir, ReturnsTrueWhenSomethingStaysBehind) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run the removal as another user";
    constexpr uid_t kNobody = 65534;
    TemporaryFolder folder;
    const std::string tree = folder.file("tree");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(tree.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((tree + "/kept").c_str(), 0755), 0);
    WriteFile(tree + "/kept/foreign.txt", "f");
    WriteFile(tree + "/own.txt", "o");
    ASSERT_EQ(::chown(tree.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chown((tree + "/own.txt").c_str(), kNobody, kNobody), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool switched = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(switched ? (MyRemoveDir(tree) ? 0 : 1) : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(Exists(tree + "/own.txt"));
    EXPECT_TRUE(Exists(tree + "/kept/foreign.txt"));
}

TEST(VdlutilsExtractRes, WritesTheResourceOverAnExistingFile) {
    TemporaryFolder folder;
    const std::string target = folder.file("extracted.txt");
    WriteFile(target, QByteArray(4096, 'z'));
    EXPECT_TRUE(ExtractRes("VDLTESTRES", target));
    EXPECT_EQ(ReadFile(target),
              ReadFile(std::string(VARINDEL_TEST_DATA_DIR) + "/../core/vdlutils_resource.txt"));
}

TEST(VdlutilsExtractRes, RaisesForAMissingResourceOrAnUnwritableFile) {
    TemporaryFolder folder;
    try {
        ExtractRes("NOSUCHRES", folder.file("x"));
        FAIL() << "no exception";
    } catch (const EResNotFound& error) {
        EXPECT_STREQ(error.what(), "Resource NOSUCHRES not found");
    }
    EXPECT_FALSE(Exists(folder.file("x")));
    EXPECT_THROW(ExtractRes("VDLTESTRES", folder.file("missing-folder/x")), EFCreateError);
    EXPECT_THROW(ExtractRes("VDLTESTRES", folder.path()), EFCreateError);
}

TEST(VdlutilsCreateLink, DesktopEntryNamesProgramArgumentsAndFolder) {
    EXPECT_EQ(DesktopEntryText("/opt/varindel/bin/varindel", "Вариндел", "--edition 2", "/opt/varindel"),
              "[Desktop Entry]\nType=Application\nName=Вариндел\n"
              "Exec=\"/opt/varindel/bin/varindel\" --edition 2\nPath=/opt/varindel\n");
    EXPECT_EQ(DesktopEntryText("/usr/bin/tool", "", "", ""),
              "[Desktop Entry]\nType=Application\nName=tool\nExec=\"/usr/bin/tool\"\n");
}

TEST(VdlutilsCreateLink, DesktopEntryEscapesWhatTheLauncherWouldReadOtherwise) {
    const std::string text = DesktopEntryText("/opt/my \"dir\"/a\\b$c", "Two\nlines", "100%", "/tmp/x\ty");
    EXPECT_NE(text.find("Name=Two\\nlines\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Exec=\"/opt/my \\\\\"dir\\\\\"/a\\\\\\\\b\\\\$c\" 100%%\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Path=/tmp/x\\ty\n"), std::string::npos) << text;
}

TEST(VdlutilsCreateLink, WritesAnExecutableLauncherAndRaisesWhenItCannot) {
    TemporaryFolder folder;
    const std::string link = folder.file("varindel.desktop");
    CreateLink("/usr/bin/varindel", link, "Справочник", "", "/home");
    EXPECT_EQ(ReadFile(link).toStdString(), DesktopEntryText("/usr/bin/varindel", "Справочник", "", "/home"));
    EXPECT_TRUE(QFile::permissions(QString::fromStdString(link)) & QFile::ExeOwner);
    EXPECT_THROW(CreateLink("/usr/bin/varindel", folder.file("missing/x.desktop"), "", "", ""),
                 EFCreateError);
}
