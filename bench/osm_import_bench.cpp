// Importing real cities: the whole import of the Liechtenstein extract as a
// publisher runs it (time and the peak memory of the process), and frames
// of the imported Moscow and Helsinki maps, whole city and street level at
// 1920x1080. The extracts lie beside the project in ../shared/osm.
#include "ChildPeak.h"
#include "GuiApplication.h"
#include "MapEngine.h"
#include "OsmImport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <fcntl.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

QString extract(const char* name)
{
    return QDir::cleanPath(QStringLiteral(VARINDEL_SOURCE_DIR "/../shared/osm/") + QString::fromUtf8(name));
}

// Runs the import in a process of its own; false when it failed.
bool importProcess(const QString& osm, const QString& edition, double& seconds, double& peakMegabytes)
{
    const std::string tool = VARINDEL_BIN_DIR "/varindel-edition";
    const ChildPeak peak;
    std::vector<std::string> command = peak.watched({tool, "import", "--edition", "1",
                                                     QFile::encodeName(edition).toStdString(), "--osm",
                                                     QFile::encodeName(osm).toStdString()});
    const std::vector<char*> argv = SpawnArguments(command);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    waitpid(child, &status, 0);
    seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    peakMegabytes = peak.megabytes();
    return true;
}

void BM_OsmImportLiechtenstein(benchmark::State& state)
{
    const QString osm = extract("liechtenstein.osm.pbf");
    if (!QFile::exists(osm)) {
        state.SkipWithError("the extracts (../shared/osm beside the project) are absent");
        return;
    }
    double seconds = 0, peak = 0;
    for (auto _ : state) {
        if (!importProcess(osm, QStringLiteral("/tmp/varindel-bench-liechtenstein.abs"), seconds, peak)) {
            state.SkipWithError("the import failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["peak_MB"] = peak;
    QFile::remove(QStringLiteral("/tmp/varindel-bench-liechtenstein.abs"));
}
BENCHMARK(BM_OsmImportLiechtenstein)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A large city: the demo generator's Ольмарск at ten times its area (about a
// million map objects) written as an OpenStreetMap file, then imported. Only
// with VARINDEL_BENCH_LARGE=1: generating the city takes minutes.
void BM_OsmImportGeneratedLargeCity(benchmark::State& state)
{
    if (!qEnvironmentVariableIsSet("VARINDEL_BENCH_LARGE")) {
        state.SkipWithError("set VARINDEL_BENCH_LARGE=1 to import the generated city at scale 10");
        return;
    }
    const QString osm = QStringLiteral("/tmp/varindel-bench-generated-10.osm.pbf");
    if (!QFile::exists(osm)) {
        const QByteArray command = QByteArrayLiteral("'" VARINDEL_BIN_DIR "/varindel-edition' generate --edition 1 "
                                                     "/tmp/varindel-bench-generated-10.abs --scale 10 --osm ") +
                                   QFile::encodeName(osm) + " > /dev/null 2>&1";
        if (std::system(command.constData()) != 0) {
            state.SkipWithError("the generated city could not be written");
            return;
        }
    }
    double seconds = 0, peak = 0;
    for (auto _ : state) {
        if (!importProcess(osm, QStringLiteral("/tmp/varindel-bench-generated-10-imported.abs"), seconds, peak)) {
            state.SkipWithError("the import failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["peak_MB"] = peak;
    QFile::remove(QStringLiteral("/tmp/varindel-bench-generated-10-imported.abs"));
}
BENCHMARK(BM_OsmImportGeneratedLargeCity)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);


// The imported maps, kept for the frame benchmarks of one run.
const MapModel* importedMap(const char* name)
{
    static std::map<std::string, std::unique_ptr<ImportedCity>> cities;
    auto& city = cities[name];
    if (!city) {
        Result<ImportedCity> imported = ImportOsmCity(extract(name), QString());
        if (!imported)
            return nullptr;
        city = std::make_unique<ImportedCity>(std::move(imported).value());
    }
    return &city->map.model;
}

// range(0): 0 Moscow, 1 Helsinki; range(1): 0 the whole city, 1 street level.
void BM_OsmFrame(benchmark::State& state)
{
    EnsureGuiApplication();
    const char* name = state.range(0) == 0 ? "moscow-ostankino.osm.gz" : "helsinki-centre.osm.pbf";
    const MapModel* model = importedMap(name);
    if (!model) {
        state.SkipWithError("the extract is absent or does not import");
        return;
    }
    MapEngine engine;
    engine.setViewSize(QSize(1920, 1080));
    // The engine owns its model: a copy per benchmark, made before timing.
    std::vector<TPMXMapObjectMem> objects;
    objects.reserve(static_cast<std::size_t>(model->GetCount()));
    for (int index = 0; index < model->GetCount(); ++index)
        objects.push_back(model->object(index));
    MapModel copy;
    copy.assign(std::move(objects));
    const QRectF extent = copy.extent();
    engine.setModel(std::move(copy));
    engine.showAll();
    if (state.range(1) == 1)
        engine.ViewXY(extent.center().x(), extent.center().y(), 4320); // two pixels a metre: a street and its houses
    QImage frame(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&frame);
        engine.paint(painter, frame.rect());
    }
    const char* view = state.range(1) == 0 ? "whole-city" : "street-level";
    state.SetLabel(std::string(name) + " " + view);
    // The last frame, for whoever wants to look at it next to OpenStreetMap's own rendering.
    if (!qEnvironmentVariableIsEmpty("VARINDEL_BENCH_PICTURES"))
        frame.save(QStringLiteral("%1/osm-%2-%3.png")
                       .arg(qEnvironmentVariable("VARINDEL_BENCH_PICTURES"), QString::fromUtf8(name).section('.', 0, 0),
                            QString::fromUtf8(view)));
}
BENCHMARK(BM_OsmFrame)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace
