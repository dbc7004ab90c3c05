// The search statement: fixed fragments around the quoted criteria, in their
// order, with the buildings of the street and house criterion, and the
// search run on a real edition.
#include "SearchQuery.h"
#include "search_world.h"

#include <gtest/gtest.h>

namespace {

const QString kExample =
    "SELECT * FROM FIRMS F WHERE (F.TypeID=2) AND (UPPER(F.Name) LIKE UPPER('%аптека%'))AND "
    "(F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE Obj_ID IN (120,121))) ORDER BY Place ASC, "
    "Name ASC";

} // namespace

TEST(SearchStatement, NameAndStreetGiveTheExampleStatement) {
    MapEngine map;
    map.setModel(
        modelOf({addressedObject(119, "Ленина", "4"), addressedObject(120, "Мира", "1"), unaddressedObject(7),
                 addressedObject(121, "Мира", "3"), addressedObject(122, "Садовая", "3")}));
    AddressIndex index(map.model());
    SearchCriteria criteria{.Name = "аптека", .Address = {"Мира", std::nullopt}};

    EXPECT_EQ(FirmsFindSql(criteria, AddressObjectIds(map, index, criteria.Address)), kExample);
    EXPECT_EQ(FirmsFindSql(criteria, "(120,121)"), kExample);
}

TEST(SearchStatement, EveryCriterionInItsPlaceWithThePostIndexFirstAndTheJoinedHead) {
    const SearchCriteria criteria{.Name = "N", .Phone = "P", .Web = "W", .Email = "E", .PostIndex = "644"};
    EXPECT_EQ(
        FirmsFindSql(criteria, "(5)"),
        "SELECT * FROM FIRMS F INNER JOIN FirmsAdr FA ON F.ID = FA.Firm_ID WHERE (F.TypeID=2)"
        " AND (FA.Obj_ID IN (SELECT PIO.ObjID FROM PostIdxObj PIO WHERE PIO.PostIdxID IN (SELECT PI.ID FROM "
        "PostIdx PI WHERE PI.PostIndex LIKE '%644%'))) "
        " AND (UPPER(F.Name) LIKE UPPER('%N%'))"
        " AND ((F.Phones LIKE '%P%') OR F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE Phones LIKE '%P%'))"
        " AND (UPPER(F.Web) LIKE UPPER('%W%'))"
        " AND (UPPER(F.Email) LIKE UPPER('%E%'))"
        "AND (F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE Obj_ID IN (5)))"
        " ORDER BY Place ASC, Name ASC");
}

TEST(SearchStatement, CriteriaAreTrimmedAndTheirQuotesDoubled) {
    EXPECT_EQ(QuotedLike("O'Neil"), "'%O''Neil%'");
    EXPECT_EQ(QuotedLike("  аптека  "), "'%аптека%'");
    EXPECT_EQ(QuotedLike("\tx "), "'%\tx%'") << "only blanks are trimmed";
    EXPECT_TRUE(FirmsFindSql({.PostIndex = "64'4"}, {})->contains("LIKE '%64''4%'"));
}

TEST(SearchStatement, NoCriterionGivesNoStatement) {
    EXPECT_FALSE(FirmsFindSql({}, {}));
    EXPECT_EQ(ObjectIdList({}), "()");
    EXPECT_EQ(ObjectIdList({120, 121, 388}), "(120,121,388)");
    EXPECT_EQ(ObjectIdList({-4}), "(-4)");
}

namespace {

class SearchRun : public ::testing::Test {
protected:
    void SetUp() override {
        TinyEdition& e = world.edition;
        e.addFolder(1, 0, "Медицина");
        e.addFirm({.id = 10, .name = "Аптека «Мира»", .place = 2, .phones = "21-00-01", .web = "apteka.ru"});
        e.addFirm({.id = 11,
                   .name = "O'Neil Pharmacy",
                   .place = 1,
                   .phones = "33-33-33",
                   .email = "INFO@ONEIL.RU"});
        e.addFirm({.id = 12, .name = "Больница", .place = 1, .phones = "44-44-44"});
        e.addAddress({.id = 1, .objectId = 120, .firmId = 10});
        e.addAddress({.id = 2, .objectId = 121, .firmId = 10});
        e.addAddress({.id = 3, .objectId = 122, .firmId = 11, .phones = "21-00-99"});
        e.addAddress({.id = 4, .objectId = 123, .firmId = 12});
        e.addPostIndex(1, "644001");
        e.addPostIndex(2, "644099");
        e.addPostIndexObject(120, 1);
        e.addPostIndexObject(121, 1);
        e.addPostIndexObject(122, 2);
        world.open();
        map.setModel(modelOf({addressedObject(120, "Мира", "1"), addressedObject(121, "Мира", "10"),
                              addressedObject(122, "LENINA", "2"), addressedObject(123, "Садовая", "21а")}));
    }

