// The map engine on a synthetic city of 200 000 buildings, 20 000 road
// segments and 2 000 other objects: loading the map from its file blob, and
// hit-testing a click at street level and over the whole city.
//
//   build-*/bench/varindel_bench --benchmark_filter=MapEngine
#include "MapEngine.h"
#include "MapFormat.h"
#include "SyntheticCity.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

const QSize kFrame(1920, 1080);

const QByteArray& cityBlob()
{
    static const QByteArray blob = writeMapFile(syntheticCity({200000, 20000, 2000, 1}));
    return blob;
}

void MapEngine_LoadCityFromBlob(benchmark::State& state)
{
    const QByteArray& blob = cityBlob();
    for (auto _ : state) {
        MapEngine engine;
        const Status loaded = engine.LoadFromData(blob);
        if (!loaded.ok())
            state.SkipWithError(loaded.error().toStdString().c_str());
        benchmark::DoNotOptimize(engine.GetCount());
        state.PauseTiming(); // freeing the map is not part of loading it
        engine.setModel(MapModel());
        state.ResumeTiming();
    }
    state.counters["blob_MB"] = double(blob.size()) / (1 << 20);
}
BENCHMARK(MapEngine_LoadCityFromBlob)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9)
    ->ReportAggregatesOnly(true);

// Clicks at random pixels of a 1920 x 1080 view at the given scale, centred on
// the city.
void hitTestAtScale(benchmark::State& state, double scale)
{
    static MapEngine engine = [] {
        MapEngine loaded;
        loaded.setViewSize(kFrame);
        loaded.setModel(syntheticCity({200000, 20000, 2000, 1}));
        return loaded;
    }();
    const QPointF centre = engine.model().extent().center();
    engine.ViewXY(centre.x(), centre.y(), scale);
    std::mt19937 random(3);
    constexpr int kClicks = 4096;
    std::vector<QPointF> clicks;
    clicks.reserve(kClicks);
    for (int i = 0; i < kClicks; ++i)
        clicks.emplace_back(std::uniform_real_distribution<double>(0, kFrame.width())(random),
                            std::uniform_real_distribution<double>(0, kFrame.height())(random));
    std::size_t next = 0;
    int hits = 0;
    for (auto _ : state) {
        hits += engine.objectAt(clicks[next]) >= 0;
        next = (next + 1) % clicks.size();
    }
    state.counters["hit_share"] = double(hits) / double(state.iterations());
}

void MapEngine_HitTestStreetLevel(benchmark::State& state) { hitTestAtScale(state, 5000); }
void MapEngine_HitTestWholeCity(benchmark::State& state) { hitTestAtScale(state, 216); }
BENCHMARK(MapEngine_HitTestStreetLevel)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(MapEngine_HitTestWholeCity)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
