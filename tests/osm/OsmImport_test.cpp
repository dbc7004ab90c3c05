// Importing small OpenStreetMap files written here: the edge cases of real
// extracts, one at a time.
#include "OsmTestFiles.h"

#include "HitTest.h"
#include "MapFormat.h"
#include "OsmCategories.h"
#include "OsmImport.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// Near Moscow's centre: 0.0001 degrees are about 11 m north and 6 m east.
constexpr double kCentreLon = 37.6;
constexpr double kCentreLat = 55.75;

const TPMXMapObjectMem* findObject(const MapModel& model, const std::function<bool(const TPMXMapObjectMem&)>& match)
{
    for (int index = 0; index < model.GetCount(); ++index)
        if (!model.isDeleted(index) && match(model.object(index)))
            return &model.object(index);
    return nullptr;
}

const TPMXMapObjectMem* buildingAt(const ImportedCity& city, double lon, double lat)
{
    const int index = BuildingAt(city.map.model, city.map.projection.toMap({lon, lat}));
    return index < 0 ? nullptr : &city.map.model.object(index);
}

class OsmImport : public ::testing::Test {
protected:
    QString folderPath() const { return QString::fromStdString(folder.path()); }

    ImportedCity import(const OsmXml& xml, const QString& firms = QString())
    {
        const QString osm = xml.save(folderPath(), "city.osm");
        QString firmsPath;
        if (!firms.isNull()) {
            firmsPath = QString::fromStdString(folder.file("firms.csv"));
            QFile file(firmsPath);
            file.open(QIODevice::WriteOnly);
            file.write(firms.toUtf8());
        }
        Result<ImportedCity> city = ImportOsmCity(osm, firmsPath);
        EXPECT_TRUE(city) << city.error().toStdString();
        return city ? std::move(city).value() : ImportedCity{};
    }

    TemporaryFolder folder;
};

} // namespace

TEST_F(OsmImport, MultipolygonKeepsItsHoleAndAnAddressPointGivesItsAddress)
{
    OsmXml xml;
    const long long outer = xml.rectangle(kCentreLon, kCentreLat, 0.0010, 0.0006);
    const long long inner = xml.rectangle(kCentreLon + 0.0004, kCentreLat + 0.0002, 0.0002, 0.0002);
    xml.relation({{"way", outer, "outer"}, {"way", inner, "inner"}},
                 {{"type", "multipolygon"}, {"building", "yes"}, {"building:levels", "5"}});
    xml.node(kCentreLon + 0.0001, kCentreLat + 0.0001,
             {{"addr:street", "Новомосковская улица"}, {"addr:housenumber", "27А с1"}, {"addr:postcode", "129223"}});
    const ImportedCity city = import(xml);

    EXPECT_EQ(city.map.buildings, 1);
    const TPMXMapObjectMem* building = buildingAt(city, kCentreLon + 0.0002, kCentreLat + 0.0001);
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(buildingAt(city, kCentreLon + 0.0005, kCentreLat + 0.0003), nullptr) << "the courtyard is no building";
    EXPECT_EQ(building->Floors, 5);
    EXPECT_TRUE(building->HasAddress);
    EXPECT_EQ(building->Street, "Новомосковская улица");
    EXPECT_EQ(building->House, "27А с1");
    EXPECT_EQ(city.map.addressesFromPoints, 1);
    EXPECT_EQ(city.directory.postIndexes, QStringList({"129223"}));
    ASSERT_EQ(city.directory.postLinks.size(), 1u);
    EXPECT_EQ(city.directory.postLinks[0].first, building->ID);
    // The hole survives the map file.
    const Result<MapModel> reread = readMapFile(writeMapFile(city.map.model));
    ASSERT_TRUE(reread);
    const TPMXMapObjectMem* stored = findObject(reread.value(), [](const TPMXMapObjectMem& o) { return o.ObjType == otBuilding; });
    ASSERT_NE(stored, nullptr);
    const MapPoint courtyard = city.map.projection.toMap({kCentreLon + 0.0005, kCentreLat + 0.0003});
    EXPECT_FALSE(ringContains(stored->Geometry, courtyard.x, courtyard.y));
}

