// Every figure of a large city in one run, on one demo edition of Корвинск:
// scale 10 (about a million map objects) with a directory of 100 000 firms
// (varindel-edition generate --edition 2 ... --scale 10 --firm-count 100000),
// made once in /tmp or taken from VARINDEL_BENCH_LARGE_EDITION.
//
//   build/bench/varindel_bench --benchmark_filter=^LargeCity_
//
// Counters carry the figures: *_ms times, *_MB sizes, target_* the goal.
// Frames are drawn through the map engine with every layer shown, as Mapnik
// draws them, and full frames only (the map widget would show its kept frame
// moved while the view moves): the hardest case of each view.
#include "AddressIndex.h"
#include "Buildings.h"
#include "BrowsedEdition.h"
#include "DemoEdition.h"
#include "FirmSearch.h"
#include "GuiApplication.h"
#include "MapNavigator.h"
#include "PaintHooks.h"
#include "ProgramStart.h"
#include "Vdlconsts.h"
#ifdef VARINDEL_HAVE_MAPNIK
#include "MapnikCity.h"
#endif

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kEdition = 2;
constexpr int kScale = 10;
constexpr int kFirms = 100000;
constexpr int kCategoryFirms = 2000;
constexpr int kFrames = 25;
// The comparison with Mapnik: runs of this many frames of each renderer, in turn.
constexpr int kMapnikFrames = 5;
constexpr int kMapnikRuns = 2;
constexpr double kFlightFramesPerSecond = 60;
constexpr double kStreetLevel = 5000;
const QSize kFullHd(1920, 1080);
const QSize kUltraHd(3840, 2160);
// The peak-memory run: set in the child process, to the file it reports to.
constexpr const char* kMemoryReportVariable = "VARINDEL_LARGE_CITY_MEMORY_REPORT";

QString editionPath() { return DemoEdition(kEdition, kScale, "VARINDEL_BENCH_LARGE_EDITION", kFirms); }

