// varindel-edition run as a publisher runs it.
#include "TestEnvironment.h"
#include "TinyEdition.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status;
    QString out;
    QString err;
};

ToolRun tool(const QStringList& arguments)
{
    QProcess process;
    process.start(QString(VARINDEL_BIN_DIR) + "/varindel-edition", arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

class EditionTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(plain);
        edition.addFirm({.id = 10, .name = "Аптека\tна углу", .image = QByteArray(1234, 'i')});
        edition.addText(9, "5000");
    }

    QString path(const char* name) const { return QString::fromStdString(folder.file(name)); }

    TemporaryFolder folder;
    std::string plain = folder.file("plain.sqlite");
};

} // namespace

TEST_F(EditionTool, SealCheckSqlAndUnsealRoundTrip)
{
    ASSERT_EQ(tool({"seal", path("plain.sqlite"), path("e.abs"), "--edition", "2"}).status, 0);
    const ToolRun check = tool({"check", path("e.abs"), "--edition", "2"});
    EXPECT_EQ(check.status, 0) << check.err.toStdString();
    EXPECT_EQ(check.out, "ok\n");

    const ToolRun sql = tool({"sql", path("e.abs"), "--edition", "2", "SELECT ID, Name, Image, Web FROM FIRMS"});
    EXPECT_EQ(sql.status, 0) << sql.err.toStdString();
    EXPECT_EQ(sql.out, "ID\tName\tImage\tWeb\n10\tАптека\\tна углу\t1234\t\n");

    ASSERT_EQ(tool({"unseal", path("e.abs"), path("back.sqlite"), "--edition", "2"}).status, 0);
    QFile original(path("plain.sqlite")), back(path("back.sqlite"));
    original.open(QIODevice::ReadOnly);
    back.open(QIODevice::ReadOnly);
    EXPECT_EQ(back.readAll(), original.readAll());
}

TEST_F(EditionTool, FailuresGoToStandardErrorWithANonZeroStatus)
{
    ASSERT_EQ(tool({"seal", path("plain.sqlite"), path("e.abs"), "--edition", "1"}).status, 0);
    const ToolRun wrong = tool({"check", path("e.abs"), "--edition", "2"});
    EXPECT_NE(wrong.status, 0);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.contains("пароль не подходит")) << wrong.err.toStdString();

    QFile::resize(path("e.abs"), 100);
    EXPECT_TRUE(tool({"check", path("e.abs"), "--edition", "1"}).err.contains("обрезан"));
    EXPECT_NE(tool({"sql", path("e.abs"), "--edition", "1", "SELECT 1"}).status, 0);
    EXPECT_NE(tool({"check", path("plain.sqlite"), "--edition", "3"}).status, 0);
    EXPECT_NE(tool({"seal", path("plain.sqlite")}).status, 0);
    EXPECT_NE(tool({"frobnicate"}).status, 0);
    EXPECT_NE(tool({}).status, 0);
}