TEST_F(OsmImport, FirmsArePlacedInTheirBuildingsOrListedWithoutOne)
{
    OsmXml xml;
    xml.rectangle(kCentreLon, kCentreLat, 0.0010, 0.0006,
                  {{"building", "yes"}, {"addr:street", "улица Гончарова"}, {"addr:housenumber", "12/2"}});
    xml.node(kCentreLon + 0.0005, kCentreLat + 0.0003,
             {{"amenity", "pharmacy"}, {"name", "Аптека \"Здоровье\" <24 часа>"}, {"phone", "+7 495 1; +7 495 2"},
              {"website", "https://apteka.example"}, {"opening_hours", "24/7"}});
    // Two metres east of the building: placed in it as the nearest addressed one.
    xml.node(kCentreLon + 0.00103, kCentreLat + 0.0003, {{"shop", "bakery"}, {"name", "Пекарня"}});
    xml.node(kCentreLon + 0.0100, kCentreLat + 0.0100, {{"shop", "bakery"}, {"name", "Булочная в поле"}});
    xml.node(kCentreLon + 0.0101, kCentreLat + 0.0100, {{"shop", "bakery"}}); // no name: no firm
    xml.node(kCentreLon + 0.0102, kCentreLat + 0.0100, {{"name", "Памятник"}, {"tourism", "artwork"}});
    xml.node(kCentreLon + 0.0103, kCentreLat + 0.0100, {{"name", "Скамейка"}, {"shop", "fictional_value"}});
    const ImportedCity city = import(xml);

    const OsmDirectory& directory = city.directory;
    EXPECT_EQ(directory.osmFirms, 4);
    EXPECT_EQ(directory.placedFirms, 2);
    EXPECT_EQ(directory.firmsWithoutBuilding.size(), 2);
    EXPECT_TRUE(directory.firmsWithoutBuilding.join("|").contains("Булочная в поле (n"));
    const DirectoryFirm& pharmacy = directory.firms.front();
    EXPECT_EQ(pharmacy.name, "Аптека \"Здоровье\" <24 часа>");
    EXPECT_EQ(pharmacy.phones, "+7 495 1, +7 495 2");
    EXPECT_EQ(pharmacy.web, "https://apteka.example");
    EXPECT_EQ(pharmacy.note, "Часы работы: 24/7");
    const TPMXMapObjectMem* building = buildingAt(city, kCentreLon + 0.0005, kCentreLat + 0.0003);
    ASSERT_NE(building, nullptr);
    ASSERT_EQ(directory.addresses.size(), 2u);
    EXPECT_EQ(directory.addresses[0].objectId, building->ID);
    EXPECT_EQ(directory.addresses[1].objectId, building->ID);

    // Categories: two levels, a pharmacy under health, the unknown value under "Разное", listed last.
    const auto categoryName = [&](int id) { return directory.categories[static_cast<std::size_t>(id - 1)].name; };
    const auto parentName = [&](int id) {
        return categoryName(directory.categories[static_cast<std::size_t>(id - 1)].parentId);
    };
    EXPECT_EQ(categoryName(pharmacy.categoryIds[0]), "Аптеки");
    EXPECT_EQ(parentName(pharmacy.categoryIds[0]), "Здоровье");
    EXPECT_EQ(categoryName(directory.firms.back().categoryIds[0]), kMiscellaneousSub);
    EXPECT_EQ(directory.categories.back().name, kMiscellaneousSub);
    for (const DirectoryCategory& category : directory.categories)
        EXPECT_EQ(category.id, &category - directory.categories.data() + 1);
}

TEST_F(OsmImport, MissingNodesAndMembersCutWhatTheyMustAndNothingElse)
{
    OsmXml xml;
    const long long a = xml.node(kCentreLon, kCentreLat), b = xml.node(kCentreLon + 0.001, kCentreLat);
    const long long c = xml.node(kCentreLon + 0.003, kCentreLat), d = xml.node(kCentreLon + 0.004, kCentreLat);
    xml.way({a, b, 999999, c, d}, {{"highway", "residential"}, {"name", "Mannerheimintie"}});
    xml.way({a, 999998}, {{"highway", "service"}}); // one node left: nothing to draw
    const long long open = xml.way({c, d, xml.node(kCentreLon + 0.004, kCentreLat + 0.001)});
    xml.relation({{"way", 888888, "outer"}, {"way", open, "outer"}}, {{"type", "multipolygon"}, {"natural", "water"}});
    xml.rectangle(kCentreLon, kCentreLat + 0.001, 0.0005, 0.0005, {{"building", "yes"}});
    // A building and a shop drawn as closed ways, each left by the extract
    // with two corners: no area, but counted.
    const long long e = xml.node(kCentreLon + 0.002, kCentreLat + 0.002);
    const long long f = xml.node(kCentreLon + 0.0025, kCentreLat + 0.002);
    xml.way({e, f, 999997, e}, {{"building", "yes"}});
    xml.way({e, 999996, f, e}, {{"shop", "bakery"}, {"name", "Пекарня"}});
    // And one whose ring crosses itself, every node present.
    const long long g = xml.node(kCentreLon + 0.002, kCentreLat + 0.003);
    const long long h = xml.node(kCentreLon + 0.0025, kCentreLat + 0.003);
    xml.way({e, h, g, f, e}, {{"building", "yes"}});
    // Likewise a multipolygon whose one way has a node missing, and a
    // closed way missing the node it starts and ends at.
    const long long cutWay = xml.way({g, h, 999995, g});
    xml.relation({{"way", cutWay, "outer"}}, {{"type", "multipolygon"}, {"building", "yes"}});
    xml.way({999994, g, h, 999993, 999994}, {{"leisure", "park"}});
    const ImportedCity city = import(xml);

    EXPECT_EQ(city.incompleteWays, 2);
    EXPECT_EQ(city.unassembledAreas, 6);
    EXPECT_TRUE(ImportReportLines(city).contains("Площадей и зданий, которые не удалось собрать: 6"));
    EXPECT_EQ(city.map.roads, 2) << "the street cut in two pieces";
    EXPECT_EQ(city.map.buildings, 1);
    EXPECT_EQ(city.map.areas, 0);
    const TPMXMapObjectMem* road =
        findObject(city.map.model, [](const TPMXMapObjectMem& o) { return o.ObjType == otRoad; });
    ASSERT_NE(road, nullptr);
    EXPECT_EQ(road->Street, "Mannerheimintie");
}

TEST_F(OsmImport, AMultipolygonCutByTheExtractKeepsTheRingsLeftWhole)
{
    // A building of two parts, the second wholly outside the extract: its
    // nodes are missing, the first part is drawn as it stands.
    OsmXml xml;
    const long long a = xml.node(kCentreLon, kCentreLat), b = xml.node(kCentreLon + 0.001, kCentreLat);
    const long long c = xml.node(kCentreLon + 0.001, kCentreLat + 0.001);
    const long long d = xml.node(kCentreLon, kCentreLat + 0.001);
    const long long inside = xml.way({a, b, c, d, a});
    const long long outside = xml.way({999990, 999991, 999992, 999990});
    xml.relation({{"way", inside, "outer"}, {"way", outside, "outer"}},
                 {{"type", "multipolygon"}, {"building", "yes"}, {"addr:street", "Aleksanterinkatu"},
                  {"addr:housenumber", "52"}});
    const ImportedCity city = import(xml);

    EXPECT_EQ(city.map.buildings, 1);
    EXPECT_EQ(city.unassembledAreas, 0);
    const TPMXMapObjectMem* building = buildingAt(city, kCentreLon + 0.0005, kCentreLat + 0.0005);
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(building->House, "52");
}

