// Browsing a demo edition: selecting a category of about 500 firms (list
// filled, labels placed, list and map painted) and opening a firm's card.
//
// The edition is made once in /tmp by the generator next to this benchmark
// (build/bin/varindel-edition generate --edition 1 ... --scale 16), or taken
// from VARINDEL_BENCH_BROWSE_EDITION (a dataomk.abs of edition 1).
#include "BrowsedEdition.h"
#include "DemoEdition.h"
#include "GuiApplication.h"

#include <benchmark/benchmark.h>

namespace {

BrowsedEdition& edition() {
    EnsureGuiApplication(); // before the first widget of the edition's window
    static BrowsedEdition shared(DemoEdition(1, 16, "VARINDEL_BENCH_BROWSE_EDITION"), 1, 500);
    return shared;
}

void BM_BrowseSelectLargeCategory(benchmark::State& state) { MeasureSelectLargeCategory(state, edition()); }
BENCHMARK(BM_BrowseSelectLargeCategory)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BrowseOpenFirmCard(benchmark::State& state) { MeasureOpenFirmCard(state, edition()); }
BENCHMARK(BM_BrowseOpenFirmCard)->Unit(benchmark::kMillisecond);

} // namespace
