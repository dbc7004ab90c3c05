// varindel-edition run as a publisher runs it.
#include "TestEnvironment.h"
#include "TinyEdition.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status;
    QString out;
    QString err;
};

ToolRun tool(const QStringList& arguments,
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
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

TEST_F(EditionTool, HelpAndVersionAnswerOnStandardOutput)
{
    for (const char* help : {"--help", "-h"}) {
        const ToolRun run = tool({help});
        EXPECT_EQ(run.status, 0) << help;
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith("Использование:\n")) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("\n  varindel-edition generate --edition N OUT.abs")) << run.out.toStdString();
        EXPECT_TRUE(run.out.contains("\n  varindel-edition --version\n")) << run.out.toStdString();
    }
    const ToolRun version = tool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.err.isEmpty()) << version.err.toStdString();
    EXPECT_TRUE(QRegularExpression("^varindel-edition \\d+\\.\\d+\\.\\d+\n$").match(version.out).hasMatch())
        << version.out.toStdString();

    const ToolRun wrong = tool({"--helpme"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.startsWith("Неизвестная команда «--helpme».\nИспользование:")) << wrong.err.toStdString();
}

TEST_F(EditionTool, WithoutADesktopSessionOnlyTheToolSpeaks)
{
    QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
    bare.remove("XDG_RUNTIME_DIR");
    bare.remove("QT_QPA_PLATFORM");

    ASSERT_EQ(tool({"seal", path("plain.sqlite"), path("e.abs"), "--edition", "1"}, bare).status, 0);
    const ToolRun check = tool({"check", path("e.abs"), "--edition", "1"}, bare);
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "ok\n");
    EXPECT_TRUE(check.err.isEmpty()) << check.err.toStdString();

    const ToolRun missing = tool({"check", path("missing.abs"), "--edition", "1"}, bare);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, QString("Файл издания «%1» не найден.\n").arg(path("missing.abs")));
}
