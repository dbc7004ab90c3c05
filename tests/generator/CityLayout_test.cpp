// The generated cities: what the map must hold, house numbering, the
// difference between the two editions and the repeatability of a seed.
#include "Buildings.h"
#include "City.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

const City& smallCity(int edition)
{
    static const City first = BuildCity({1, 7, 0.1});
    static const City second = BuildCity({2, 7, 0.1});
    return edition == 1 ? first : second;
}

std::map<int, int> countByType(const City& city)
{
    std::map<int, int> counts;
    for (const TPMXMapObjectMem& object : city.objects)
        ++counts[object.ObjType];
    return counts;
}

PlacedBuilding onStreet(int street, bool odd, double along, bool courtyard = false)
{
    PlacedBuilding building;
    building.street = street;
    building.oddSide = odd;
    building.along = along;
    building.courtyard = courtyard;
    return building;
}

} // namespace

TEST(CityLayout, HoldsEveryKindOfMapObject)
{
    const std::map<int, int> counts = countByType(smallCity(1));
    for (const int type : {0, 1, 2, 3, 4, 6, 7, 8})
        EXPECT_GT(counts.count(type) ? counts.at(type) : 0, 0) << "type " << type;
    EXPECT_EQ(counts.at(3), 1); // one railway
}

TEST(CityLayout, ObjectIdsAreUniqueAndPositive)
{
    QSet<std::int32_t> ids;
    for (const TPMXMapObjectMem& object : smallCity(2).objects) {
        EXPECT_GT(object.ID, 0);
        EXPECT_FALSE(ids.contains(object.ID)) << object.ID;
        ids.insert(object.ID);
    }
}

TEST(CityLayout, AddressedBuildingsCarryStreetHouseAndPostIndex)
{
    const City& city = smallCity(1);
    QHash<std::int32_t, const TPMXMapObjectMem*> objects;
    for (const TPMXMapObjectMem& object : city.objects)
        objects.insert(object.ID, &object);
    const QRegularExpression houseForm(QStringLiteral("^\\d+(а|б|в)?( корп\\. \\d+)?$"));
    QSet<std::int32_t> withIndex;
    for (const PostLink& link : city.postLinks) {
        withIndex.insert(link.objectId);
        ASSERT_GE(link.postIndexId, 1);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{6}$")).match(city.postIndexes[link.postIndexId - 1]).hasMatch());
    }
    ASSERT_FALSE(city.addressed.empty());
    for (const AddressedBuilding& building : city.addressed) {
        const TPMXMapObjectMem* object = objects.value(building.objectId);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->ObjType, otBuilding);
        EXPECT_TRUE(object->HasAddress);
        EXPECT_EQ(object->Street, city.streets[static_cast<std::size_t>(building.street)].name);
        EXPECT_TRUE(houseForm.match(object->House).hasMatch()) << object->House.toStdString();
        EXPECT_TRUE(withIndex.contains(building.objectId));
        EXPECT_GE(object->Floors, 1);
    }
}

TEST(CityLayout, BuildingsWithoutAddressHaveNoStreet)
{
    int sheds = 0;
    for (const TPMXMapObjectMem& object : smallCity(1).objects) {
        if (object.ObjType != otBuilding || object.HasAddress)
            continue;
        ++sheds;
        EXPECT_TRUE(object.Street.isEmpty());
        EXPECT_TRUE(object.House.isEmpty());
    }
    EXPECT_GT(sheds, 0);
}

TEST(CityLayout, StopsAndSignsNameIconsOfTheStandardLibrary)
{
    for (const TPMXMapObjectMem& object : smallCity(2).objects) {
        if (object.ObjType != otStop && object.ObjType != otRoadSign)
            continue;
        ASSERT_TRUE(object.Zametka.has_value());
        EXPECT_EQ(object.Zametka->LibName, QStringLiteral("ICONS.LIB"));
        EXPECT_TRUE(object.Zametka->IconName.endsWith(QStringLiteral(".BMP")));
        EXPECT_TRUE(object.Geometry.empty());
    }
}

