// The building pages: house search lines in map order, the information
// lines of the current object with its post index, and its firms by name.
#include "Buildings.h"
#include "Diary.h"
#include "FirmMarkup.h"
#include "MiniHtml.h"
#include "search_world.h"

#include <gtest/gtest.h>

namespace {

class BuildingPages : public ::testing::Test {
protected:
    void SetUp() override {
        TinyEdition& e = world.edition;
        e.addFirm({.id = 10, .name = "Ясли", .place = 1});
        e.addFirm({.id = 11, .name = "Аптека", .place = 9});
        e.addAddress({.id = 1, .objectId = 120, .firmId = 10});
        e.addAddress({.id = 2, .objectId = 120, .firmId = 11});
        e.addAddress({.id = 3, .objectId = 120, .firmId = 11, .office = "2"});
        e.addPostIndex(1, "644001");
        e.addPostIndex(2, "644099");
        e.addPostIndexObject(120, 2);
        e.addPostIndexObject(120, 1);
        world.open();
        world.dm.qRefPostIdx.Open();
        map.setModel(modelOf({addressedObject(120, "Мира", "1"), unaddressedObject(5),
                              addressedObject(121, "проспект Мира", "10"),
                              addressedObject(122, "Мирная", "2"), addressedObject(123, "Садовая", "21а")}));
    }

    EditionWorld world;
    MapEngine map;
    AddressIndex index{map.model()};
};

} // namespace

TEST_F(BuildingPages, HouseSearchListsLinksInMapOrder) {
    EXPECT_EQ(SearchHouses(map, index, {"Мир", std::nullopt}),
              QStringList({"<IMG src=\"Address.bmp\" align=\"left\"><A href=\"A120\">Мира, 1</A>",
                           "<IMG src=\"Address.bmp\" align=\"left\"><A href=\"A121\">проспект Мира, 10</A>",
                           "<IMG src=\"Address.bmp\" align=\"left\"><A href=\"A122\">Мирная, 2</A>"}));
    EXPECT_EQ(SearchHouses(map, index, {{}, "1"}).size(), 3) << "1, 10 and 21а";
    EXPECT_EQ(SearchHouses(map, index, {"мирн", "2"}).size(), 1);
    EXPECT_TRUE(SearchHouses(map, index, {}).isEmpty()) << "nothing asked";
}

TEST_F(BuildingPages, AHouseLineNamesItsBuilding) {
    const QStringList lines = SearchHouses(map, index, {"Мир", std::nullopt});
    EXPECT_EQ(HouseLineObject(lines[1]), 121);
    EXPECT_EQ(HouseLineObject(NoHousesFoundMessage()), std::nullopt);
    EXPECT_EQ(HouseLineObject("<A href=\"Axyz\">x</A>"), std::nullopt);
}

TEST_F(BuildingPages, AHouseSearchThatMatchesNoBuildingSaysSo) {
    EXPECT_EQ(SearchHouses(map, index, {"Нет такой", std::nullopt}), QStringList{NoHousesFoundMessage()});
    EXPECT_EQ(SearchHouses(map, index, {"Мира", "99"}), QStringList{NoHousesFoundMessage()});
    EXPECT_EQ(SearchHouses(map, index, {{}, "Б"}), QStringList{NoHousesFoundMessage()});
}

TEST_F(BuildingPages, InformationNamesTypeAddressAndTheFirstPostIndex) {
    map.EditObject(0);
    EXPECT_EQ(BuildingInfoLines(map.CurrentObject(), world.dm.qPostIndex, world.dm.qRefPostIdx),
              QStringList({"Объект:Дом", "Адрес:Мира, 1", "Индекс: 644099"}));
    EXPECT_FALSE(world.dm.qPostIndex.Active());

    map.EditObject(2);
    EXPECT_EQ(BuildingInfoLines(map.CurrentObject(), world.dm.qPostIndex, world.dm.qRefPostIdx),
              QStringList({"Объект:Дом", "Адрес:проспект Мира, 10"}));
}

TEST_F(BuildingPages, MapNamesShowAsTypedInEveryLineOfMarkup) {
    const QString street = "Линия <b>1</b> & Co";
    const QString house = "5\"а<br>";
    const TPMXMapObjectMem object = addressedObject(120, street, house);
    const auto shown = [](const QString& markup) {
        QString text;
        QStringList hrefs;
        for (const MiniHtmlToken& token : ParseMiniHtml(markup)) {
            if (token.kind == MiniHtmlToken::Text)
                text += token.text;
            else if (token.kind == MiniHtmlToken::AnchorOn)
                hrefs << token.text;
            else if (token.kind != MiniHtmlToken::AnchorOff && token.kind != MiniHtmlToken::Image)
                text += "[tag]";
        }
        return std::pair{text, hrefs};
    };
    EXPECT_EQ(shown(HouseLine(object)), std::pair(street + ", " + house, QStringList{"A120"}));
    EXPECT_EQ(shown(DiaryBuildingLine(object)),
              std::pair(street + ", " + house + " - Удалить", QStringList({"A120", "DiaryDel"})));
    EXPECT_EQ(HouseLineObject(HouseLine(object)), 120);
    const QStringList information = BuildingInfoLines(object, world.dm.qPostIndex, world.dm.qRefPostIdx);
    ASSERT_EQ(information.size(), 3);
    EXPECT_EQ(shown(information[1]).first, "Адрес:" + street + ", " + house);
}

TEST(BuildingTypes, NamedForEveryCode) {
    EXPECT_EQ(ObjectTypeName(0), "Дом");
    EXPECT_EQ(ObjectTypeName(8), "дорожный знак");
    EXPECT_EQ(ObjectTypeName(9), "метка категории");
    EXPECT_EQ(ObjectTypeName(42), "неизвестный тип 42");
    EXPECT_EQ(ObjectTypeName(-1), "неизвестный тип -1");
}

TEST_F(BuildingPages, FirmsOfABuildingComeByNameOnlyAndOnce) {
    OpenFirmsOfBuilding(world.dm.qFirmsBld, 120);
    EXPECT_EQ(columnOf(world.dm.qFirmsBld, "Name"), QStringList({"Аптека", "Ясли"}));
    OpenFirmsOfBuilding(world.dm.qFirmsBld, 121);
    EXPECT_TRUE(columnOf(world.dm.qFirmsBld, "Name").isEmpty());
}
