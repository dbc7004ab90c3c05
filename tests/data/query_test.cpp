// The query class on a real sealed edition: parameters, moving, fields,
// Locate, lookups and the SQL the directory's queries are written in.
#include "DataErrors.h"
#include "Database.h"
#include "Query.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <gtest/gtest.h>

namespace {

class QueryOnEdition : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        edition.addFolder(1, 0, "Здоровье");
        edition.addFolder(2, 0, "Авто");
        edition.addFirm({.id = 10, .name = "Аптека «Ромашка»", .place = 2, .showAlways = true});
        edition.addFirm({.id = 11, .name = "АПТЕКА на углу", .place = 1});
        edition.addFirm({.id = 12, .name = "Шиномонтаж", .place = 1, .web = "Tyres.example"});
        edition.addFirm({.id = 13, .name = "аптечный склад", .place = 1, .image = QByteArray("\x00\x01\x02", 3)});
        edition.linkFirm(10, 1);
        edition.linkFirm(11, 1);
        edition.linkFirm(12, 2);
        edition.addAddress({.id = 1, .objectId = 500, .firmId = 10, .office = "12"});
        edition.addAddress({.id = 2, .objectId = 500, .firmId = 12, .isBanner = true});
        edition.addAddress({.id = 3, .objectId = 501, .firmId = 11});
        edition.exec("INSERT INTO Content (ID, TypeID, Data) VALUES (1, 9, 'семь'), (2, 10, '42')");
        edition.sealAs(folder.file("dataomk.abs"), 1);
        con.DatabaseFileName = QString::fromStdString(folder.file("dataomk.abs"));
        con.Password = MapPw[1];
        ASSERT_TRUE(con.Open());
    }

    QStringList column(TQuery& query, const QString& field)
    {
        QStringList values;
        for (query.First(); !query.Eof(); query.Next())
            values << query.FieldByName(field).AsString();
        return values;
    }

    TemporaryFolder folder;
    TDatabase con;
};

} // namespace

TEST_F(QueryOnEdition, NamedParametersInAnyCaseAndSubSelects)
{
    TQuery inFolder(con, "qFirmsInFld",
                    "SELECT * FROM FIRMS WHERE ((TypeID=2)AND(ID IN (SELECT FirmID FROM FirmsFold WHERE (FoldID = "
                    ":FoldID)))) ORDER BY Place ASC, Name ASC");
    inFolder.ParamByName("foldid").setAsInteger(1);
    inFolder.Open();
    EXPECT_EQ(column(inFolder, "Name"), QStringList({"АПТЕКА на углу", "Аптека «Ромашка»"}));
    EXPECT_EQ(inFolder.RecordCount(), 2);

    inFolder.ParamByName("FoldID").setAsInteger(2);
    inFolder.Close();
    inFolder.Open();
    EXPECT_EQ(column(inFolder, "Name"), QStringList({"Шиномонтаж"}));
    EXPECT_THROW(inFolder.ParamByName("FirmID"), EDatabaseError);
}

TEST_F(QueryOnEdition, MovingThroughRowsAndCountingThem)
{
    TQuery firms(con, "qFirms", "SELECT * FROM FIRMS WHERE TypeID=2 ORDER BY Place ASC, Name ASC");
    EXPECT_FALSE(firms.Active());
    EXPECT_THROW(firms.RecordCount(), EDatabaseError);
    firms.Open();
    ASSERT_TRUE(firms.Active());
    EXPECT_EQ(firms.RecNo(), 1);
    EXPECT_EQ(firms.FieldByName("ID").AsInteger(), 11);
    firms.Next();
    firms.Next();
    firms.Next();
    EXPECT_EQ(firms.RecNo(), 4);
    EXPECT_FALSE(firms.Eof());
    firms.Next();
    EXPECT_TRUE(firms.Eof());
    EXPECT_TRUE(firms.FieldByName("ID").IsNull()) << "no current row past the end";
    firms.First();
    EXPECT_EQ(firms.FieldByName("ID").AsInteger(), 11);
    EXPECT_EQ(firms.RecordCount(), 4);

    TQuery none(con, "qTemp", "SELECT * FROM FIRMS WHERE TypeID = 3;");
    none.Open();
    EXPECT_TRUE(none.Eof());
    EXPECT_EQ(none.RecordCount(), 0);
    EXPECT_EQ(none.FieldCount(), 16) << "the fields exist even without rows";
}

TEST_F(QueryOnEdition, LocateMovesToTheMatchOrStaysWhereItWas)
{
    TQuery firms(con, "qFirms", "SELECT * FROM FIRMS WHERE TypeID=2 ORDER BY Place ASC, Name ASC");
    firms.Open();
    firms.Next();
    ASSERT_EQ(firms.FieldByName("ID").AsInteger(), 12);
    EXPECT_TRUE(firms.Locate("ID", 10));
    EXPECT_EQ(firms.FieldByName("Name").AsString(), "Аптека «Ромашка»");
    EXPECT_EQ(firms.RecNo(), 4);
    firms.First();
    firms.Next();
    EXPECT_FALSE(firms.Locate("ID", 99));
    EXPECT_EQ(firms.FieldByName("ID").AsInteger(), 12);
    EXPECT_TRUE(firms.Locate("name", QString("Шиномонтаж")));
    EXPECT_EQ(firms.FieldByName("ID").AsInteger(), 12);
    EXPECT_THROW(firms.Locate("Nope", 1), EDatabaseError);
}

TEST_F(QueryOnEdition, FieldValuesOfEveryKind)
{
    TQuery firms(con, "qFirms", "SELECT * FROM FIRMS WHERE ID = :ID");
    firms.ParamByName("ID").setAsInteger(13);
    firms.Open();
    EXPECT_EQ(firms.FieldByName("Image").AsBlob(), QByteArray("\x00\x01\x02", 3));
    EXPECT_TRUE(firms.FieldByName("Image").IsBlob());
    EXPECT_TRUE(firms.FieldByName("article").IsNull());
    EXPECT_EQ(firms.FieldByName("article").AsBlob(), QByteArray());
    EXPECT_EQ(firms.FieldByName("Web").AsString(), "");
    EXPECT_FALSE(firms.FieldByName("ShowAlways").AsBoolean());
    EXPECT_EQ(firms.FieldByName("TypeID").AsString(), "2");
    EXPECT_THROW(firms.FieldByName("Nope"), EDatabaseError);

    TQuery content(con, "qContent", "select * from Content");
    content.Open();
    EXPECT_THROW(content.FieldByName("Data").AsInteger(), EConvertError) << "\"семь\" is no integer";
    content.Next();
    EXPECT_EQ(content.FieldByName("Data").AsInteger(), 42);
}

TEST_F(QueryOnEdition, TheDialectTheDirectoryUses)
{
    TQuery query(con, "qTemp", "SELECT * FROM FIRMS WHERE ((TypeID=2)AND(ShowAlways = TRUE)) ORDER BY Place ASC, Name ASC");
    query.Open();
    EXPECT_EQ(column(query, "ID"), QStringList({"10"}));

    query.setSQL("SELECT * FROM FirmsAdr WHERE ((Firm_ID = 12) and (NOT IsBanner))");
    query.Open();
    EXPECT_TRUE(query.Eof());

    query.setSQL("SELECT Count(ID) AS CntFirms FROM FirmsAdr WHERE Obj_ID = 500");
    query.Open();
    EXPECT_EQ(query.FieldByName("CntFirms").AsInteger(), 2);

    query.setSQL("SELECT DISTINCT Obj_ID FROM FirmsAdr WHERE Firm_ID IN (SELECT FirmID FROM FirmsFold WHERE FoldID = 1)");
    query.Open();
    EXPECT_EQ(column(query, "Obj_ID"), QStringList({"500", "501"}));

    query.setSQL("SELECT F.Name, FA.Office FROM FIRMS F INNER JOIN FirmsAdr FA ON FA.Firm_ID = F.ID WHERE FA.Office = '12'");
    query.Open();
    EXPECT_EQ(column(query, "Name"), QStringList({"Аптека «Ромашка»"}));
}

TEST_F(QueryOnEdition, UpperKnowsCyrillicSoNamesAreFoundInAnyCase)
{
    TQuery find(con, "qFirmsFind",
                "SELECT * FROM FIRMS F WHERE (F.TypeID=2) AND (UPPER(F.Name) LIKE UPPER('%аптека%')) ORDER BY Place "
                "ASC, Name ASC");
    find.Open();
    EXPECT_EQ(column(find, "ID"), QStringList({"11", "10"}));

    find.setSQL("SELECT * FROM FIRMS F WHERE (F.TypeID=2) AND (UPPER(F.Name) LIKE UPPER('%АПТЕ%')) ORDER BY Name ASC");
    find.Open();
    EXPECT_EQ(find.RecordCount(), 3);

    find.setSQL("SELECT UPPER('ёлка Tyres ß') AS U, LOWER('ЁЛКА') AS L, UPPER(NULL) AS N");
    find.Open();
    EXPECT_EQ(find.FieldByName("U").AsString(), "ЁЛКА TYRES SS");
    EXPECT_EQ(find.FieldByName("L").AsString(), "ёлка");
    EXPECT_TRUE(find.FieldByName("N").IsNull());

    find.setSQL("SELECT * FROM FIRMS F WHERE (UPPER(F.Web) LIKE UPPER('%tyres%'))");
    find.Open();
    EXPECT_EQ(column(find, "ID"), QStringList({"12"}));
}

TEST_F(QueryOnEdition, UpperAndLowerAgreeWithQtForEveryCyrillicAndLatinLetter)
{
    QString letters;
    for (char16_t code = 0x400; code <= 0x45F; ++code)
        letters += QChar(code);
    for (char c = 'A'; c <= 'z'; ++c)
        letters += QChar(c);
    letters += "0-9 №«»ӐӑЄ — – “”„ … µ ß ÿ é È ⅰ Ⓐ";
    TQuery cases(con, "qTemp", "SELECT UPPER(:Text) AS U, LOWER(:Text) AS L");
    cases.ParamByName("Text").setValue(letters);
    cases.Open();
    EXPECT_EQ(cases.FieldByName("U").AsString(), letters.toUpper());
    EXPECT_EQ(cases.FieldByName("L").AsString(), letters.toLower());
}

TEST_F(QueryOnEdition, LookupFieldReadsAnotherQueryWithoutMovingIt)
{
    TQuery folders(con, "qFolders", "SELECT * FROM FIRMS WHERE TypeID=1 ORDER BY Name ASC");
    TQuery links(con, "qFirmsFold", "SELECT * FROM FirmsFold WHERE (FirmID = :FirmID)");
    links.AddLookupField("FoldName", "FoldID", folders, "ID", "Name", 3);
    folders.Open();
    links.ParamByName("FirmID").setAsInteger(12);
    links.Open();
    EXPECT_EQ(links.FieldByName("FoldName").AsString(), "Авт");
    EXPECT_TRUE(links.HasField("foldname"));
    EXPECT_EQ(folders.RecNo(), 1);
    links.Next();
    EXPECT_TRUE(links.FieldByName("FoldName").IsNull());
}

TEST_F(QueryOnEdition, FieldsByNumberOnlyWithinTheColumnsAndLookups)
{
    TQuery folders(con, "qFolders", "SELECT * FROM FIRMS WHERE TypeID=1");
    TQuery links(con, "qFirmsFold", "SELECT FirmID, FoldID FROM FirmsFold");
    links.AddLookupField("FoldName", "FoldID", folders, "ID", "Name", 20);
    folders.Open();
    links.Open();
    ASSERT_EQ(links.FieldCount(), 3);
    EXPECT_EQ(links.Fields(1).FieldName(), "FoldID");
    EXPECT_EQ(links.Fields(2).FieldName(), "FoldName");
    for (const int index : {-1, 3, 4, 1000})
        EXPECT_THROW(links.Fields(index), EDatabaseError) << index;
}

TEST_F(QueryOnEdition, ErrorsOfTheDatabaseBecomeExceptionsAndTheQueryStaysClosed)
{
    TQuery broken(con, "qTemp", "SELECT * FROM NoSuchTable");
    EXPECT_THROW(broken.Open(), EDatabaseError);
    EXPECT_FALSE(broken.Active());
    con.Close();
    TQuery closed(con, "qTemp", "SELECT 1");
    EXPECT_THROW(closed.Open(), EDatabaseError);
}

TEST(SqlText, ParameterNamesSkipQuotesCommentsAndTimes)
{
    EXPECT_EQ(SqlParameterNames("SELECT * FROM T WHERE A = :A AND B = :b_2 AND C = :a"), QStringList({"A", "b_2"}));
    EXPECT_EQ(SqlParameterNames("SELECT ':Not', \":Nor\" -- :Neither\n FROM T /* :Nope */ WHERE X=:Yes"),
              QStringList({"Yes"}));
    EXPECT_EQ(SqlParameterNames("SELECT '12:30', a::text"), QStringList());
}

TEST(SqlText, StrToIntTakesOnlyWholeNumbers)
{
    EXPECT_EQ(StrToInt("5000"), 5000);
    EXPECT_EQ(StrToInt(" -17 "), -17);
    EXPECT_EQ(StrToInt("+3"), 3);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_THROW(StrToInt("12a"), EConvertError);
    EXPECT_THROW(StrToInt("1.5"), EConvertError);
    EXPECT_THROW(StrToInt("99999999999"), EConvertError);
    try {
        StrToInt("Не найдено в базе");
        FAIL() << "a text that is no number was taken";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.message(), "«Не найдено в базе» не является целым числом.");
    }
}
