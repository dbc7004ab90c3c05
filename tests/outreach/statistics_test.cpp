// The usage record: its ten digits, its five bytes, the minutes of short and
// midnight-crossing runs, appending to the file, and a program folder that
// cannot take the record.
#include "TestEnvironment.h"
#include "UsageStatistics.h"

#include <QFile>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray readAll(const std::string& fileName)
{
    QFile file(QString::fromStdString(fileName));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QDateTime at(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

// The user's data folder moved into the test's own folder.
class DataHome {
public:
    explicit DataHome(const std::string& path) : old_(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(path));
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", old_); }

private:
    QByteArray old_;
};

// While it lives, no file of the process grows beyond `bytes`: a write that
// crosses the limit stops there, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old_), 0);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        EXPECT_NE(oldHandler_, SIG_ERR);
        const rlimit limit{bytes, old_.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0) << "without the limit no write stops at it";
    }
    ~FileSizeLimit()
    {
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &old_), 0);
        EXPECT_NE(std::signal(SIGXFSZ, oldHandler_), SIG_ERR);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

void writeFile(const std::string& fileName, const QByteArray& bytes)
{
    QFile file(QString::fromStdString(fileName));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(Statistics, ExampleRecordOfEightJune2008)
{
    EXPECT_EQ(StatisticDayNumber(QDate(2008, 6, 8)), 39607);
    EXPECT_EQ(StatisticString(39607, 125, 1), "3960701251");
    EXPECT_EQ(StatisticRecord("3960701251"), (TStatisticRecord{0x27, 0x3C, 0x46, 0x0C, 0x33}));
}

TEST(Statistics, DigitsArePaddedOrCutToTheirWidth)
{
    EXPECT_EQ(StatisticString(7, 3, 2), "0000700032");
    EXPECT_EQ(StatisticString(1234567, 12345, 12), "3456723452");
    EXPECT_EQ(StatisticRecord("0000700032"), (TStatisticRecord{0, 0, 70, 0, 32}));
}

TEST(Statistics, MinutesUsed)
{
    EXPECT_EQ(MinutesUsed(600, 600), 1) << "a run under one minute";
    EXPECT_EQ(MinutesUsed(10 * 60 + 15, 12 * 60 + 15), 121);
    EXPECT_EQ(MinutesUsed(23 * 60 + 50, 10), 21) << "23:50 to 00:10 across midnight";
    EXPECT_EQ(MinutesUsed(1439, 0), 2);
    EXPECT_EQ(MinutesUsed(0, 1439), 1440);
}

TEST(Statistics, TwoClosesAppendTenBytes)
{
    TemporaryFolder folder;
    DataHome home(folder.file("home"));
    const std::string file = folder.file("HETreeView.dcp");
    ASSERT_TRUE(SaveStatistic(folder.path() + "/", 8 * 60, 1, at(2008, 6, 8, 10, 4, 59)));
    EXPECT_EQ(readAll(file), QByteArray::fromHex("273c460c33"));
    ASSERT_TRUE(SaveStatistic(folder.path(), 600, 2, at(2008, 6, 9, 10, 0, 30)));
    EXPECT_EQ(readAll(file), QByteArray::fromHex("273c460c33" "273c50000c"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(UserStatisticFilePath()))) << "no fallback when not needed";
}

TEST(Statistics, RunAcrossMidnightIsRecordedOnTheClosingDay)
{
    TemporaryFolder folder;
    ASSERT_TRUE(SaveStatistic(folder.path(), 23 * 60 + 50, 1, at(2008, 6, 9, 0, 10)));
    EXPECT_EQ(readAll(folder.file("HETreeView.dcp")), QByteArray::fromHex("273c50020b"));
}

TEST(Statistics, MissingProgramFolderFallsBackToTheUsersDataFolder)
{
    TemporaryFolder folder;
    DataHome home(folder.file("home"));
    ASSERT_TRUE(SaveStatistic(folder.file("not-installed"), 600, 1, at(2008, 6, 8, 12, 4)));
    EXPECT_EQ(UserStatisticFilePath(), folder.file("home") + "/varindel/HETreeView.dcp");
    EXPECT_EQ(readAll(UserStatisticFilePath()), QByteArray::fromHex("273c460c33"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("not-installed/HETreeView.dcp"))));
}

TEST(Statistics, UnwritableFilesGiveAFailureNamingBoth)
{
    // A folder in the place of a file cannot be opened for writing, not even
    // by the superuser; so neither can a file in the place of a folder.
    TemporaryFolder folder;
    const std::string program = folder.file("program");
    ASSERT_EQ(mkdir(program.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((program + "/HETreeView.dcp").c_str(), 0755), 0);
    const std::string home = folder.file("home");
    ASSERT_EQ(mkdir(home.c_str(), 0755), 0);
    QFile blocker(QString::fromStdString(home + "/varindel"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    DataHome dataHome(home);

    const Status saved = SaveStatistic(program, 600, 1, at(2008, 6, 8, 12, 4));

    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error(), QString("Не удалось записать статистику работы ни в файл «%1», ни в файл «%2».")
                                 .arg(QString::fromStdString(program + "/HETreeView.dcp"),
                                      QString::fromStdString(home + "/varindel/HETreeView.dcp")));
}

TEST(Statistics, UnwritableProgramFileFallsBackToTheUsersFile)
{
    TemporaryFolder folder;
    const std::string program = folder.file("program");
    ASSERT_EQ(mkdir(program.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((program + "/HETreeView.dcp").c_str(), 0755), 0);
    DataHome home(folder.file("home"));
    ASSERT_TRUE(SaveStatistic(program, 600, 1, at(2008, 6, 8, 12, 4)));
    ASSERT_TRUE(SaveStatistic(program, 600, 1, at(2008, 6, 8, 12, 4)));
    EXPECT_EQ(readAll(UserStatisticFilePath()), QByteArray::fromHex("273c460c33273c460c33"));
}

TEST(Statistics, AWriteCutShortLeavesNoPartOfTheRecordBeforeTheFallback)
{
    TemporaryFolder folder;
    DataHome home(folder.file("home"));
    const std::string programFile = folder.file("HETreeView.dcp");
    writeFile(programFile, QByteArray::fromHex("273c460c33"));
    {
        FileSizeLimit limit(7);
        ASSERT_TRUE(SaveStatistic(folder.path(), 600, 1, at(2008, 6, 8, 12, 4)));
    }
    EXPECT_EQ(readAll(programFile), QByteArray::fromHex("273c460c33")) << "the two bytes that fitted are cut back";
    EXPECT_EQ(readAll(UserStatisticFilePath()), QByteArray::fromHex("273c460c33"));

    ASSERT_TRUE(SaveStatistic(folder.path(), 600, 2, at(2008, 6, 9, 10, 0)));
    EXPECT_EQ(readAll(programFile), QByteArray::fromHex("273c460c33" "273c50000c"));
}

TEST(Statistics, APartRecordLeftByAnEarlierRunIsCutBeforeTheNextRecord)
{
    TemporaryFolder folder;
    const std::string programFile = folder.file("HETreeView.dcp");
    writeFile(programFile, QByteArray::fromHex("273c460c33" "273c"));
    ASSERT_TRUE(SaveStatistic(folder.path(), 600, 2, at(2008, 6, 9, 10, 0)));
    EXPECT_EQ(readAll(programFile), QByteArray::fromHex("273c460c33" "273c50000c"));
}