TEST_F(OsmImport, BuildingsCutByTheExtractAreDrawnUpToTheCutWhereverTheirWayStarts)
{
    // Two houses, each with a corner beyond the extract's edge: one's way
    // starts inside, the other's at the missing corner itself.
    OsmXml xml;
    const auto corner = [&](double east, double north) { return xml.node(kCentreLon + east, kCentreLat + north); };
    const long long a = corner(0, 0), b = corner(0.0004, 0), c = corner(0.0004, 0.0003), d = corner(0, 0.0003);
    xml.way({a, b, 999990, c, d, a}, {{"building", "yes"}, {"addr:street", "Mikonkatu"}, {"addr:housenumber", "1"}});
    const long long p = corner(0.001, 0), q = corner(0.0014, 0), r = corner(0.0014, 0.0003), t = corner(0.001, 0.0003);
    xml.way({999991, p, q, r, t, 999991}, {{"building", "yes"}, {"addr:street", "Mikonkatu"}, {"addr:housenumber", "3"}});
    const ImportedCity city = import(xml);

    EXPECT_EQ(city.unassembledAreas, 0);
    EXPECT_EQ(city.map.buildings, 2);
    const TPMXMapObjectMem* first = buildingAt(city, kCentreLon + 0.0002, kCentreLat + 0.00015);
    const TPMXMapObjectMem* second = buildingAt(city, kCentreLon + 0.0012, kCentreLat + 0.00015);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->House, "1");
    EXPECT_EQ(second->House, "3");
}

TEST_F(OsmImport, FirmsFileRowsMatchEveryStreetSpelling)
{
    OsmXml xml;
    const std::vector<std::pair<QString, QString>> houses{
        {"проспект Мира", "1"},         {"Кривоколенный переулок", "2"}, {"Тверской бульвар", "3"},
        {"Дмитровское шоссе", "4"},     {"площадь Победы", "5"},         {"улица Королёва", "6"},
        {"Mannerheimintie", "7"},       {"улица Ленина", "12к1"},        {"Новомосковская улица", "27А с1"},
        {"проспект Мира", "12А"},
    };
    for (std::size_t k = 0; k < houses.size(); ++k)
        xml.rectangle(kCentreLon + 0.001 * double(k), kCentreLat, 0.0005, 0.0005,
                      {{"building", "yes"}, {"addr:street", houses[k].first}, {"addr:housenumber", houses[k].second}});
    const QString firms = "name,categories,phones,street,house,office\n"
                          "Один,Услуги/Почта и связь,1,пр-т Мира,1,\n"
                          "Два,,2,пер. Кривоколенный,2,\n"
                          "Три,,3,б-р Тверской,3,\n"
                          "Четыре,,4,ш. Дмитровское,4,\n"
                          "Пять,,5,пл. Победы,5,\n"
                          "Шесть,,6,ул Королева,6,\n"
                          "Семь,,7,MANNERHEIMINTIE,7,\n"
                          "Восемь,Новая/Рубрика,8,Ленина ул.,12 корп. 1,101\n"
                          "Девять,,9,Новомосковская ул.,27а стр. 1,\n"
                          "Десять,,10,Мира пр.,12а,\n"
                          "Нигде,,11,ул. Несуществующая,1,\n"
                          "Без адреса,,12,,,\n";
    const ImportedCity city = import(xml, firms);

    const OsmDirectory& directory = city.directory;
    EXPECT_EQ(directory.fileFirms, 12);
    EXPECT_EQ(directory.rowsMatched, 10);
    ASSERT_EQ(directory.unmatchedRows.size(), 2);
    EXPECT_TRUE(directory.unmatchedRows[0].startsWith("строка 12: Нигде")) << directory.unmatchedRows[0].toStdString();
    EXPECT_TRUE(directory.unmatchedRows[1].startsWith("строка 13: Без адреса"));
    const auto office = std::find_if(directory.addresses.begin(), directory.addresses.end(),
                                     [](const DirectoryAddress& address) { return address.office == "101"; });
    ASSERT_NE(office, directory.addresses.end());
    const int lenina = city.map.model.FindObjectID(office->objectId);
    ASSERT_GE(lenina, 0);
    EXPECT_EQ(city.map.model.object(lenina).House, "12к1");
    const auto names = [&] {
        QStringList list;
        for (const DirectoryCategory& category : directory.categories)
            list.append(category.name);
        return list;
    }();
    EXPECT_TRUE(names.contains("Рубрика") && names.contains("Новая") && names.contains("Почта и связь"));
    const QStringList report = ImportReportLines(city);
    EXPECT_TRUE(report.contains("Строк файла не сопоставлено: 2"));
    EXPECT_TRUE(report.contains("  строка 12: Нигде — ул. Несуществующая, 1"));
}