double elapsedMs(const QElapsedTimer& clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The edition browsed as in the program's main window, its address index
// built, and a street of the middle of the street list.
struct LargeCity {
    BrowsedEdition browsed;
    AddressIndex index;
    QString street;

    LargeCity() : browsed(editionPath(), kEdition, kCategoryFirms), index(browsed.map->model()) {
        QStringList streets;
        browsed.map->GetStreetList(streets);
        street = streets.value(streets.size() / 2);
        index.Find({street, "1"}); // built once, when the first search needs it
    }
};

LargeCity& city() {
    EnsureGuiApplication(); // before the first widget of the window
    static LargeCity shared;
    return shared;
}

// A map engine of its own for the frames, loaded from the edition's map blob.
MapEngine& frameEngine() {
    static MapEngine engine = [] {
        TQuery& content = city().browsed.dm->qContent;
        content.Open();
        if (!content.Locate("TypeID", 2))
            throw std::runtime_error("the edition has no map");
        MapEngine loaded;
        if (const Status status = loaded.LoadFromData(content.FieldByName("Data").AsBlob()); !status)
            throw std::runtime_error(status.error().toStdString());
        return loaded;
    }();
    return engine;
}

// One frame of the engine's current view into the image, house numbers set
// for the scale as the program sets them; milliseconds.
double drawFrame(MapEngine& engine, QImage& image) {
    PaintNumberDom(engine);
    QElapsedTimer clock;
    clock.start();
    QPainter painter(&image);
    engine.paint(painter, image.rect());
    painter.end();
    return elapsedMs(clock);
}

void showWholeCity(MapEngine& engine, QSize size) {
    engine.setViewSize(size);
    engine.showAll();
}

void showStreetLevel(MapEngine& engine, QSize size) {
    engine.setViewSize(size);
    const QPointF centre = engine.model().extent().center();
    engine.ViewXY(centre.x() + 310, centre.y() - 170, kStreetLevel);
}

// Flies across the city at street level, west to east, as a located address
// flies the map; calls frame once for every 1/60 s of the flight.
void flyAcrossCity(MapEngine& engine, const std::function<void()>& frame) {
    const QRectF extent = engine.model().extent();
    const double y = extent.center().y();
    engine.ViewXY(extent.left() + 0.1 * extent.width(), y, kStreetLevel);
    engine.startFly(extent.right() - 0.1 * extent.width(), y, kStreetLevel, kLocateFlyPace);
    for (int step = 0; !engine.advanceFly(step / kFlightFramesPerSecond); ++step)
        frame();
    frame();
}

void measureView(benchmark::State& state, QSize size, void (*show)(MapEngine&, QSize), double targetMs) {
    MapEngine& engine = frameEngine();
    show(engine, size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    drawFrame(engine, image); // warms the caches, as any frame after the first finds them
    std::vector<double> times;
    for (auto _ : state) {
        for (int i = 0; i < kFrames; ++i)
            times.push_back(drawFrame(engine, image));
        state.SetIterationTime(median(times) / 1e3);
    }
    state.counters["median_ms"] = median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["target_ms"] = targetMs;
    state.counters["objects"] = engine.GetCount();
}

void LargeCity_EditionFile(benchmark::State& state) {
    const QString path = editionPath();
    qint64 bytes = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(bytes = QFileInfo(path).size());
    state.counters["edition_MB"] = static_cast<double>(bytes) / (1 << 20);
    state.counters["target_MB"] = 400;
}
BENCHMARK(LargeCity_EditionFile)->Iterations(1);

// A folder for the program with the edition linked into it (not copied) and
// a settings folder of its own.
fs::path startFolder() {
    fs::path folder = fs::temp_directory_path() / ("varindel-large-city-start-" + std::to_string(getuid()));
    fs::create_directories(folder / "config");
    const fs::path edition = editionPath().toStdString();
    for (const fs::path& file : {edition, edition.parent_path() / GraphFiles[kEdition]}) {
        const fs::path linked = folder / file.filename();
        if (!fs::exists(linked) || !fs::equivalent(linked, file)) {
            fs::remove(linked);
            fs::create_symlink(file, linked);
        }
    }
    return folder;
}

void LargeCity_StartUpToMainWindow(benchmark::State& state) {
    const fs::path folder = startFolder();
    std::vector<double> seconds;
    std::vector<double> cpu;
    double peak = 0;
    for (auto _ : state) {
        const ProgramStartRun run = StartProgramToMainWindow(folder);
        state.SetIterationTime(run.seconds);
        seconds.push_back(run.seconds);
        cpu.push_back(run.cpuSeconds);
        peak = std::max(peak, run.peakMegabytes);
    }
    state.counters["median_ms"] = median(seconds) * 1e3;
    state.counters["program_cpu_ms"] = median(cpu) * 1e3; // a figure the machine's load does not inflate
    state.counters["program_peak_MB"] = peak;
    state.counters["target_ms"] = 1500;
}
BENCHMARK(LargeCity_StartUpToMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void LargeCity_SelectCategory(benchmark::State& state) {
    LargeCity& c = city();
    MeasureSelectLargeCategory(state, c.browsed);
    state.counters["target_ms"] = 150;
}
BENCHMARK(LargeCity_SelectCategory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void LargeCity_OpenFirmCard(benchmark::State& state) {
    MeasureOpenFirmCard(state, city().browsed);
    state.counters["target_ms"] = 10;
}
BENCHMARK(LargeCity_OpenFirmCard)->Unit(benchmark::kMillisecond);

void measureSearch(benchmark::State& state, const SearchCriteria& criteria) {
    LargeCity& c = city();
    int rows = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = SearchAndReadFirms(*c.browsed.dm, *c.browsed.map, c.index, criteria));
    state.counters["firms"] = rows;
    state.counters["target_ms"] = 20;
}

void LargeCity_SearchByName(benchmark::State& state) { measureSearch(state, {.Name = "аптека"}); }
BENCHMARK(LargeCity_SearchByName)->Unit(benchmark::kMillisecond);

void LargeCity_SearchByStreetAndHouse(benchmark::State& state) {
    measureSearch(state, {.Address = {city().street, "1"}});
}
BENCHMARK(LargeCity_SearchByStreetAndHouse)->Unit(benchmark::kMillisecond);

void LargeCity_HouseSearchByNumber(benchmark::State& state) {
    LargeCity& c = city();
    qsizetype lines = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(lines = SearchHouses(*c.browsed.map, c.index, {{}, "12"}).size());
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["target_ms"] = 20;
}
BENCHMARK(LargeCity_HouseSearchByNumber)->Unit(benchmark::kMillisecond);

void LargeCity_FrameWholeCity1920(benchmark::State& state) { measureView(state, kFullHd, showWholeCity, 16); }
void LargeCity_FrameWholeCity3840(benchmark::State& state) { measureView(state, kUltraHd, showWholeCity, 33); }
void LargeCity_FrameStreetLevel1920(benchmark::State& state) { measureView(state, kFullHd, showStreetLevel, 4); }
BENCHMARK(LargeCity_FrameWholeCity1920)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LargeCity_FrameWholeCity3840)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LargeCity_FrameStreetLevel1920)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void LargeCity_FlightAcrossCity(benchmark::State& state) {
    MapEngine& engine = frameEngine();
    engine.setViewSize(kFullHd);
    QImage image(kFullHd, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (auto _ : state) {
        flyAcrossCity(engine, [&] { times.push_back(drawFrame(engine, image)); });
        state.SetIterationTime(*std::max_element(times.begin(), times.end()) / 1e3);
    }
    state.counters["frames"] = static_cast<double>(times.size());
    state.counters["median_ms"] = median(times);
    state.counters["worst_ms"] = *std::max_element(times.begin(), times.end());
    state.counters["target_ms"] = 16;
}
BENCHMARK(LargeCity_FlightAcrossCity)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

#ifdef VARINDEL_HAVE_MAPNIK
MapnikCity& mapnikCity() {
    static QTemporaryDir folder;
    static MapnikCity mapnik(frameEngine().model(), folder.path(), kFullHd);
    return mapnik;
}

void versusMapnik(benchmark::State& state, void (*show)(MapEngine&, QSize)) {
    MapEngine& engine = frameEngine();
    show(engine, kFullHd);
    QImage image(kFullHd, QImage::Format_ARGB32_Premultiplied);
    MapnikCity& mapnik = mapnikCity();
    drawFrame(engine, image);
    mapnik.render(engine.view());
    FrameTimesInTurns times;
    for (auto _ : state)
        times = TimeInTurns(kMapnikRuns, kMapnikFrames, [&] { return drawFrame(engine, image); }, mapnik,
                            engine.view());
    state.counters["ours_ms"] = median(times.ours);
    state.counters["mapnik_ms"] = median(times.mapnik);
    state.counters["ours_per_mapnik"] = median(times.ours) / median(times.mapnik);
    state.counters["target_ratio"] = 0.05;
}

void LargeCity_WholeCityVersusMapnik(benchmark::State& state) { versusMapnik(state, showWholeCity); }
void LargeCity_StreetLevelVersusMapnik(benchmark::State& state) { versusMapnik(state, showStreetLevel); }
BENCHMARK(LargeCity_WholeCityVersusMapnik)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LargeCity_StreetLevelVersusMapnik)->Unit(benchmark::kMillisecond)->Iterations(1);
#endif

// The peak-memory run, in a process of its own so that nothing else this
// benchmark holds counts: the edition browsed as the main window does (one
// map, the category of 2 000 firms with its labels, a card), every search,
// and a flight across the city drawn by the window's own map at 1920 x 1080.
// Reports the process's peak resident memory (VmHWM) to the file named by
// kMemoryReportVariable.
void browseSearchAndFly() {
    LargeCity& c = city();
    BrowsedEdition& b = c.browsed;
    b.tree->setCurrentItem(b.node(b.largeCategory));
    b.window.repaint();
    b.browser->FillItem(static_cast<int>(b.IDList.IDs.size()) - 1);
    SearchAndReadFirms(*b.dm, *b.map, c.index, {.Name = "аптека"});
    SearchAndReadFirms(*b.dm, *b.map, c.index, {.Address = {c.street, "1"}});
    SearchHouses(*b.map, c.index, {{}, "12"});
    b.map->setViewSize(kFullHd);
    flyAcrossCity(*b.map, [&b] {
        PaintNumberDom(*b.map);
        benchmark::DoNotOptimize(b.map->picture());
    });
}

double peakResidentMegabytes() {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    throw std::runtime_error("no VmHWM in /proc/self/status");
}

void LargeCity_MemoryRun(benchmark::State& state) {
    for (auto _ : state)
        browseSearchAndFly();
    QFile report(qEnvironmentVariable(kMemoryReportVariable));
    if (!report.open(QIODevice::WriteOnly) || report.write(QByteArray::number(peakResidentMegabytes())) <= 0)
        state.SkipWithError("the peak memory could not be reported");
}

// Registered only in the child process the peak-memory benchmark starts.
[[maybe_unused]] const bool kMemoryRunRegistered = qEnvironmentVariableIsSet(kMemoryReportVariable) &&
                                  benchmark::RegisterBenchmark("LargeCity_MemoryRun", LargeCity_MemoryRun)
                                      ->Iterations(1);

void LargeCity_PeakMemoryAfterBrowsingSearchingAndFlying(benchmark::State& state) {
    editionPath(); // made before the child needs it
    QTemporaryDir folder;
    const QString reportPath = folder.filePath("peak");
    double megabytes = 0;
    for (auto _ : state) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kMemoryReportVariable, reportPath);
        child.setProcessEnvironment(environment);
        child.setStandardOutputFile(QProcess::nullDevice());
        child.start(QString::fromStdString(fs::read_symlink("/proc/self/exe").string()),
                    {"--benchmark_filter=^LargeCity_MemoryRun/"});
        QFile report(reportPath);
        if (!child.waitForFinished(-1) || child.exitCode() != 0 || !report.open(QIODevice::ReadOnly)) {
            state.SkipWithError(("the peak-memory run failed: " + child.readAllStandardError()).constData());
            return;
        }
        megabytes = report.readAll().toDouble();
    }
    state.counters["peak_MB"] = megabytes;
    state.counters["target_MB"] = 600;
}
BENCHMARK(LargeCity_PeakMemoryAfterBrowsingSearchingAndFlying)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
