// Routes on small street graphs: shortest lengths and times against a plain
// Dijkstra on random graphs, one-way streets, ends that are not connected, a
// start that is the end, and the text of the directions.
#include "Directions.h"
#include "Router.h"

#include <gtest/gtest.h>

#include <cmath>
#include <queue>
#include <random>

namespace {

RoadLine road(std::vector<MapPoint> points, const QString& street = QString(), std::uint8_t roadClass = 0,
              std::uint8_t access = eaCars | eaFoot)
{
    return {std::move(points), street, roadClass, access};
}

// Seconds from node `from` to every node, by the book.
std::vector<double> plainDijkstra(const StreetGraph& graph, std::uint32_t from, TravelMode mode)
{
    std::vector<std::vector<std::pair<std::uint32_t, double>>> out(graph.nodes.size());
    for (const GraphEdge& edge : graph.edges) {
        if (!(edge.access & (mode == TravelMode::Foot ? eaFoot : eaCars)))
            continue;
        const double speed = mode == TravelMode::Foot ? walkingSpeed() : drivingSpeed(edge.roadClass);
        out[edge.from].push_back({edge.to, edge.length / speed});
        if (mode == TravelMode::Foot || !(edge.access & eaOneWay))
            out[edge.to].push_back({edge.from, edge.length / speed});
    }
    std::vector<double> best(graph.nodes.size(), INFINITY);
    using Item = std::pair<double, std::uint32_t>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> queue;
    best[from] = 0;
    queue.push({0, from});
    while (!queue.empty()) {
        const auto [cost, node] = queue.top();
        queue.pop();
        if (cost > best[node])
            continue;
        for (const auto& [next, step] : out[node])
            if (cost + step < best[next]) {
                best[next] = cost + step;
                queue.push({best[next], next});
            }
    }
    return best;
}

// Junctions scattered on a plane joined by straight roads of every class,
// some one-way, some for one kind of traveller only.
std::vector<RoadLine> randomRoads(std::mt19937& random, int junctions, int roads)
{
    std::uniform_real_distribution<float> coordinate(0, 2000);
    std::vector<MapPoint> places(static_cast<std::size_t>(junctions));
    for (MapPoint& place : places)
        place = {coordinate(random), coordinate(random)};
    std::uniform_int_distribution<int> pick(0, junctions - 1);
    std::uniform_int_distribution<int> roadClass(0, 4);
    std::uniform_int_distribution<int> access(1, 7);
    std::vector<RoadLine> lines;
    for (int i = 0; i < roads; ++i) {
        const MapPoint a = places[std::size_t(pick(random))];
        const MapPoint b = places[std::size_t(pick(random))];
        if (a == b)
            continue;
        // A bend in the middle, so lengths are not straight distances.
        const MapPoint bend{(a.x + b.x) / 2 + 30, (a.y + b.y) / 2 - 20};
        std::uint8_t flags = std::uint8_t(access(random));
        if (!(flags & (eaCars | eaFoot)))
            flags |= eaFoot;
        lines.push_back(road({a, bend, b}, QString(), std::uint8_t(roadClass(random)), flags));
    }
    return lines;
}

TEST(Router, RandomGraphsGiveTheTimesOfAPlainDijkstra)
{
    std::mt19937 random(7);
    int compared = 0;
    for (int round = 0; round < 20; ++round) {
        StreetGraph graph = buildStreetGraph(randomRoads(random, 40, 90));
        const StreetGraph copy = graph;
        Router router(std::move(graph));
        for (const TravelMode mode : {TravelMode::Foot, TravelMode::Car}) {
            for (std::uint32_t from = 0; from < copy.nodes.size(); from += 7) {
                const std::vector<double> best = plainDijkstra(copy, from, mode);
                for (std::uint32_t to = 0; to < copy.nodes.size(); to += 5) {
                    const std::optional<Route> route = router.route(copy.nodes[from], copy.nodes[to], mode);
                    // A junction no road of this mode reaches snaps elsewhere: skip it.
                    const bool fromServed = std::any_of(copy.edges.begin(), copy.edges.end(), [&](const GraphEdge& e) {
                        return (e.access & (mode == TravelMode::Foot ? eaFoot : eaCars)) && (e.from == from || e.to == from);
                    });
                    const bool toServed = std::any_of(copy.edges.begin(), copy.edges.end(), [&](const GraphEdge& e) {
                        return (e.access & (mode == TravelMode::Foot ? eaFoot : eaCars)) && (e.from == to || e.to == to);
                    });
                    if (!fromServed || !toServed)
                        continue;
                    if (!std::isfinite(best[to])) {
                        EXPECT_FALSE(route.has_value()) << "round " << round << " from " << from << " to " << to;
                        continue;
                    }
                    ASSERT_TRUE(route.has_value()) << "round " << round << " from " << from << " to " << to;
                    EXPECT_NEAR(route->seconds, best[to], 1e-3 * (1 + best[to]));
                    if (mode == TravelMode::Foot) {
                        EXPECT_NEAR(route->length, best[to] * walkingSpeed(), 0.05 * (1 + route->length / 100));
                    }
                    ++compared;
                }
            }
        }
    }
    EXPECT_GT(compared, 500);
}

// A square block: Ленина along the south and north, Мира along the west and
// east; the east side is one-way northward.
//   (0,200) ---- (300,200)
//      |             ^
//   (0,0) ------ (300,0)
std::vector<RoadLine> blockWithOneWay()
{
    return {road({{0, 0}, {300, 0}}, QStringLiteral("улица Ленина")),
            road({{0, 200}, {300, 200}}, QStringLiteral("Садовая улица")),
            road({{0, 0}, {0, 200}}, QStringLiteral("проспект Мира")),
            road({{300, 0}, {300, 200}}, QStringLiteral("Северный переулок"), 0, eaCars | eaFoot | eaOneWay)};
}

TEST(Router, OneWayStreetsBindCarsOnly)
{
    Router router(buildStreetGraph(blockWithOneWay()));
    // From the north-east corner down to the south-east corner.
    const std::optional<Route> walk = router.route({300, 200}, {300, 0}, TravelMode::Foot);
    ASSERT_TRUE(walk);
    EXPECT_NEAR(walk->length, 200, 0.01);
    EXPECT_NEAR(walk->seconds, 200 / walkingSpeed(), 0.01);
    const std::optional<Route> drive = router.route({300, 200}, {300, 0}, TravelMode::Car);
    ASSERT_TRUE(drive);
    EXPECT_NEAR(drive->length, 300 + 200 + 300, 0.01);
    // Northward the one-way street is the short way for cars too.
    const std::optional<Route> back = router.route({300, 0}, {300, 200}, TravelMode::Car);
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->length, 200, 0.01);
}

