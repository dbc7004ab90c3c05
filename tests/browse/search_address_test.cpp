// The address index against the walk over every object that it replaces:
// the same objects in the same order, and the map's current object left
// alone by the searches that use it.
#include "AddressIndex.h"
#include "Buildings.h"
#include "SearchQuery.h"
#include "SyntheticCity.h"
#include "search_world.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// The walk over the objects, one by one, with case-blind streets.
std::vector<int> walk(const MapModel& model, const AddressCriterion& criterion) {
    std::vector<int> found;
    if (!criterion.Given())
        return found;
    for (int i = 0; i < model.GetCount(); ++i) {
        if (model.isDeleted(i) || !model.object(i).HasAddress)
            continue;
        const TPMXMapObjectMem& object = model.object(i);
        const bool street = object.Street.toUpper().contains(criterion.Street.toUpper());
        const bool house = !criterion.House || object.House.contains(*criterion.House);
        if (street && house)
            found.push_back(i);
    }
    return found;
}

// A number from 0 to bound - 1, drawn from random.
qsizetype below(std::mt19937& random, qsizetype bound) {
    return static_cast<qsizetype>(random() % static_cast<std::mt19937::result_type>(bound));
}

std::vector<std::int32_t> idsOf(const MapModel& model, const std::vector<int>& positions) {
    std::vector<std::int32_t> ids;
    ids.reserve(positions.size());
    for (const int position : positions)
        ids.push_back(model.object(position).ID);
    return ids;
}

class Addresses : public ::testing::Test {
protected:
    void SetUp() override {
        map.setModel(modelOf({addressedObject(1, "Мира", "1"), addressedObject(2, "проспект Мира", "10"),
                              unaddressedObject(3), addressedObject(4, "Мирная", "2"),
                              addressedObject(5, "LENINA", "21а"), addressedObject(6, "Садовая", "3")}));
    }

    std::vector<std::int32_t> find(const QString& street, std::optional<QString> house = std::nullopt) {
        return idsOf(map.model(), index.Find({street, std::move(house)}));
    }

    MapEngine map;
    AddressIndex index{map.model()};
};

} // namespace

TEST_F(Addresses, StreetsMatchAsPartsWithoutRegardToCaseInMapOrder) {
    EXPECT_EQ(find("Мир"), (std::vector<std::int32_t>{1, 2, 4}));
    EXPECT_EQ(find("мира"), (std::vector<std::int32_t>{1, 2}))
        << "Cyrillic letters are compared case-blind too";
    EXPECT_EQ(find("lenina"), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(find("Нет такой"), (std::vector<std::int32_t>{}));
}

TEST_F(Addresses, HousesMatchAsPartsExactlyAsTyped) {
    EXPECT_EQ(find({}, "1"), (std::vector<std::int32_t>{1, 2, 5}));
    EXPECT_EQ(find({}, "21А"), (std::vector<std::int32_t>{})) << "house numbers keep their case";
    EXPECT_EQ(find("мира", "1"), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(find("мира", "10"), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(find({}, std::nullopt), (std::vector<std::int32_t>{})) << "nothing asked, nothing found";
}

TEST_F(Addresses, ObjectsDeletedOrAddedAfterTheIndexWasBuiltAreSeen) {
    ASSERT_EQ(find("Садовая"), (std::vector<std::int32_t>{6}));
    map.DeleteObject(map.FindObjectID(6));
    map.AppendObject();
    map.CurrentObject() = addressedObject(77, "Садовая", "8");
    ASSERT_TRUE(map.PostObject());

    EXPECT_EQ(find("Садовая"), (std::vector<std::int32_t>{77}));
}

TEST_F(Addresses, SearchesLeaveTheMapsSelectionAsItWas) {
    const AddressCriterion street{"Мира", std::nullopt};
    ASSERT_EQ(map.CurrentIndex(), -1) << "nothing selected";
    AddressObjectIds(map, index, street);
    SearchHouses(map, index, street);
    EXPECT_EQ(map.CurrentIndex(), -1);
    EXPECT_EQ(map.CurrentObject().ID, TPMXMapObjectMem().ID);

    for (const int selected : {0, 2}) {
        map.EditObject(selected);
        map.CurrentObject().House = "12б"; // an edit not yet posted stays too
        AddressObjectIds(map, index, street);
        SearchHouses(map, index, {{}, "1"});
        EXPECT_EQ(map.CurrentIndex(), selected);
        EXPECT_EQ(map.CurrentObject().ID, map.model().object(selected).ID);
        EXPECT_EQ(map.CurrentObject().House, "12б");
    }
}

TEST(AddressIndexOnACity, GivesWhatTheWalkGives) {
    const MapModel city =
        syntheticCity({.buildings = 6000, .roadSegments = 50, .otherObjects = 20, .seed = 7});
    QStringList streets;
    for (int i = 0; i < city.GetCount(); ++i)
        if (city.object(i).HasAddress && !streets.contains(city.object(i).Street))
            streets << city.object(i).Street;
    ASSERT_GT(streets.size(), 5);

    AddressIndex index(city);
    std::mt19937 random(11);
    for (int trial = 0; trial < 40; ++trial) {
        const QString street = streets[below(random, streets.size())];
        const QString part = street.mid(below(random, street.size()), 1 + below(random, 4)).toLower();
        std::optional<QString> house;
        if (trial % 3 != 0)
            house = QString::number(random() % 40);
        const AddressCriterion criterion{trial % 5 == 4 ? QString() : part, house};
        EXPECT_EQ(index.Find(criterion), walk(city, criterion))
            << part.toStdString() << " " << house.value_or("-").toStdString();
    }
}
