// Frame times of the map at 1920 x 1080 on a synthetic city of 200 000
// buildings, 20 000 road segments and 2 000 other objects: the whole city,
// and street level (scale 5000) with house numbers. Each repetition is one
// frame, so the reported median is the median frame.
//
// The *VersusMapnik benchmarks draw the same views with Mapnik, runs of
// five frames of each in turn (TimeInTurns), and report both medians and
// our time divided by Mapnik's.
//
//   build-*/bench/varindel_bench --benchmark_filter=MapRender
#include "GuiApplication.h"
#include "MapRenderer.h"
#include "SyntheticCity.h"
#ifdef VARINDEL_HAVE_MAPNIK
#include "MapnikCity.h"
#endif

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace {

const QSize kFrame(1920, 1080);
constexpr int kFrames = 25;
constexpr int kFramesPerRun = 5;


const MapModel& city()
{
    static const MapModel model = [] {
        EnsureGuiApplication();
        return syntheticCity({200000, 20000, 2000, 1});
    }();
    return model;
}

Viewport wholeCity()
{
    Viewport view;
    view.setSize(kFrame);
    const QRectF extent = city().extent();
    const double ppm = std::min(kFrame.width() / extent.width(), kFrame.height() / extent.height());
    view.centreOn(extent.center().x(), extent.center().y(), ppm * kPixelsPerMetreUnit);
    return view;
}

Viewport streetLevel()
{
    Viewport view;
    view.setSize(kFrame);
    const QRectF extent = city().extent();
    view.centreOn(extent.center().x() + 310, extent.center().y() - 170, 5000);
    return view;
}

MapOptions optionsFor(const Viewport& view)
{
    MapOptions options;
    // As the program sets them: house numbers above scale 3000, sized scale / 500.
    options.NumberDom = view.GetScale() > 3000;
    options.NumberDomSizeFont = static_cast<int>(view.GetScale() / 500);
    return options;
}

struct OurFrame {
    MapRenderer renderer;
    QImage image{kFrame, QImage::Format_ARGB32_Premultiplied};
    double draw(const Viewport& view)
    {
        QElapsedTimer clock;
        clock.start();
        QPainter painter(&image);
        renderer.render(RenderScene{city(), nullptr, view, {}, optionsFor(view)}, painter, image.rect());
        painter.end();
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void renderOurs(benchmark::State& state, Viewport (*makeView)())
{
    const Viewport view = makeView();
    OurFrame frame;
    frame.draw(view); // warms the caches, as any frame after the first finds them
    for (auto _ : state)
        state.SetIterationTime(frame.draw(view) / 1e3);
    state.counters["objects"] = city().GetCount();
}

void BM_MapRender_WholeCity(benchmark::State& state) { renderOurs(state, wholeCity); }
void BM_MapRender_StreetLevel(benchmark::State& state) { renderOurs(state, streetLevel); }

// The whole of a city of a million objects (a million buildings, a hundred
// thousand road segments, ten thousand others): far away the buildings are
// smaller than a pixel, and the frame must not pay for each of them.
const MapModel& millionCity()
{
    static const MapModel model = [] {
        EnsureGuiApplication();
        return syntheticCity({1000000, 100000, 10000, 1});
    }();
    return model;
}

void BM_MapRender_MillionWholeCity(benchmark::State& state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Viewport view;
    view.setSize(size);
    const QRectF extent = millionCity().extent();
    const double ppm = std::min(size.width() / extent.width(), size.height() / extent.height());
    view.centreOn(extent.center().x(), extent.center().y(), ppm * kPixelsPerMetreUnit);
    MapRenderer renderer;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    const auto draw = [&] {
        QElapsedTimer clock;
        clock.start();
        QPainter painter(&image);
        renderer.render(RenderScene{millionCity(), nullptr, view, {}, optionsFor(view)}, painter, image.rect());
        painter.end();
        return static_cast<double>(clock.nsecsElapsed()) / 1e9;
    };
    draw();
    for (auto _ : state)
        state.SetIterationTime(draw());
    state.counters["objects"] = millionCity().GetCount();
}
BENCHMARK(BM_MapRender_MillionWholeCity)->Args({1920, 1080})->Args({3840, 2160})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kFrames)->ReportAggregatesOnly(true);

BENCHMARK(BM_MapRender_WholeCity)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kFrames)->ReportAggregatesOnly(true);
BENCHMARK(BM_MapRender_StreetLevel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kFrames)->ReportAggregatesOnly(true);

#ifdef VARINDEL_HAVE_MAPNIK
MapnikCity& mapnikCity()
{
    static QTemporaryDir folder;
    static MapnikCity mapnik(city(), folder.path(), kFrame);
    return mapnik;
}

void versusMapnik(benchmark::State& state, Viewport (*makeView)(), const QString& name)
{
    const Viewport view = makeView();
    OurFrame ours;
    MapnikCity& mapnik = mapnikCity();
    ours.draw(view);
    mapnik.render(view);
    FrameTimesInTurns times;
    for (auto _ : state)
        times = TimeInTurns(kFrames / kFramesPerRun, kFramesPerRun, [&] { return ours.draw(view); }, mapnik, view);
    state.counters["ours_ms"] = median(times.ours);
    state.counters["mapnik_ms"] = median(times.mapnik);
    state.counters["ours_per_mapnik"] = median(times.ours) / median(times.mapnik);
    // Pictures of both, for whoever wants to compare them by eye.
    if (!qEnvironmentVariableIsEmpty("VARINDEL_BENCH_PICTURES")) {
        const QString prefix = qEnvironmentVariable("VARINDEL_BENCH_PICTURES") + "/" + name;
        ours.image.save(prefix + "-ours.png");
        mapnik.lastFrame().save(prefix + "-mapnik.png");
    }
}

void BM_MapRender_WholeCityVersusMapnik(benchmark::State& state) { versusMapnik(state, wholeCity, "whole-city"); }
void BM_MapRender_StreetLevelVersusMapnik(benchmark::State& state) { versusMapnik(state, streetLevel, "street-level"); }

BENCHMARK(BM_MapRender_WholeCityVersusMapnik)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_MapRender_StreetLevelVersusMapnik)->Unit(benchmark::kMillisecond)->Iterations(1);
#endif

} // namespace
