// The data module on a tiny edition in the current folder: its queries, the
// content readers and the order of the start-up it drives.
#include "DataErrors.h"
#include "Datamodule.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <gtest/gtest.h>

namespace {

QStringList column(TQuery& query, const QString& field)
{
    QStringList values;
    for (query.Open(), query.First(); !query.Eof(); query.Next())
        values << query.FieldByName(field).AsString();
    query.Close();
    return values;
}

void buildDirectory(TinyEdition& edition)
{
    edition.addFolder(1, 0, "Медицина");
    edition.addFolder(2, 1, "Аптеки");
    edition.addFolder(3, 1, "Больницы");
    edition.addFirm({.id = 10, .name = "Б-аптека", .place = 5, .showAlways = true});
    edition.addFirm({.id = 11, .name = "А-аптека", .place = 5, .showAlways = true});
    edition.addFirm({.id = 12, .name = "Я-аптека", .place = 1});
    edition.linkFirm(10, 2);
    edition.linkFirm(11, 2);
    edition.linkFirm(12, 2);
    edition.linkFirm(12, 3);
    edition.addAddress({.id = 1, .objectId = 700, .firmId = 12});
    edition.addAddress({.id = 2, .objectId = 700, .firmId = 10});
    edition.addPostIndex(1, "644001");
    edition.addPostIndex(2, "644099");
    edition.addPostIndexObject(703, 2);
    edition.addPostIndexObject(701, 1);
    edition.addPostIndexObject(702, 1);
    edition.addText(5, "Software\\Varindel\\Bookmarks\\");
    edition.addText(9, "5000");
    edition.addText(9, "7000");
    edition.addContent(10, QByteArray());
    edition.addText(11, "много");
}

class DataModule : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        buildDirectory(edition);
        edition.sealAs(folder.file(MapFiles[2]), 2);
    }

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
    TDM dm;
};

} // namespace

TEST_F(DataModule, OpensTheEditionByItsBareNameFromTheCurrentFolder)
{
    ASSERT_TRUE(dm.OpenEdition(2));
    EXPECT_EQ(dm.Con.DatabaseFileName, "datakrv.abs");
    EXPECT_EQ(dm.Con.DatabaseName, "Data");
    const Status wrong = dm.OpenEdition(1);
    ASSERT_FALSE(wrong);
    EXPECT_EQ(wrong.error(), "Файл издания «dataomk.abs» не найден.");
}

TEST_F(DataModule, FolderAndFirmQueriesGiveTheirRowsInTheirOrder)
{
    ASSERT_TRUE(dm.OpenEdition(2));
    dm.qGetFolder.ParamByName("ParentID").setAsInteger(1);
    EXPECT_EQ(column(dm.qGetFolder, "Name"), QStringList({"Аптеки", "Больницы"}));
    EXPECT_EQ(column(dm.qFolders, "Name"), QStringList({"Аптеки", "Больницы", "Медицина"}));
    EXPECT_EQ(column(dm.qFirms, "ID"), QStringList({"12", "11", "10"})) << "by Place, then Name";
    EXPECT_EQ(column(dm.qFirmsStayOnTop, "ID"), QStringList({"11", "10"}));
    dm.qFirmsInFld.ParamByName("FoldID").setAsInteger(3);
    EXPECT_EQ(column(dm.qFirmsInFld, "ID"), QStringList({"12"}));
    dm.qFirmsBld.ParamByName("Obj_ID").setAsInteger(700);
    EXPECT_EQ(column(dm.qFirmsBld, "Name"), QStringList({"Б-аптека", "Я-аптека"})) << "by Name only";
    EXPECT_EQ(column(dm.qFirmsAdr, "Obj_ID"), QStringList({"700", "700"}));

    dm.qFirms.Open();
    const QStringList firmFields = {"ID",  "ParentID", "TypeID", "Name",    "Image", "ImageName", "Phones",    "Email",
                                    "Web", "Bus",      "MiniBus", "Note",   "article", "ShowAlways", "SelectedFont"};
    for (int i = 0; i < firmFields.size(); ++i)
        EXPECT_EQ(dm.qFirms.Fields(i).FieldName(), firmFields[i]);
}

TEST_F(DataModule, FirmFoldersCarryTheLookedUpFolderName)
{
    ASSERT_TRUE(dm.OpenEdition(2));
    dm.qFolders.Open();
    dm.qFirmsFold.ParamByName("FirmID").setAsInteger(12);
    EXPECT_EQ(column(dm.qFirmsFold, "FoldName"), QStringList({"Аптеки", "Больницы"}));
}

TEST_F(DataModule, PostIndexQueries)
{
    ASSERT_TRUE(dm.OpenEdition(2));
    dm.qFindObj.ParamByName("PostIndex").setAsString("%4400%");
    EXPECT_EQ(column(dm.qFindObj, "ObjID"), QStringList({"701", "702"}));
    EXPECT_EQ(dm.qFindObj.SQL().count('\n'), 4) << "five lines";
    dm.qPostIndex.ParamByName("ObjID").setAsInteger(703);
    EXPECT_EQ(column(dm.qPostIndex, "PostIdxID"), QStringList({"2"}));
    EXPECT_EQ(column(dm.qRefPostIdx, "PostIndex"), QStringList({"644001", "644099"}));
}

