// Bookmarks as GPX 1.1 and KML 2.2, checked by xmllint against the schema
// parts they use and read back; the geographic reference of imported editions.
#include "GeoReference.h"
#include "OsmMap.h"
#include "PlaceFiles.h"
#include "ReadBack.h"
#include "SaveFile.h"
#include "SyntheticCity.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"

#include "Database.h"
#include "Query.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

const std::vector<GeoPlace> kPlaces{
    {QStringLiteral("Дом & работа <главная> \"офис\""), QStringLiteral("Ленина, 10/2"), {54.9812345, 73.3712345}},
    {QStringLiteral("Склад; ворота 3"), {}, {-33.8688, 151.2093}},
};

void expectSamePlaces(const QJsonValue& read)
{
    const QJsonArray places = read.toArray();
    ASSERT_EQ(places.size(), static_cast<qsizetype>(kPlaces.size()));
    for (std::size_t index = 0; index < kPlaces.size(); ++index) {
        const QJsonObject place = places[static_cast<qsizetype>(index)].toObject();
        EXPECT_EQ(place["name"].toString(), kPlaces[index].name);
        EXPECT_EQ(place["description"].toString(), kPlaces[index].description);
        EXPECT_NEAR(place["lat"].toDouble(), kPlaces[index].where.latitude, 1e-7);
        EXPECT_NEAR(place["lon"].toDouble(), kPlaces[index].where.longitude, 1e-7);
    }
}

} // namespace

TEST(PlaceFiles, GpxIsValidAgainstTheSchemaAndReadsBack)
{
    TemporaryFolder folder;
    const QString path = WrittenFile(folder, "bookmarks.gpx", PlacesGpx(kPlaces));
    EXPECT_EQ(SchemaComplaints(QStringLiteral("gpx-minimal.xsd"), path), QString());
    expectSamePlaces(ReadBack(QStringLiteral("places"), path));
}

TEST(PlaceFiles, KmlIsValidAgainstTheSchemaAndPutsTheLongitudeFirst)
{
    TemporaryFolder folder;
    const QString path = WrittenFile(folder, "bookmarks.kml", PlacesKml(kPlaces, QStringLiteral("Закладки")));
    EXPECT_EQ(SchemaComplaints(QStringLiteral("kml-minimal.xsd"), path), QString());
    expectSamePlaces(ReadBack(QStringLiteral("places"), path));
}

TEST(PlaceFiles, SchemasRejectWhatTheyShould)
{
    // The schema parts must catch a swapped or missing coordinate, or they prove nothing.
    TemporaryFolder folder;
    QByteArray gpx = PlacesGpx(kPlaces);
    gpx.replace("lat=\"-33.8688000\"", "lat=\"151.2093000\"");
    EXPECT_NE(SchemaComplaints(QStringLiteral("gpx-minimal.xsd"), WrittenFile(folder, "bad.gpx", gpx)), QString());
    QByteArray kml = PlacesKml(kPlaces, QStringLiteral("Закладки"));
    kml.replace("151.2093000,-33.8688000", "151.2093000");
    EXPECT_NE(SchemaComplaints(QStringLiteral("kml-minimal.xsd"), WrittenFile(folder, "bad.kml", kml)), QString());
}

TEST(PlaceFiles, BookmarksArePlacedByTheirBuildingsAndGoneOnesNamed)
{
    MapModel map;
    TPMXMapObjectMem building = squareObject(5, otBuilding, 1500, 800, 20);
    building.Street = QStringLiteral("Мира");
    building.House = QStringLiteral("3");
    map.assign({building});
    const GeoReference reference({55.0, 73.0}, {1000, 1000});
    const PlacedOnEarth placed =
        PlaceOnEarth({{QStringLiteral("Дом"), 5}, {QStringLiteral("Снесён"), 99}}, map, reference);
    ASSERT_EQ(placed.places.size(), 1u);
    EXPECT_EQ(placed.places[0].description, QStringLiteral("Мира, 3"));
    EXPECT_LT(placed.places[0].where.latitude, 55.0); // south of the centre
    EXPECT_GT(placed.places[0].where.longitude, 73.0); // east of it
    EXPECT_EQ(placed.notOnMap, QStringList{QStringLiteral("Снесён")});
}

TEST(GeoReference, UndoesTheImportersProjection)
{
    const GeoPoint centre{73.37, 54.98};
    const LocalProjection projection(centre, GeoPoint{73.2, 54.9});
    const GeoReference reference({centre.lat, centre.lon}, projection.toMap(centre));
    for (const GeoPoint point : {GeoPoint{73.2, 54.9}, GeoPoint{73.5123, 55.0712}, centre}) {
        const GeoCoordinate back = reference.toGeo(projection.toMap(point));
        EXPECT_NEAR(back.latitude, point.lat, 1e-6);
        EXPECT_NEAR(back.longitude, point.lon, 1e-6);
    }
    const std::optional<GeoReference> stored = GeoReference::fromData(reference.toData());
    ASSERT_TRUE(stored);
    const GeoCoordinate again = stored->toGeo(projection.toMap({73.5123, 55.0712}));
    EXPECT_NEAR(again.latitude, 55.0712, 1e-6);
    EXPECT_NEAR(again.longitude, 73.5123, 1e-6);
}

TEST(GeoReference, RefusesDataThatIsNoPlaceOnTheGlobe)
{
    for (const char* data : {"", "54.98 73.37 1000", "54.98 73.37 1000 x", "95 73.37 0 0", "54.98 200 0 0",
                             "nan 73.37 0 0", "54.98 73.37 inf 0"})
        EXPECT_FALSE(GeoReference::fromData(data)) << data;
}

TEST(GeoReference, ReadFromTheEditionsContentItemsOrNone)
{
    TemporaryFolder folder;
    const GeoReference reference({56.01, 92.87}, {2500, 3100});
    TinyEdition referenced(folder.file("osm.db"));
    referenced.addContent(9, "100");
    referenced.addContent(kGeoReferenceContent, reference.toData());
    TinyEdition demo(folder.file("demo.db"));
    demo.addContent(9, "100");

    for (const auto& [file, expected] : {std::pair{"osm.db", true}, std::pair{"demo.db", false}}) {
        TDatabase database;
        database.DatabaseFileName = QString::fromStdString(folder.file(file));
        ASSERT_TRUE(database.OpenPlain().ok());
        TQuery content(database, QStringLiteral("qContent"), QStringLiteral("select * from Content"));
        const std::optional<GeoReference> read = ReadGeoReference(content);
        ASSERT_EQ(read.has_value(), expected) << file;
        if (read) {
            EXPECT_NEAR(read->toGeo({2500, 3100}).latitude, 56.01, 1e-9);
            EXPECT_NEAR(read->toGeo({2500, 3100}).longitude, 92.87, 1e-9);
        }
    }
}
