// The generated city's route graph: written beside the edition under its
// name, and a street network on which buildings far apart are joined by
// routes that follow the streets, on foot and by car.
#include "City.h"
#include "EditionGenerator.h"
#include "GraphFormat.h"
#include "Router.h"
#include "TestEnvironment.h"
#include "Vdlconsts.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RouteGraph, IsWrittenBesideTheEditionUnderItsName)
{
    TemporaryFolder folder;
    const QString edition = QString::fromStdString(folder.file("plain.sqlite"));
    ASSERT_TRUE(WritePlainEdition({2, 11, 0.03}, edition));
    const QString graphPath = QString::fromStdString(folder.file(GraphFiles[2]));
    EXPECT_EQ(EditionGraphPath(2, edition), graphPath);
    const Result<StreetGraph> graph = loadGraphFile(graphPath);
    ASSERT_TRUE(graph) << graph.error().toStdString();
    EXPECT_GT(graph.value().edges.size(), 20u);
    EXPECT_LT(QFileInfo(graphPath).size() * 10, QFileInfo(edition).size());
}

// The smallest distance from a point to the roads of the city.
double distanceToRoads(const City& city, MapPoint point)
{
    double best = INFINITY;
    for (const TPMXMapObjectMem& road : city.objects) {
        if (road.ObjType != otRoad)
            continue;
        for (std::size_t i = 0; i + 1 < road.Geometry.size(); ++i) {
            const MapPoint a = road.Geometry[i];
            const MapPoint b = road.Geometry[i + 1];
            const double dx = b.x - a.x, dy = b.y - a.y;
            const double t = std::clamp(((point.x - a.x) * dx + (point.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            best = std::min(best, std::hypot(a.x + t * dx - point.x, a.y + t * dy - point.y));
        }
    }
    return best;
}

TEST(RouteGraph, JoinsFarBuildingsAlongTheStreets)
{
    const City city = BuildCity({1, 7, 0.2});
    Router router(buildStreetGraph(roadLinesOf(city.objects)));
    std::vector<MapPoint> buildings;
    for (const TPMXMapObjectMem& object : city.objects)
        if (object.ObjType == otBuilding && object.HasAddress)
            buildings.push_back({object.X, object.Y});
    ASSERT_GT(buildings.size(), 50u);
    int found = 0;
    for (std::size_t i = 0; i < 10; ++i) {
        const MapPoint from = buildings[i * 3];
        const MapPoint to = buildings[buildings.size() - 1 - i * 5];
        for (const TravelMode mode : {TravelMode::Foot, TravelMode::Car}) {
            const std::optional<Route> route = router.route(from, to, mode);
            if (!route)
                continue;
            ++found;
            EXPECT_GE(route->length, std::hypot(from.x - to.x, from.y - to.y) - 200);
            for (const MapPoint& point : route->line())
                EXPECT_LT(distanceToRoads(city, point), 0.5);
        }
    }
    // Streets stop at the river where bridges are few; most pairs still meet.
    EXPECT_GE(found, 16);
}

} // namespace