    QStringList search(const SearchCriteria& criteria) {
        EXPECT_TRUE(RunFirmsFind(world.dm.qFirmsFind, criteria, map, index));
        return columnOf(world.dm.qFirmsFind, "Name");
    }

    EditionWorld world;
    MapEngine map;
    AddressIndex index{map.model()};
};

} // namespace

TEST_F(SearchRun, NamesMatchWithoutRegardToCaseInBothAlphabets) {
    EXPECT_EQ(search({.Name = "АПТЕКА"}), QStringList({"Аптека «Мира»"}));
    EXPECT_EQ(search({.Name = "o'neil"}), QStringList({"O'Neil Pharmacy"}));
    EXPECT_EQ(search({.Email = "info@"}), QStringList({"O'Neil Pharmacy"}));
    EXPECT_EQ(search({.Web = "APTEKA"}), QStringList({"Аптека «Мира»"}));
}

TEST_F(SearchRun, PhonesMatchTheFirmOrAnyOfItsAddresses) {
    EXPECT_EQ(search({.Phone = "21-00"}), QStringList({"O'Neil Pharmacy", "Аптека «Мира»"}))
        << "by Place, then Name";
}

TEST_F(SearchRun, ThePostIndexJoinListsAFirmOncePerMatchingAddress) {
    EXPECT_EQ(search({.PostIndex = "644001"}), QStringList({"Аптека «Мира»", "Аптека «Мира»"}));
    EXPECT_EQ(columnOf(world.dm.qFirmsFind, "ID"), QStringList({"10", "10"}))
        << "the firm's own ID comes first";
    EXPECT_EQ(search({.PostIndex = "6440"}).size(), 3);
}

TEST_F(SearchRun, AQuoteInThePostIndexNeitherBreaksNorInjects) {
    EXPECT_TRUE(search({.PostIndex = "644001' OR '1'='1"}).isEmpty());
    EXPECT_TRUE(search({.PostIndex = "'"}).isEmpty());
}

TEST_F(SearchRun, StreetAndHouseSelectTheFirmsOfTheMatchingBuildings) {
    EXPECT_EQ(search({.Address = {"мира", std::nullopt}}), QStringList({"Аптека «Мира»"}));
    EXPECT_EQ(search({.Address = {"lenina", std::nullopt}}), QStringList({"O'Neil Pharmacy"}));
    EXPECT_EQ(search({.Address = {{}, "1"}}), QStringList({"Больница", "Аптека «Мира»"}));
    EXPECT_EQ(search({.Address = {"Садовая", "1"}}), QStringList({"Больница"}));
}

TEST_F(SearchRun, WithoutCriteriaThePreviousResultStays) {
    search({.Name = "Больница"});
    const QString previous = world.dm.qFirmsFind.SQL();

    EXPECT_FALSE(RunFirmsFind(world.dm.qFirmsFind, {}, map, index));
    EXPECT_FALSE(RunFirmsFind(world.dm.qFirmsFind, {.Address = {{}, std::nullopt}}, map, index));
    EXPECT_EQ(world.dm.qFirmsFind.SQL(), previous);
    EXPECT_EQ(columnOf(world.dm.qFirmsFind, "Name"), QStringList({"Больница"}));
}

TEST_F(SearchRun, AStreetOrHouseThatMatchesNoBuildingFindsNoFirm) {
    search({.Name = "Больница"});

    EXPECT_EQ(search({.Address = {"Нет такой", std::nullopt}}), QStringList{})
        << "the street alone: an empty result, not the previous one";
    EXPECT_TRUE(world.dm.qFirmsFind.Active());
    EXPECT_EQ(search({.Name = "Аптека", .Address = {"Нет такой", std::nullopt}}), QStringList{})
        << "not the name's firms all over the city";
    EXPECT_EQ(search({.Phone = "-", .Address = {{}, "999"}}), QStringList{});
    EXPECT_EQ(search({.Phone = "-", .Address = {"Мира", "3"}}), QStringList{}) << "both parts must match";
}