TEST(Router, StartsAndEndsAtTheNearestPointsOfTheRoads)
{
    Router router(buildStreetGraph(blockWithOneWay()));
    // Two buildings south of Ленина, 100 m apart.
    const std::optional<Route> route = router.route({50, -20}, {150, -30}, TravelMode::Foot);
    ASSERT_TRUE(route);
    EXPECT_NEAR(route->length, 100, 0.01);
    const std::vector<MapPoint> line = route->line();
    ASSERT_GE(line.size(), 2u);
    EXPECT_NEAR(line.front().x, 50, 0.01);
    EXPECT_NEAR(line.front().y, 0, 0.01);
    EXPECT_NEAR(line.back().x, 150, 0.01);
    // Inside the one-way street a car cannot go back: round the block.
    const std::optional<Route> drive = router.route({320, 150}, {320, 50}, TravelMode::Car);
    ASSERT_TRUE(drive);
    EXPECT_NEAR(drive->length, 50 + 300 + 200 + 300 + 50, 0.01);
}

TEST(Router, EndsThatAreNotConnectedHaveNoRoute)
{
    std::vector<RoadLine> roads = blockWithOneWay();
    roads.push_back(road({{5000, 0}, {5400, 0}}, QStringLiteral("Дальняя улица")));
    // A footpath is no road for cars.
    roads.push_back(road({{0, 200}, {0, 900}}, QStringLiteral("Тропа"), 3, eaFoot));
    Router router(buildStreetGraph(roads));
    EXPECT_FALSE(router.route({100, 10}, {5200, 10}, TravelMode::Foot));
    EXPECT_FALSE(router.route({100, 10}, {5200, 10}, TravelMode::Car));
    EXPECT_TRUE(router.route({100, 10}, {0, 900}, TravelMode::Foot));
    Router empty(StreetGraph{});
    EXPECT_FALSE(empty.route({0, 0}, {10, 10}, TravelMode::Foot));
}

TEST(Router, StartAtTheEndIsAnEmptyRoute)
{
    Router router(buildStreetGraph(blockWithOneWay()));
    for (const TravelMode mode : {TravelMode::Foot, TravelMode::Car}) {
        const std::optional<Route> route = router.route({120, 15}, {120, 15}, mode);
        ASSERT_TRUE(route);
        EXPECT_EQ(route->length, 0);
        EXPECT_EQ(route->seconds, 0);
        EXPECT_TRUE(route->legs.empty());
        EXPECT_EQ(directionsText(*route, router.graph(), mode), QStringLiteral("Вы уже на месте."));
    }
}