TEST_F(DataModule, ContentReadersFollowTheFirstRowOfACode)
{
    ASSERT_TRUE(dm.OpenEdition(2));
    EXPECT_EQ(dm.GetStrFromBase(5), "Software\\Varindel\\Bookmarks\\");
    EXPECT_EQ(dm.GetIntFromBase(9), 5000) << "a code present twice: the first row";
    EXPECT_EQ(dm.GetStrFromBase(10), "Не найдено в базе") << "null data";
    EXPECT_EQ(dm.GetIntFromBase(10), 0);
    EXPECT_EQ(dm.GetStrFromBase(77), "Не найдено в базе");
    EXPECT_EQ(dm.GetIntFromBase(77), 0);
    EXPECT_THROW(dm.GetIntFromBase(11), EConvertError);
    EXPECT_THROW(dm.GetIntFromBase(5), EConvertError);
}

TEST_F(DataModule, DestroyClosesTheQueriesAndTheConnection)
{
    ASSERT_TRUE(dm.OpenEdition(2));
    dm.qContent.Open();
    dm.qFirms.Open();
    dm.qFirmsStayOnTop.Open();
    dm.DataModuleDestroy();
    EXPECT_FALSE(dm.qContent.Active());
    EXPECT_FALSE(dm.qFirms.Active());
    EXPECT_FALSE(dm.qFirmsStayOnTop.Active());
    EXPECT_FALSE(dm.Con.Connected());
}

namespace {

// Start-up steps that only write down what was asked of them.
struct RecordedStartUp {
    int choice = 0;
    bool mainWindow = true;
    QStringList steps;

    TStartUpWindows windows()
    {
        return {[this] {
                    steps << "dialog";
                    return choice;
                },
                [this](const QString& message) { steps << "failure: " + message; },
                [this] {
                    steps << "main window";
                    return mainWindow;
                },
                [this] { steps << "splash"; },
                [this](int edition) { steps << "caption " + QString::number(edition); }};
    }
};

} // namespace

TEST_F(DataModule, StartUpRunsTheStepsInOrder)
{
    RecordedStartUp startUp;
    startUp.choice = 2;
    EXPECT_TRUE(dm.DataModuleCreate(startUp.windows()));
    EXPECT_EQ(startUp.steps, QStringList({"dialog", "main window", "splash", "caption 2"}));
    EXPECT_EQ(Res, 2);
    EXPECT_TRUE(dm.Con.Connected());
}

TEST_F(DataModule, NoEditionChosenStartsNothing)
{
    RecordedStartUp startUp;
    EXPECT_FALSE(dm.DataModuleCreate(startUp.windows()));
    EXPECT_EQ(startUp.steps, QStringList({"dialog"}));
    EXPECT_EQ(Res, 0);
    EXPECT_FALSE(dm.Con.Connected());
}

TEST_F(DataModule, AnEditionThatWillNotOpenIsReportedAndNothingMoreStarts)
{
    TinyEdition other(folder.file("other.sqlite"));
    other.sealAs(folder.file(MapFiles[1]), 2); // sealed with the other edition's password
    RecordedStartUp startUp;
    startUp.choice = 1;
    EXPECT_FALSE(dm.DataModuleCreate(startUp.windows()));
    EXPECT_EQ(startUp.steps,
              QStringList({"dialog", "failure: Файл издания «dataomk.abs» повреждён или пароль не подходит."}));
    EXPECT_FALSE(dm.Con.Connected());
}

TEST_F(DataModule, AnEditionLackingATableOrColumnIsNamedWhenItOpens)
{
    {
        TinyEdition lacking(folder.file("lacking.sqlite"));
        lacking.exec("DROP TABLE Content");
        lacking.sealAs(folder.file(MapFiles[1]), 1);
    }
    const Status withoutTable = dm.OpenEdition(1);
    ASSERT_FALSE(withoutTable);
    EXPECT_EQ(withoutTable.error(), "В файле издания «dataomk.abs» нет таблицы Content.");
    EXPECT_FALSE(dm.Con.Connected());

    {
        TinyEdition lacking(folder.file("lacking-column.sqlite"));
        lacking.exec("ALTER TABLE FIRMS DROP COLUMN Web");
        lacking.sealAs(folder.file(MapFiles[1]), 1);
    }
    const Status withoutColumn = dm.OpenEdition(1);
    ASSERT_FALSE(withoutColumn);
    EXPECT_EQ(withoutColumn.error(), "В файле издания «dataomk.abs» в таблице FIRMS нет столбца Web.");

    EXPECT_TRUE(dm.OpenEdition(2)) << "a whole edition opens";
}

TEST_F(DataModule, WithoutAMainWindowTheStartUpStopsAfterOpening)
{
    RecordedStartUp startUp;
    startUp.choice = 2;
    startUp.mainWindow = false;
    EXPECT_FALSE(dm.DataModuleCreate(startUp.windows()));
    EXPECT_EQ(startUp.steps, QStringList({"dialog", "main window"}));
}

TEST(MainWindowCaption, DescriptionProductAndVersion)
{
    EXPECT_EQ(MainWindowCaption(1, "Версия: 1.0.0.0"),
              "Ольмарск. Сентябрь 2008 - Информационно-коммерческий справочник Вариндел - Версия: 1.0.0.0");
}
