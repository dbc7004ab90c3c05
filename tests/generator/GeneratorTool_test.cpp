// The generate and objects commands of varindel-edition, run as a publisher
// runs them.
#include "TestEnvironment.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QString tool() { return QStringLiteral(VARINDEL_BIN_DIR "/varindel-edition"); }

struct ToolRun {
    int exitCode = -1;
    QString output;
    QString errors;
};

ToolRun run(const QStringList& arguments)
{
    QProcess process;
    process.start(tool(), arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(GeneratorTool, GeneratesAnEditionWhoseObjectsListCarriesEveryAddress)
{
    if (!QFile::exists(tool()))
        GTEST_SKIP() << "varindel-edition is not built";
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("datakrv.abs"));
    const ToolRun generated = run({"generate", "--edition", "2", path, "--seed", "3", "--scale", "0.05"});
    ASSERT_EQ(generated.exitCode, 0) << generated.errors.toStdString();
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + ".plain")) << "the unsealed database does not stay behind";

    const ToolRun listed = run({"objects", path, "--edition", "2"});
    ASSERT_EQ(listed.exitCode, 0) << listed.errors.toStdString();
    const QStringList lines = listed.output.split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 1000);
    EXPECT_EQ(lines.front(), QStringLiteral("ID\tType\tX\tY\tHasAddress\tStreet\tHouse"));
    int addressed = 0;
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 7) << line.toStdString();
        if (fields[4] != QStringLiteral("1"))
            continue;
        ++addressed;
        EXPECT_EQ(fields[1], QStringLiteral("0"));
        EXPECT_FALSE(fields[5].isEmpty());
        EXPECT_FALSE(fields[6].isEmpty());
    }
    EXPECT_GT(addressed, 100);
}

TEST(GeneratorTool, RefusesAWrongPasswordAndBadOptions)
{
    if (!QFile::exists(tool()))
        GTEST_SKIP() << "varindel-edition is not built";
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("dataomk.abs"));
    EXPECT_NE(run({"generate", "--edition", "3", path}).exitCode, 0);
    EXPECT_NE(run({"generate", "--edition", "1", path, "--scale", "-1"}).exitCode, 0);
    EXPECT_NE(run({"generate", "--edition", "1", path, "--seed", "x"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(run({"generate", "--edition", "1", path, "--scale", "0.03"}).exitCode, 0);
    const ToolRun wrong = run({"objects", path, "--edition", "2"});
    EXPECT_NE(wrong.exitCode, 0);
    EXPECT_FALSE(wrong.errors.isEmpty());
}
