// Routes across the generated city of scale 10: the route itself on foot and
// by car, loading the graph file with the router built on it, and the size of
// the graph file against the edition's.
#include "DemoEdition.h"
#include "GraphFormat.h"
#include "Router.h"
#include "Vdlconsts.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace
