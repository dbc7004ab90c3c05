// The forgiving search on the demo edition of scale 10 (32 000 firms):
// building the suggestion index when the edition opens (time and memory),
// a search that finds nothing corrected and run again, and the street
// combo's filter at each keystroke.
//
// The edition is made once in /tmp by the generator next to this benchmark
// (build/bin/varindel-edition generate --edition 2 ... --scale 10), or taken
// from VARINDEL_BENCH_SEARCH_EDITION (a datakrv.abs of edition 2).
#include "AddressIndex.h"
#include "Datamodule.h"
#include "DemoEdition.h"
#include "EditionEntries.h"
#include "MapEngine.h"
#include "SearchQuery.h"
#include "StreetMatcher.h"
#include "SuggestIndex.h"

#include <QDir>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <stdexcept>

namespace {

struct ForgivingWorld {
    TDM dm;
    MapEngine map;
    std::unique_ptr<AddressIndex> addresses;
    QStringList streets;

    ForgivingWorld() {
        OpenEditionWithMap(DemoEdition(2, 10, "VARINDEL_BENCH_SEARCH_EDITION"), dm, map);
        addresses = std::make_unique<AddressIndex>(map.model());
        map.GetStreetList(streets);
    }
};

ForgivingWorld& world() {
    static ForgivingWorld opened;
    return opened;
}

const SuggestIndex& suggestions() {
    static const SuggestIndex index(EditionEntries(world().dm.Con));
    return index;
}

void BM_SuggestIndexBuild(benchmark::State& state) {
    ForgivingWorld& w = world();
    int entries = 0;
    for (auto _ : state) {
        const SuggestIndex index(EditionEntries(w.dm.Con));
        benchmark::DoNotOptimize(entries = index.EntryCount());
    }
    // Heap in use with the index built, against without it.
    const std::size_t before = mallinfo2().uordblks;
    const auto kept = std::make_unique<SuggestIndex>(EditionEntries(w.dm.Con));
    state.counters["heap_MB"] = double(mallinfo2().uordblks - before) / (1024.0 * 1024.0);
    state.counters["entries"] = entries;
}
BENCHMARK(BM_SuggestIndexBuild)->Unit(benchmark::kMillisecond);

// The queries the user typed, each of which the name search finds nothing for.
const char* const kFaultyQueries[] = {
    "fgntrf",        // аптека, other layout
    "Fgntrf Dtrnjh", // two words, other layout
    "аптэка",        // one slip
    "ООО Гарнт",     // one slip in a two-word name, no quotes
    "apteka",        // Latin letters
    "Shinomontazh",  // Latin letters
    "щшгнзхъ",       // nothing close
};

// The correction alone, without running the search again.
void BM_CorrectionLookup(benchmark::State& state) {
    const SuggestIndex& index = suggestions();
    const QString typed = QString::fromUtf8(kFaultyQueries[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.Correction(typed));
    state.SetLabel(typed.toStdString());
}
BENCHMARK(BM_CorrectionLookup)
    ->DenseRange(0, int(std::size(kFaultyQueries)) - 1)
    ->Unit(benchmark::kMillisecond);

// The whole of what follows an empty search: the correction is looked up
// and the search runs again with it, every row read as the list reads it.
void BM_CorrectedSearch(benchmark::State& state) {
    ForgivingWorld& w = world();
    const SuggestIndex& index = suggestions();
    const QString typed = QString::fromUtf8(kFaultyQueries[state.range(0)]);
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        const std::optional<Offer> correction = index.Correction(typed);
        if (correction) {
            RunFirmsFind(w.dm.qFirmsFind, {.Name = correction->correction}, w.map, *w.addresses);
            for (; !w.dm.qFirmsFind.Eof(); w.dm.qFirmsFind.Next())
                rows += w.dm.qFirmsFind.FieldByName("ID").AsInteger() > 0;
        } else {
            benchmark::DoNotOptimize(index.Offers(typed, 10));
        }
    }
    state.SetLabel(typed.toStdString());
    state.counters["firms"] = rows;
}
BENCHMARK(BM_CorrectedSearch)
    ->DenseRange(0, int(std::size(kFaultyQueries)) - 1)
    ->Unit(benchmark::kMillisecond);

// One keystroke: the street list filtered for the text typed so far. The
// texts grow letter by letter, in both layouts and in Latin letters.
void BM_StreetFilterPerKeystroke(benchmark::State& state) {
    ForgivingWorld& w = world();
    const StreetMatcher streets(w.streets);
    QStringList keystrokes;
    for (const QString& street : {QString("Ktybyuhflcrfz"), QString("Cflj"), QString("Lenina"),
                                  QString("Ленинградская"), QString("Садвая")})
        for (qsizetype length = 1; length <= street.size(); ++length)
            keystrokes << street.left(length);
    qsizetype next = 0;
    qsizetype shown = 0;
    for (auto _ : state) {
        shown += streets.Matching(keystrokes.at(next), 100).size();
        next = (next + 1) % keystrokes.size();
    }
    state.counters["streets"] = double(w.streets.size());
    benchmark::DoNotOptimize(shown);
}
BENCHMARK(BM_StreetFilterPerKeystroke)->Unit(benchmark::kMicrosecond);

} // namespace