TEST(CityLayout, StreetNamesAreUniqueAndRussian)
{
    QSet<QString> names;
    for (const CityStreet& street : smallCity(1).streets) {
        EXPECT_FALSE(names.contains(street.name)) << street.name.toStdString();
        names.insert(street.name);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("(улица|проспект|переулок|проезд|бульвар|шоссе|площадь)"))
                        .match(street.name)
                        .hasMatch())
            << street.name.toStdString();
        EXPECT_FALSE(street.busRoutes.isEmpty()) << "every street is reached by some bus";
    }
}

TEST(CityLayout, TheSameSeedGivesTheSameCityAndTheEditionsDiffer)
{
    const City again = BuildCity({1, 7, 0.1});
    EXPECT_EQ(again.objects, smallCity(1).objects);
    EXPECT_NE(BuildCity({1, 8, 0.1}).objects, smallCity(1).objects);

    QSet<QString> first, second;
    for (const CityStreet& street : smallCity(1).streets)
        first.insert(street.name);
    for (const CityStreet& street : smallCity(2).streets)
        second.insert(street.name);
    EXPECT_NE(first, second);
    EXPECT_NE(smallCity(1).extent, smallCity(2).extent);
}

TEST(CityLayout, ScaleGrowsTheCityWithoutChangingItsKind)
{
    const City larger = BuildCity({1, 7, 0.4});
    const double ratio = static_cast<double>(larger.objects.size()) / static_cast<double>(smallCity(1).objects.size());
    EXPECT_GT(ratio, 2.5);
    EXPECT_LT(ratio, 6.0);
    EXPECT_GT(larger.extent.width(), smallCity(1).extent.width());
}

TEST(HouseNumbers, OddOnTheLeftEvenOnTheRightRisingInTheStreetsDirection)
{
    constexpr int kBuildings = 60;
    std::vector<PlacedBuilding> buildings;
    buildings.reserve(kBuildings);
    Prng placing(5);
    for (int k = 0; k < kBuildings; ++k)
        buildings.push_back(onStreet(k % 3 == 0 ? 1 : 0, k % 2 == 0, placing.uniform(0, 1000)));
    Prng numbering(9);
    NumberHouses(buildings, numbering);

    std::map<std::pair<int, bool>, std::vector<const PlacedBuilding*>> sides;
    for (const PlacedBuilding& building : buildings)
        sides[{building.street, building.oddSide}].push_back(&building);
    for (auto& [side, houses] : sides) {
        std::sort(houses.begin(), houses.end(), [](auto a, auto b) { return a->along < b->along; });
        int previous = 0;
        for (const PlacedBuilding* house : houses) {
            const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^(\\d+)(а|б|в)?$")).match(house->house);
            ASSERT_TRUE(match.hasMatch()) << house->house.toStdString();
            const int number = match.captured(1).toInt();
            EXPECT_EQ(number % 2 == 1, side.second) << number;
            EXPECT_GE(number, previous);
            EXPECT_LE(number, previous + 2);
            previous = number;
        }
        EXPECT_EQ(houses.front()->house, side.second ? QStringLiteral("1") : QStringLiteral("2"));
    }
}

TEST(HouseNumbers, CourtyardHousesAreNumberedAsBuildingsOfTheHouseBeforeThem)
{
    std::vector<PlacedBuilding> buildings{onStreet(0, false, 0), onStreet(0, false, 10, true),
                                          onStreet(0, false, 20, true)};
    Prng random(3);
    NumberHouses(buildings, random);
    EXPECT_EQ(buildings[0].house, QStringLiteral("2"));
    EXPECT_EQ(buildings[1].house, QStringLiteral("2 корп. 2"));
    EXPECT_EQ(buildings[2].house, QStringLiteral("2 корп. 3"));
}

TEST(HouseNumbers, BuildingsWithoutStreetStayUnnumbered)
{
    std::vector<PlacedBuilding> buildings{onStreet(-1, true, 0)};
    Prng random(3);
    NumberHouses(buildings, random);
    EXPECT_TRUE(buildings[0].house.isEmpty());
}
