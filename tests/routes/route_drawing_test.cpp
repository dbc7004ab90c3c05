// A route on a small hand-made street grid: drawn over the streets at the
// pixels of its streets with its ends marked, kept by the map engine until a
// new map comes, and planned for the map window with its summary.
#include "GraphFormat.h"
#include "MapEngine.h"
#include "MapRenderer.h"
#include "MapStyle.h"
#include "RoutePlanner.h"

#include "SyntheticCity.h"
#include "TestEnvironment.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr double kStreetLevel = 2000; // 100 m is 93 pixels
const QSize kViewSize(400, 300);

// Three streets east-west and three north-south, 100 m apart, around (0, 0).
MapModel streetGrid()
{
    MapModel model;
    std::int32_t id = 1;
    for (int i = -1; i <= 1; ++i) {
        TPMXMapObjectMem across = lineObject(id++, otRoad, {{-100, float(i * 100)}, {0, float(i * 100)}, {100, float(i * 100)}});
        across.Street = QStringLiteral("улица %1").arg(i + 2);
        model.append(across);
        TPMXMapObjectMem along = lineObject(id++, otRoad, {{float(i * 100), -100}, {float(i * 100), 0}, {float(i * 100), 100}});
        along.Street = QStringLiteral("проспект %1").arg(i + 2);
        model.append(along);
    }
    return model;
}

Viewport view()
{
    Viewport view;
    view.setSize(kViewSize);
    view.centreOn(0, 0, kStreetLevel);
    return view;
}

QImage render(const MapModel& model, std::vector<MapPoint> route)
{
    const Viewport shown = view();
    MapOptions options;
    options.NumberDom = false;
    QImage image(kViewSize, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    MapRenderer renderer;
    RenderScene scene{model, nullptr, shown, {}, options, {}, {}};
    scene.route = std::move(route);
    renderer.render(scene, painter, image.rect());
    return image;
}

QColor at(const QImage& image, double x, double y) { return image.pixelColor(view().mapToPixel(x, y).toPoint()); }

TEST(RouteDrawing, FollowsItsStreetsWithItsEndsMarked)
{
    const MapModel grid = streetGrid();
    Router router(buildStreetGraph(roadLinesOf(grid)));
    // From the south street to the south half of the east one: one shortest way.
    const std::optional<Route> route = router.route({-50, -110}, {110, -50}, TravelMode::Foot);
    ASSERT_TRUE(route);
    EXPECT_NEAR(route->length, 150 + 50, 0.01);
    const QImage drawn = render(grid, route->line());
    const QImage plain = render(grid, {});
    EXPECT_EQ(at(drawn, 50, -100), MapStyle::routeColor());
    EXPECT_EQ(at(drawn, 100, -80), MapStyle::routeColor());
    EXPECT_EQ(at(drawn, -50, -100), MapStyle::routeStartColor());
    EXPECT_EQ(at(drawn, 100, -50), MapStyle::routeEndColor());
    // Streets off the route look as they do without one.
    EXPECT_EQ(at(drawn, -100, 50), at(plain, -100, 50));
    EXPECT_EQ(at(drawn, 0, 0), at(plain, 0, 0));
    EXPECT_NE(at(plain, 50, -100), MapStyle::routeColor());
}

TEST(RouteDrawing, TheEngineKeepsTheRouteUntilANewMap)
{
    MapEngine engine;
    engine.setModel(streetGrid());
    engine.setViewSize(kViewSize);
    engine.ViewXY(0, 0, kStreetLevel);
    const QImage plain = engine.picture();
    engine.SetRoute({{-100, -100}, {100, -100}});
    const QImage drawn = engine.picture();
    const QPoint middle = view().mapToPixel(0, -100).toPoint();
    EXPECT_NE(drawn.pixelColor(middle), plain.pixelColor(middle));
    engine.setModel(streetGrid());
    EXPECT_TRUE(engine.route().empty());
}

TEST(RoutePlanner, PlansOnceBothEndsAreChosenAndSaysWhenNotFound)
{
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("demoomk.graph"));
    RoutePlanner planner;
    planner.load(path);
    EXPECT_FALSE(planner.available());
    EXPECT_TRUE(planner.unavailableReason().startsWith(QStringLiteral("Не удалось открыть файл маршрутов")));

    std::vector<RoadLine> roads = roadLinesOf(streetGrid());
    roads.push_back({{{1000, 0}, {1100, 0}}, QStringLiteral("Дальняя улица"), 0, eaCars | eaFoot});
    ASSERT_TRUE(saveGraphFile(buildStreetGraph(roads), path));
    planner.load(path);
    ASSERT_TRUE(planner.available());
    planner.setFrom({{-100, -110}, QStringLiteral("улица 1, 1")});
    EXPECT_FALSE(planner.plan());
    planner.setTo({{100, -110}, QStringLiteral("улица 1, 9")});
    std::optional<RoutePlan> plan = planner.plan();
    ASSERT_TRUE(plan && plan->found);
    EXPECT_EQ(plan->summary, QStringLiteral("Пешком: 200 м, 2 мин"));
    EXPECT_EQ(plan->directions, QStringList{QStringLiteral("Идите 200 м по улице 1")});
    planner.setMode(TravelMode::Car);
    EXPECT_EQ(planner.plan()->summary, QStringLiteral("На машине: 200 м, 1 мин"));
    planner.setTo({{1050, 10}, QStringLiteral("Дальняя улица, 1")});
    plan = planner.plan();
    ASSERT_TRUE(plan);
    EXPECT_FALSE(plan->found);
    EXPECT_EQ(plan->summary, QStringLiteral("Маршрут не найден"));
    EXPECT_TRUE(plan->line.empty());
    planner.clear();
    EXPECT_FALSE(planner.plan());
}

} // namespace
