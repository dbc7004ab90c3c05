// Routes across the generated city of scale 10: the route itself on foot and
// by car, loading the graph file with the router built on it, and the size of
// the graph file against the edition's; and what a drawn route of 500 pieces
// adds to a street-level frame.
#include "DemoEdition.h"
#include "GraphFormat.h"
#include "MapRenderer.h"
#include "Router.h"
#include "SyntheticCity.h"
#include "Vdlconsts.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

QString graphPath()
{
    const QString edition = DemoEdition(1, 10, "VARINDEL_BENCH_ROUTES_EDITION");
    return QFileInfo(edition).dir().filePath(GraphFiles[1]);
}

StreetGraph loadedGraph()
{
    Result<StreetGraph> graph = loadGraphFile(graphPath());
    if (!graph)
        throw std::runtime_error(graph.error().toStdString());
    return std::move(graph).value();
}

// The junctions farthest to the south-west and to the north-east.
std::pair<MapPoint, MapPoint> acrossTheCity(const StreetGraph& graph)
{
    const auto sum = [](MapPoint p) { return p.x + p.y; };
    const auto [low, high] = std::minmax_element(graph.nodes.begin(), graph.nodes.end(),
                                                 [&](MapPoint a, MapPoint b) { return sum(a) < sum(b); });
    return {*low, *high};
}

void routeAcrossTheCity(benchmark::State& state, TravelMode mode)
{
    Router router(loadedGraph());
    const auto [from, to] = acrossTheCity(router.graph());
    double length = 0;
    for (auto _ : state) {
        const std::optional<Route> route = router.route(from, to, mode);
        if (!route)
            throw std::runtime_error("the corners of the city are not connected");
        benchmark::DoNotOptimize(route->legs.data());
        length = route->length;
    }
    state.counters["route_m"] = length;
    state.counters["edges"] = double(router.graph().edges.size());
}

void BM_RouteAcrossCityOnFoot(benchmark::State& state) { routeAcrossTheCity(state, TravelMode::Foot); }
void BM_RouteAcrossCityByCar(benchmark::State& state) { routeAcrossTheCity(state, TravelMode::Car); }
BENCHMARK(BM_RouteAcrossCityOnFoot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RouteAcrossCityByCar)->Unit(benchmark::kMillisecond);

// What opening an edition costs for its routes: the file read and checked,
// and the router's networks built.
void BM_GraphLoad(benchmark::State& state)
{
    const QString path = graphPath();
    for (auto _ : state) {
        Result<StreetGraph> graph = loadGraphFile(path);
        if (!graph)
            throw std::runtime_error(graph.error().toStdString());
        Router router(std::move(graph).value());
        benchmark::DoNotOptimize(router.graph().edges.data());
    }
    const QString edition = DemoEdition(1, 10, "VARINDEL_BENCH_ROUTES_EDITION");
    state.counters["graph_bytes"] = double(QFileInfo(path).size());
    state.counters["graph_share_of_edition"] = double(QFileInfo(path).size()) / double(QFileInfo(edition).size());
}
BENCHMARK(BM_GraphLoad)->Unit(benchmark::kMillisecond);

// A street-level frame of the synthetic city, with and without a route of
// 500 pieces across it; the difference is the route's cost.
void streetFrame(benchmark::State& state, bool withRoute)
{
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "varindel_bench";
        static char* argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
    }
    static const MapModel city = syntheticCity({20000, 2000, 200, 1});
    Viewport view;
    view.setSize(QSize(1280, 800));
    const QPointF centre = city.extent().center();
    view.centreOn(centre.x(), centre.y(), 5000);
    // A staircase of 500 pieces of 20 m through the centre, as a route
    // across a grid of streets runs.
    std::vector<MapPoint> route{{float(centre.x() - 2500), float(centre.y() - 2500)}};
    for (int i = 0; i < 500; ++i) {
        MapPoint next = route.back();
        (i % 2 == 0 ? next.x : next.y) += 20;
        route.push_back(next);
    }
    MapOptions options;
    options.NumberDom = true;
    options.NumberDomSizeFont = 10;
    RenderScene scene{city, nullptr, view, {}, options, {}, {}};
    if (withRoute)
        scene.route = route;
    MapRenderer renderer;
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        renderer.render(scene, painter, image.rect());
    }
}

void BM_StreetFrameWithoutRoute(benchmark::State& state) { streetFrame(state, false); }
void BM_StreetFrameWithRoute(benchmark::State& state) { streetFrame(state, true); }
BENCHMARK(BM_StreetFrameWithoutRoute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreetFrameWithRoute)->Unit(benchmark::kMillisecond);

} // namespace
