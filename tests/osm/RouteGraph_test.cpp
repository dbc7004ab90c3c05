// Roads of an OpenStreetMap extract in the route graph: who may use them
// from highway, access, foot, motor_vehicle, oneway and junction, routes on a
// small imported block, and the graph file the import writes beside the edition.
#include "OsmMap.h"
#include "OsmReader.h"
#include "OsmTestFiles.h"
#include "RoadAccess.h"

#include "GraphFormat.h"
#include "Router.h"
#include "TestEnvironment.h"
#include "Vdlconsts.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

TEST(RoadAccess, HighwayGivesTheDefaultAndTagsOverrideIt)
{
    EXPECT_EQ(roadUseOf("residential", {}).access, eaCars | eaFoot);
    for (const char* path : {"pedestrian", "footway", "path", "steps"})
        EXPECT_EQ(roadUseOf(path, {}).access, eaFoot) << path;
    EXPECT_EQ(roadUseOf("motorway", {}).access, eaCars | eaOneWay);
    EXPECT_EQ(roadUseOf("trunk", {}).access, eaCars);
    EXPECT_EQ(roadUseOf("service", {.access = "private"}).access, 0);
    EXPECT_EQ(roadUseOf("service", {.access = "no", .foot = "yes"}).access, eaFoot);
    EXPECT_EQ(roadUseOf("pedestrian", {.motorVehicle = "destination"}).access, eaCars | eaFoot);
    EXPECT_EQ(roadUseOf("residential", {.foot = "no"}).access, eaCars);
    EXPECT_EQ(roadUseOf("residential", {.motorVehicle = "no"}).access, eaFoot);
    EXPECT_EQ(roadUseOf("residential", {.oneway = "yes"}).access, eaCars | eaFoot | eaOneWay);
    EXPECT_FALSE(roadUseOf("residential", {.oneway = "yes"}).reversed);
    EXPECT_TRUE(roadUseOf("residential", {.oneway = "-1"}).reversed);
    EXPECT_EQ(roadUseOf("primary", {.junction = "roundabout"}).access, eaCars | eaFoot | eaOneWay);
    EXPECT_EQ(roadUseOf("primary", {.oneway = "no", .junction = "roundabout"}).access, eaCars | eaFoot);
    // A one-way footway binds nobody.
    EXPECT_EQ(roadUseOf("footway", {.oneway = "yes"}).access, eaFoot);
}

// A block of four streets and a footway across it, at 55° north:
//   D --Садовая (one-way east)-- E ------------ F
//   |                            | footway      | Северный (one-way south, drawn north)
//   A --улица Ленина------------ B ------------ C
QString blockFile(const QString& folder)
{
    OsmXml xml;
    const long long a = xml.node(37.000, 55.000), b = xml.node(37.002, 55.000), c = xml.node(37.004, 55.000);
    const long long d = xml.node(37.000, 55.001), e = xml.node(37.002, 55.001), f = xml.node(37.004, 55.001);
    xml.way({a, b, c}, {{"highway", "residential"}, {"name", "улица Ленина"}});
    xml.way({d, e, f}, {{"highway", "residential"}, {"name", "Садовая улица"}, {"oneway", "yes"}});
    xml.way({a, d}, {{"highway", "residential"}, {"name", "проспект Мира"}});
    xml.way({c, f}, {{"highway", "residential"}, {"name", "Северный переулок"}, {"oneway", "-1"}});
    xml.way({b, e}, {{"highway", "footway"}});
    xml.rectangle(37.0005, 55.0002, 0.0005, 0.0003, {{"building", "yes"}});
    return xml.save(folder, QStringLiteral("block.osm"));
}

TEST(OsmRouteGraph, ImportedRoadsKeepOneWayStreetsAndFootways)
{
    TemporaryFolder folder;
    const Result<OsmFeatures> features = ReadOsmFile(blockFile(QString::fromStdString(folder.path())));
    ASSERT_TRUE(features) << features.error().toStdString();
    const OsmMap map = BuildOsmMap(features.value());
    ASSERT_EQ(map.roadLines.size(), 5u);
    Router router(buildStreetGraph(map.roadLines));
    const std::vector<MapPoint>& nodes = router.graph().nodes;
    const auto corner = [&](double east, double north) {
        // Corners by their place in the block: the extremes of the junctions.
        MapPoint best = nodes.front();
        for (const MapPoint& node : nodes)
            if (node.x * east + node.y * north > best.x * east + best.y * north)
                best = node;
        return best;
    };
    const MapPoint southWest = corner(-1, -1), northWest = corner(-1, 1), northEast = corner(1, 1),
                   southEast = corner(1, -1);
    const double width = southEast.x - southWest.x;
    const double height = northWest.y - southWest.y;
    ASSERT_GT(width, 200);
    ASSERT_GT(height, 100);

    // On foot: west along Садовая against its direction.
    const std::optional<Route> walk = router.route(northEast, northWest, TravelMode::Foot);
    ASSERT_TRUE(walk);
    EXPECT_NEAR(walk->length, width, 1);
    // By car Садовая goes east only and Северный south only: round by the south.
    const std::optional<Route> drive = router.route(northEast, northWest, TravelMode::Car);
    ASSERT_TRUE(drive);
    EXPECT_NEAR(drive->length, width + 2 * height, 1);
    const std::optional<Route> north = router.route(southEast, northEast, TravelMode::Car);
    ASSERT_TRUE(north);
    EXPECT_NEAR(north->length, 2 * width + height, 1);
    // The footway across the block is a short cut on foot only.
    const MapPoint southMiddle{(southWest.x + southEast.x) / 2, southWest.y};
    const MapPoint northMiddle{(northWest.x + northEast.x) / 2, northWest.y};
    EXPECT_NEAR(router.route(southMiddle, northMiddle, TravelMode::Foot)->length, height, 1);
    EXPECT_GT(router.route(southMiddle, northMiddle, TravelMode::Car)->length, height + width / 2 - 1);
}

TEST(OsmRouteGraph, ImportWritesTheGraphBesideTheEdition)
{
    TemporaryFolder folder;
    const QString osm = blockFile(QString::fromStdString(folder.path()));
    const QString edition = QString::fromStdString(folder.file("city.abs"));
    QProcess process;
    process.start(QString(VARINDEL_BIN_DIR) + "/varindel-edition", {"import", "--edition", "2", edition, "--osm", osm});
    ASSERT_TRUE(process.waitForFinished(300000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const Result<StreetGraph> graph = loadGraphFile(QDir(QString::fromStdString(folder.path())).filePath(GraphFiles[2]));
    ASSERT_TRUE(graph) << graph.error().toStdString();
    EXPECT_EQ(graph.value().edges.size(), 7u);
    EXPECT_EQ(std::count_if(graph.value().edges.begin(), graph.value().edges.end(),
                            [](const GraphEdge& edge) { return edge.access & eaOneWay; }),
              3);
}

} // namespace