TEST(Router, RepeatedQueriesDoNotKeepTheEndsOfEarlierOnes)
{
    Router router(buildStreetGraph(blockWithOneWay()));
    const std::optional<Route> first = router.route({0, 100}, {300, 100}, TravelMode::Foot);
    const std::optional<Route> second = router.route({100, 0}, {200, 0}, TravelMode::Foot);
    const std::optional<Route> again = router.route({0, 100}, {300, 100}, TravelMode::Foot);
    ASSERT_TRUE(first && second && again);
    EXPECT_NEAR(second->length, 100, 0.01);
    EXPECT_NEAR(again->length, first->length, 0.01);
}

TEST(Directions, NameTheStreetsTurnsAndLengths)
{
    Router router(buildStreetGraph(blockWithOneWay()));
    // From Мира near the south-west corner, east along Ленина, then north.
    const std::optional<Route> route = router.route({-10, 50}, {310, 120}, TravelMode::Foot);
    ASSERT_TRUE(route);
    EXPECT_EQ(directionsText(*route, router.graph(), TravelMode::Foot),
              QStringLiteral("Идите 50 м по проспекту Мира, поверните налево на улицу Ленина, идите 300 м, "
                             "поверните налево на Северный переулок, идите 120 м."));
    const std::optional<Route> drive = router.route({310, 150}, {150, 210}, TravelMode::Car);
    ASSERT_TRUE(drive);
    EXPECT_EQ(directions(*drive, router.graph(), TravelMode::Car),
              QStringList({QStringLiteral("Поезжайте 50 м по Северному переулку"),
                           QStringLiteral("поверните налево на Садовую улицу, поезжайте 150 м")}));
}

TEST(Directions, JoinUnnamedPiecesAndJogsAcrossJunctions)
{
    // An unnamed road in three pieces, then a 2 m jog on Мира, then Ленина.
    Router router(buildStreetGraph({road({{0, 0}, {100, 0}}), road({{100, 0}, {200, 0}}), road({{200, 0}, {300, 0}}),
                                    road({{300, 0}, {300, 2}}, QStringLiteral("проспект Мира")),
                                    road({{300, 2}, {300, 100}}, QStringLiteral("улица Ленина"))}));
    const std::optional<Route> route = router.route({0, 0}, {300, 100}, TravelMode::Foot);
    ASSERT_TRUE(route);
    EXPECT_EQ(directions(*route, router.graph(), TravelMode::Foot),
              QStringList({QStringLiteral("Идите 300 м по дороге без названия"),
                           QStringLiteral("поверните налево на улицу Ленина, идите 100 м")}));
}

TEST(Directions, InflectStreetNamesAndRoundFigures)
{
    EXPECT_EQ(alongStreet(QStringLiteral("улица Ленина")), QStringLiteral("улице Ленина"));
    EXPECT_EQ(ontoStreet(QStringLiteral("Зелёная улица")), QStringLiteral("Зелёную улицу"));
    EXPECT_EQ(alongStreet(QStringLiteral("Синяя улица")), QStringLiteral("Синей улице"));
    EXPECT_EQ(alongStreet(QStringLiteral("Широкий проспект")), QStringLiteral("Широкому проспекту"));
    EXPECT_EQ(alongStreet(QStringLiteral("Новое шоссе")), QStringLiteral("Новому шоссе"));
    EXPECT_EQ(ontoStreet(QStringLiteral("Tverskaya")), QStringLiteral("Tverskaya"));
    EXPECT_EQ(alongStreet(QStringLiteral("2-я Пионерская улица")), QStringLiteral("2-й Пионерской улице"));
    EXPECT_EQ(ontoStreet(QStringLiteral("2-я Пионерская улица")), QStringLiteral("2-ю Пионерскую улицу"));
    EXPECT_EQ(alongStreet(QStringLiteral("3-й Северный переулок")), QStringLiteral("3-му Северному переулку"));
    EXPECT_EQ(lengthText(346), QStringLiteral("350 м"));
    EXPECT_EQ(lengthText(12345), QStringLiteral("12,3 км"));
    EXPECT_EQ(durationText(20), QStringLiteral("1 мин"));
    EXPECT_EQ(durationText(3900), QStringLiteral("1 ч 5 мин"));
    EXPECT_EQ(turnBetween({0, 0}, {10, 0}, {10, 10}), Turn::Left);
    EXPECT_EQ(turnBetween({0, 0}, {10, 0}, {10, -10}), Turn::Right);
    EXPECT_EQ(turnBetween({0, 0}, {10, 0}, {20, 1}), Turn::Straight);
    EXPECT_EQ(turnBetween({0, 0}, {10, 0}, {0, 0.5f}), Turn::Back);
}

} // namespace
