// The firm search and the house search on a demo edition of scale 10 (about
// a million map objects): a search by name, a search by street and house,
// the house search page, and the one-time building of the address index.
//
// The edition is made once in /tmp by the generator next to this benchmark
// (build/bin/varindel-edition generate --edition 2 ... --scale 10), or taken
// from VARINDEL_BENCH_SEARCH_EDITION (a datakrv.abs of edition 2).
#include "AddressIndex.h"
#include "Buildings.h"
#include "Datamodule.h"
#include "DemoEdition.h"
#include "FirmSearch.h"
#include "MapEngine.h"
#include "SearchQuery.h"
#include "Vdlconsts.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>

namespace {

QString editionPath() { return DemoEdition(2, 10, "VARINDEL_BENCH_SEARCH_EDITION"); }

// The edition opened as the program opens it, and its map loaded.
struct SearchWorld {
    TDM dm;
    MapEngine map;
    std::unique_ptr<AddressIndex> index;
    QString street;

    SearchWorld() {
        OpenEditionWithMap(editionPath(), dm, map);
        index = std::make_unique<AddressIndex>(map.model());
        QStringList streets;
        map.GetStreetList(streets);
        street = streets.value(streets.size() / 2);
    }
};

SearchWorld& world() {
    static SearchWorld opened;
    return opened;
}

int searchAndRead(SearchWorld& w, const SearchCriteria& criteria) {
    return SearchAndReadFirms(w.dm, w.map, *w.index, criteria);
}

void BM_SearchByName(benchmark::State& state) {
    SearchWorld& w = world();
    int rows = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = searchAndRead(w, {.Name = "аптека"}));
    state.counters["firms"] = rows;
    state.counters["objects"] = w.map.GetCount();
}
BENCHMARK(BM_SearchByName)->Unit(benchmark::kMillisecond);

void BM_SearchByStreetAndHouse(benchmark::State& state) {
    SearchWorld& w = world();
    w.index->Find({w.street, "1"}); // the index is built once, when the first search needs it
    int rows = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(rows = searchAndRead(w, {.Address = {w.street, "1"}}));
    state.counters["firms"] = rows;
    state.counters["objects"] = w.map.GetCount();
}
BENCHMARK(BM_SearchByStreetAndHouse)->Unit(benchmark::kMillisecond);

void BM_HouseSearchByNumberAlone(benchmark::State& state) {
    SearchWorld& w = world();
    w.index->Find({w.street, "1"});
    qsizetype lines = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(lines = SearchHouses(w.map, *w.index, {{}, "12"}).size());
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_HouseSearchByNumberAlone)->Unit(benchmark::kMillisecond);

void BM_AddressIndexBuild(benchmark::State& state) {
    SearchWorld& w = world();
    for (auto _ : state) {
        AddressIndex fresh(w.map.model());
        benchmark::DoNotOptimize(fresh.Find({w.street, std::nullopt}).size());
    }
}
BENCHMARK(BM_AddressIndexBuild)->Unit(benchmark::kMillisecond);

} // namespace
