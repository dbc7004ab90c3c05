// The map's route menu on a real map widget: offered for buildings only when
// the edition has a graph, both ends draw the route and fill the list area,
// the mode switch replans, ends that do not meet say so, and Escape clears.
#include "GraphFormat.h"
#include "TDataMap.h"
#include "TMapRoutes.h"

#include "SyntheticCity.h"
#include "TestEnvironment.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TPMXMapObjectMem street(std::int32_t id, const QString& name, std::vector<MapPoint> points)
{
    TPMXMapObjectMem road = lineObject(id, otRoad, std::move(points));
    road.Street = name;
    return road;
}

TPMXMapObjectMem house(std::int32_t id, const QString& number, double x, double y)
{
    TPMXMapObjectMem building = squareObject(id, otBuilding, x, y, 10);
    building.Street = QStringLiteral("улица Ленина");
    building.House = number;
    building.HasAddress = true;
    return building;
}

MapModel streetTown()
{
    MapModel model;
    model.append(street(1, QStringLiteral("улица Ленина"), {{0, 0}, {300, 0}}));
    model.append(street(2, QStringLiteral("проспект Мира"), {{300, 0}, {300, 200}}));
    model.append(street(3, QStringLiteral("Дальняя улица"), {{2000, 0}, {2100, 0}}));
    model.append(house(10, QStringLiteral("1"), 20, 15));
    model.append(house(11, QStringLiteral("2"), 320, 150));
    model.append(house(12, QStringLiteral("3"), 2050, 15));
    return model;
}

struct RouteWindow {
    TDataMap map;
    QMenu menu;
    QStringList shown;
    int restored = 0;
    TMapRoutes routes{&map, &menu, [this](const QStringList& lines) { shown = lines; }, [this] { ++restored; },
                      nullptr};

    RouteWindow()
    {
        map.setModel(streetTown());
        map.resize(400, 300);
    }
    void pick(std::int32_t id) { ASSERT_TRUE(map.EditObject(map.FindObjectID(id))); }
    void openMenu() { emit menu.aboutToShow(); }
};

QString savedGraph(const TemporaryFolder& folder)
{
    QString path = QString::fromStdString(folder.file("demoomk.graph"));
    EXPECT_TRUE(saveGraphFile(buildStreetGraph(roadLinesOf(streetTown())), path));
    return path;
}

TEST(MapRoutes, WithoutAGraphTheMenuOffersNoRoutes)
{
    TemporaryFolder folder;
    RouteWindow window;
    EXPECT_TRUE(window.routes.LoadGraph(QString::fromStdString(folder.file("none.graph"))).isEmpty());
    window.pick(10);
    window.openMenu();
    EXPECT_FALSE(window.routes.NRouteFrom->isVisible());
    EXPECT_FALSE(window.routes.NRouteClear->isVisible());

    const QString damaged = QString::fromStdString(folder.file("bad.graph"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("VRTG but not really a graph file....");
    file.close();
    EXPECT_EQ(window.routes.LoadGraph(damaged), QStringLiteral("Это не файл маршрутов (%1)").arg(damaged));
    window.openMenu();
    EXPECT_FALSE(window.routes.NRouteTo->isVisible());
}

TEST(MapRoutes, BothEndsDrawTheRouteAndFillTheList)
{
    TemporaryFolder folder;
    RouteWindow window;
    ASSERT_TRUE(window.routes.LoadGraph(savedGraph(folder)).isEmpty());
    window.pick(10);
    window.openMenu();
    ASSERT_TRUE(window.routes.NRouteFrom->isVisible());
    EXPECT_FALSE(window.routes.NRouteOnFoot->isVisible());
    window.routes.NRouteFrom->trigger();
    EXPECT_TRUE(window.map.route().empty());
    window.pick(11);
    window.routes.NRouteTo->trigger();
    ASSERT_FALSE(window.map.route().empty());
    EXPECT_EQ(window.shown, QStringList({QStringLiteral("Пешком: 430 м, 5 мин"),
                                         QStringLiteral("Идите 280 м по улице Ленина"),
                                         QStringLiteral("Поверните налево на проспект Мира, идите 150 м")}));
    window.openMenu();
    EXPECT_TRUE(window.routes.NRouteByCar->isVisible());
    window.routes.NRouteByCar->trigger();
    EXPECT_TRUE(window.shown.value(0).startsWith(QStringLiteral("На машине: 430 м")));

    // Escape clears the route and gives the list area back.
    QTest::keyClick(&window.map, Qt::Key_Escape);
    EXPECT_TRUE(window.map.route().empty());
    EXPECT_EQ(window.restored, 1);
    window.openMenu();
    EXPECT_FALSE(window.routes.NRouteClear->isVisible());
}

TEST(MapRoutes, EndsThatDoNotMeetSaySo)
{
    TemporaryFolder folder;
    RouteWindow window;
    ASSERT_TRUE(window.routes.LoadGraph(savedGraph(folder)).isEmpty());
    window.pick(10);
    window.routes.NRouteFrom->trigger();
    window.pick(12);
    window.routes.NRouteTo->trigger();
    EXPECT_TRUE(window.map.route().empty());
    EXPECT_EQ(window.shown, QStringList{QStringLiteral("Маршрут не найден")});
    window.routes.NRouteClear->trigger();
    EXPECT_EQ(window.restored, 1);
}

} // namespace
