// Sealed edition files read through the edition VFS the way the program reads them.
#include "DataErrors.h"
#include "Database.h"
#include "EditionSeal.h"
#include "Query.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeAll(const std::string& path, const QByteArray& bytes)
{
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

class EditionFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        edition.addFolder(1, 0, "Аптеки");
        for (int id = 10; id < 60; ++id)
            edition.addFirm({.id = id, .name = QString("Фирма %1").arg(id), .note = QString(300, QChar('x'))});
        // One value larger than a page, so that a read spans several blocks.
        edition.addContent(2, QByteArray(20000, 'm'));
        edition.sealAs(sealed(), 1);
    }

    std::string sealed() const { return folder.file("dataomk.abs"); }

    Status open(const std::string& path, int edition = 1)
    {
        con.DatabaseFileName = QString::fromStdString(path);
        con.Password = MapPw[edition];
        return con.Open();
    }

    TemporaryFolder folder;
    TDatabase con;
};

} // namespace

TEST_F(EditionFile, OpensWithItsPasswordAndReadsEverything)
{
    ASSERT_TRUE(open(sealed())) << open(sealed()).error().toStdString();
    TQuery firms(con, "qFirms", "SELECT count(*) AS Cnt, sum(length(Note)) AS Notes FROM FIRMS WHERE TypeID = 2");
    firms.Open();
    EXPECT_EQ(firms.FieldByName("Cnt").AsInteger(), 50);
    EXPECT_EQ(firms.FieldByName("Notes").AsInteger(), 50 * 300);
    TQuery content(con, "qContent", "select * from Content");
    content.Open();
    EXPECT_EQ(content.FieldByName("Data").AsBlob(), QByteArray(20000, 'm'));
}

TEST_F(EditionFile, LeavesNoJournalOrLockFilesAndRefusesWrites)
{
    const QByteArray before = readAll(sealed());
    ASSERT_TRUE(open(sealed()));
    TQuery write(con, "qTemp", "CREATE TABLE Extra (A INTEGER)");
    EXPECT_THROW(write.Open(), EDatabaseError);
    TQuery insert(con, "qTemp", "INSERT INTO Content (TypeID) VALUES (99)");
    EXPECT_THROW(insert.Open(), EDatabaseError);
    TQuery read(con, "qTemp", "SELECT Name FROM FIRMS ORDER BY Note, Name DESC");
    read.Open();
    EXPECT_FALSE(read.Eof());
    con.Close();
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files),
              QStringList({"dataomk.abs", "plain.sqlite"}));
    EXPECT_EQ(readAll(sealed()), before);
}

TEST_F(EditionFile, WrongPasswordIsAClearErrorNamingTheFile)
{
    const Status opened = open(sealed(), 2);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().toStdString(),
              "Файл издания «" + sealed() + "» повреждён или пароль не подходит.");
    EXPECT_FALSE(con.Connected());
}

TEST_F(EditionFile, TruncatedFilesAreNamedAsSuch)
{
    const QByteArray whole = readAll(sealed());
    for (const qsizetype length : {qsizetype(10), qsizetype(63), whole.size() - 1, whole.size() - 4112}) {
        writeAll(folder.file("cut.abs"), whole.left(length));
        const Status opened = open(folder.file("cut.abs"));
        ASSERT_FALSE(opened) << length;
        EXPECT_TRUE(opened.error().contains("обрезан")) << length << ": " << opened.error().toStdString();
    }
}

TEST_F(EditionFile, ForeignFilesAreNotEditions)
{
    for (const std::string& name : {std::string("plain.sqlite"), std::string("notes.txt"), std::string("empty")}) {
        if (name == "notes.txt")
            writeAll(folder.file(name), "Просто текст, а не издание.");
        if (name == "empty")
            writeAll(folder.file(name), "");
        const Status opened = open(folder.file(name));
        ASSERT_FALSE(opened) << name;
        EXPECT_EQ(opened.error().toStdString(), "Файл «" + folder.file(name) + "» не является файлом издания Вариндел.");
    }
    const Status missing = open(folder.file("nothing.abs"));
    EXPECT_EQ(missing.error().toStdString(), "Файл издания «" + folder.file("nothing.abs") + "» не найден.");
}

TEST_F(EditionFile, AnyAlteredByteOfHeaderOrFirstBlockStopsTheOpening)
{
    const QByteArray whole = readAll(sealed());
    const std::string altered = folder.file("altered.abs");
    for (qsizetype at = 0; at < 64 + 4096 + 16; at += 41) {
        QByteArray bytes = whole;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x04);
        writeAll(altered, bytes);
        const Status opened = open(altered);
        ASSERT_FALSE(opened) << "byte " << at;
        EXPECT_TRUE(opened.error().contains(QString::fromStdString(altered))) << opened.error().toStdString();
    }
}

TEST_F(EditionFile, AnAlteredBlockFailsTheOpeningAndIsNamed)
{
    QByteArray bytes = readAll(sealed());
    const qsizetype lastBlock = (bytes.size() - 64) / (4096 + 16) - 1;
    const qsizetype at = 64 + lastBlock * (4096 + 16) + 100;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x80);
    writeAll(folder.file("altered.abs"), bytes);
    // The large content item went in last: its overflow pages end the file,
    // and no statement has asked for them yet when the opening refuses.
    const Status opened = open(folder.file("altered.abs"));
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().toStdString(), "Файл издания «" + folder.file("altered.abs") + "» повреждён: блок " +
                                                std::to_string(lastBlock) + " не прошёл проверку.");
    EXPECT_FALSE(con.Connected());
}

TEST_F(EditionFile, EveryAlteredByteIsFoundByTheFullCheck)
{
    const QByteArray whole = readAll(sealed());
    const std::string altered = folder.file("altered.abs");
    ASSERT_TRUE(VerifyEditionBlocks(QString::fromStdString(sealed()), MapPw[1]));
    for (qsizetype at = 0; at < whole.size(); at += 331) {
        QByteArray bytes = whole;
        bytes[at] = static_cast<char>(bytes[at] ^ 0x10);
        writeAll(altered, bytes);
        EXPECT_FALSE(VerifyEditionBlocks(QString::fromStdString(altered), MapPw[1])) << "byte " << at;
    }
}

TEST_F(EditionFile, UnsealGivesBackThePlainDatabase)
{
    ASSERT_TRUE(UnsealEditionFile(QString::fromStdString(sealed()), QString::fromStdString(folder.file("back.sqlite")),
                                  MapPw[1]));
    EXPECT_EQ(readAll(folder.file("back.sqlite")), readAll(folder.file("plain.sqlite")));
    EXPECT_FALSE(UnsealEditionFile(QString::fromStdString(sealed()), QString::fromStdString(folder.file("x.sqlite")),
                                   MapPw[2]));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("x.sqlite"))));
}

TEST_F(EditionFile, SealingRefusesWhatIsNoSoundDatabase)
{
    writeAll(folder.file("notes.txt"), QByteArray(8192, 'n'));
    const Status sealed = SealEditionFile(QString::fromStdString(folder.file("notes.txt")),
                                          QString::fromStdString(folder.file("notes.abs")), MapPw[1]);
    ASSERT_FALSE(sealed);
    EXPECT_TRUE(sealed.error().contains("нельзя запечатать")) << sealed.error().toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("notes.abs"))));
}
