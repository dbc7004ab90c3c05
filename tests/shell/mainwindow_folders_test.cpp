// The per-user temporary folder: private to the user, never one someone
// else prepared in a shared folder.
#include "MainFolders.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), wasSet_(qEnvironmentVariableIsSet(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv() {
        if (wasSet_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    QByteArray old_;
    bool wasSet_;
};

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 0777;
}

class TempFolders : public ::testing::Test {
protected:
    std::string sharedFolder() const { return folder.file("tmp") + "/varindel-" + std::to_string(getuid()); }

    TemporaryFolder folder;
    bool made = QDir().mkpath(QString::fromStdString(folder.file("tmp"))) &&
                QDir().mkpath(QString::fromStdString(folder.file("cache")));
    ScopedEnv tmp{"TMPDIR", QByteArray::fromStdString(folder.file("tmp"))};
    ScopedEnv runtime{"XDG_RUNTIME_DIR", QByteArray()};
    ScopedEnv cache{"XDG_CACHE_HOME", QByteArray::fromStdString(folder.file("cache"))};
};

} // namespace

TEST_F(TempFolders, WithoutARuntimeFolderTheSharedFolderGetsAPrivateOne) {
    const Result<std::string> temp = MakeTempPath();
    ASSERT_TRUE(temp.ok()) << temp.error().toStdString();
    EXPECT_EQ(temp.value(), sharedFolder() + "/Varindel TLX Company/");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(temp.value())).isDir());
    EXPECT_EQ(ModeOf(sharedFolder()), 0700u);
}

TEST_F(TempFolders, OurOwnFolderThatLostItsModeIsClosedAgain) {
    ASSERT_EQ(mkdir(sharedFolder().c_str(), 0755), 0);
    chmod(sharedFolder().c_str(), 0755);
    ASSERT_TRUE(MakeTempPath().ok());
    EXPECT_EQ(ModeOf(sharedFolder()), 0700u);
}

TEST_F(TempFolders, ALinkPlantedUnderOurNameIsNotFollowed) {
    const std::string elsewhere = folder.file("elsewhere");
    QDir().mkpath(QString::fromStdString(elsewhere));
    ASSERT_EQ(symlink(elsewhere.c_str(), sharedFolder().c_str()), 0);
    const Result<std::string> temp = MakeTempPath();
    ASSERT_TRUE(temp.ok());
    EXPECT_EQ(temp.value(), folder.file("cache") + "/varindel/tmp/Varindel TLX Company/");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(elsewhere + "/Varindel TLX Company")));
}

TEST_F(TempFolders, APrivateRuntimeFolderIsPreferred) {
    const std::string runtimeFolder = folder.file("run");
    ASSERT_EQ(mkdir(runtimeFolder.c_str(), 0700), 0);
    ScopedEnv set("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtimeFolder));
    const Result<std::string> temp = MakeTempPath();
    ASSERT_TRUE(temp.ok());
    EXPECT_EQ(temp.value(), runtimeFolder + "/Varindel TLX Company/");
}

TEST_F(TempFolders, ARuntimeFolderOpenToOthersIsPassedOver) {
    const std::string runtimeFolder = folder.file("run");
    ASSERT_EQ(mkdir(runtimeFolder.c_str(), 0777), 0);
    chmod(runtimeFolder.c_str(), 0777);
    ScopedEnv set("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtimeFolder));
    const Result<std::string> temp = MakeTempPath();
    ASSERT_TRUE(temp.ok());
    EXPECT_EQ(temp.value(), sharedFolder() + "/Varindel TLX Company/");
}