TEST_F(OsmImport, UnreadableFilesAreRefusedNamingFileAndPlace)
{
    const QString broken = QString::fromStdString(folder.file("broken.osm"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n<osm version=\"0.6\">\n  <node id=\"1\" lat=\"55\" lon=\"37\">\n  </way>\n</osm>\n");
    file.close();
    const Result<ImportedCity> xml = ImportOsmCity(broken, QString());
    ASSERT_FALSE(xml);
    EXPECT_TRUE(xml.error().contains("broken.osm") && xml.error().contains("строка 4")) << xml.error().toStdString();

    const QString garbage = QString::fromStdString(folder.file("garbage.osm.pbf"));
    QFile pbf(garbage);
    ASSERT_TRUE(pbf.open(QIODevice::WriteOnly));
    pbf.write(QByteArray(100, 'x'));
    pbf.close();
    const Result<ImportedCity> binary = ImportOsmCity(garbage, QString());
    ASSERT_FALSE(binary);
    EXPECT_TRUE(binary.error().contains("garbage.osm.pbf")) << binary.error().toStdString();

    EXPECT_FALSE(ImportOsmCity(QString::fromStdString(folder.file("missing.osm")), QString()));
    EXPECT_TRUE(ImportOsmCity(QString::fromStdString(folder.file("city.shp")), QString()).error().contains(".osm.pbf"));
}

TEST_F(OsmImport, StopsAndSignsGetTheIconsOfTheirKind)
{
    OsmXml xml;
    xml.rectangle(kCentreLon, kCentreLat, 0.0005, 0.0005, {{"building", "yes"}});
    xml.node(kCentreLon, kCentreLat + 0.001, {{"highway", "bus_stop"}, {"name", "Останкино"}});
    xml.node(kCentreLon, kCentreLat + 0.002, {{"railway", "tram_stop"}});
    xml.node(kCentreLon, kCentreLat + 0.003, {{"highway", "traffic_signals"}});
    xml.node(kCentreLon, kCentreLat + 0.004, {{"highway", "crossing"}});
    xml.node(kCentreLon, kCentreLat + 0.005, {{"traffic_sign", "RU:3.1"}});
    xml.node(kCentreLon, kCentreLat + 0.006, {{"traffic_sign", "city_limit"}}); // no icon of ours: not drawn
    const ImportedCity city = import(xml);

    EXPECT_EQ(city.map.stopsAndSigns, 5);
    QStringList icons;
    for (int index = 0; index < city.map.model.GetCount(); ++index) {
        const TPMXMapObjectMem& object = city.map.model.object(index);
        if (IsPointType(object.ObjType))
            icons.append(QString::number(object.ObjType) + " " + object.Zametka->IconName + " " + object.Name);
    }
    EXPECT_EQ(icons, QStringList({"7 STOP.BMP Останкино", "7 TRAM.BMP Трамвайная остановка", "8 SVETOFOR.BMP Светофор",
                                  "8 CROSSWALK.BMP Пешеходный переход", "8 NOENTRY.BMP Въезд запрещён"}));
}

TEST_F(OsmImport, CoastlineFillsTheSeaOnItsRight)
{
    OsmXml xml;
    // The coast runs east with the land on its left, the north; it comes in two ways.
    const long long west = xml.node(kCentreLon, kCentreLat), middle = xml.node(kCentreLon + 0.002, kCentreLat + 0.0002),
                    east = xml.node(kCentreLon + 0.004, kCentreLat);
    xml.way({west, middle}, {{"natural", "coastline"}});
    xml.way({middle, east}, {{"natural", "coastline"}});
    xml.rectangle(kCentreLon + 0.001, kCentreLat + 0.001, 0.0005, 0.0005, {{"building", "yes"}});
    xml.node(kCentreLon + 0.002, kCentreLat - 0.002, {{"highway", "give_way"}});
    xml.bounds(kCentreLon - 0.001, kCentreLat - 0.003, kCentreLon + 0.005, kCentreLat + 0.002);
    const ImportedCity city = import(xml);

    const auto inWater = [&](double lon, double lat) {
        const MapPoint point = city.map.projection.toMap({lon, lat});
        return findObject(city.map.model, [&](const TPMXMapObjectMem& object) {
                   return object.ObjType == otWater && ringContains(object.Geometry, point.x, point.y);
               }) != nullptr;
    };
    EXPECT_TRUE(inWater(kCentreLon + 0.002, kCentreLat - 0.001));
    EXPECT_TRUE(inWater(kCentreLon + 0.0001, kCentreLat - 0.0019));
    EXPECT_TRUE(inWater(kCentreLon - 0.0009, kCentreLat - 0.0029)) << "out to the box the extract was cut to";
    EXPECT_FALSE(inWater(kCentreLon + 0.002, kCentreLat + 0.001));
    EXPECT_FALSE(inWater(kCentreLon + 0.0039, kCentreLat + 0.0014));
}

TEST_F(OsmImport, CoastlinesLeavingAndEnteringTheExtractCloseOneSea)
{
    OsmXml xml;
    // A channel from the north edge of the extract to its east edge, between
    // the mainland in the south-west and land in the north-east corner: two
    // coastlines, each with the water on its right, make one sea.
    const auto at = [](double east, double north) { return GeoPoint{kCentreLon + 0.001 * east, kCentreLat + 0.001 * north}; };
    const auto node = [&](double east, double north) { return xml.node(at(east, north).lon, at(east, north).lat); };
    xml.way({node(3, 0), node(1, 2)}, {{"natural", "coastline"}});
    xml.way({node(2, 2), node(3, 1)}, {{"natural", "coastline"}});
    xml.rectangle(kCentreLon - 0.001, kCentreLat - 0.001, 0.0005, 0.0005, {{"building", "yes"}});
    const ImportedCity city = import(xml);

    const auto inWater = [&](double east, double north) {
        const MapPoint point = city.map.projection.toMap(at(east, north));
        return findObject(city.map.model, [&](const TPMXMapObjectMem& object) {
                   return object.ObjType == otWater && ringContains(object.Geometry, point.x, point.y);
               }) != nullptr;
    };
    EXPECT_TRUE(inWater(2.0, 1.5)) << "the channel";
    EXPECT_TRUE(inWater(1.6, 1.9)) << "the channel at the north edge";
    EXPECT_FALSE(inWater(1, 1)) << "the mainland";
    EXPECT_FALSE(inWater(-0.5, 1.5)) << "the mainland in the north-west";
    EXPECT_FALSE(inWater(2.9, 1.9)) << "the land in the corner";
}
