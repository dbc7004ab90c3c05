#!/usr/bin/env bash
# The route graph loader, seeded with a small valid graph.
#   bash fuzz/build_route_graph_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup route_graph "$@"

flatc --cpp -o "$FUZZ_OUT/generated" routes/RouteFile.fbs
FUZZ_CFLAGS=(-Iroutes -Imap/engine -Icore -I"$FUZZ_OUT/generated" $(pkg-config --cflags Qt6Core Qt6Gui))
FUZZ_LIBS=($(pkg-config --libs Qt6Core Qt6Gui))
SOURCES=(routes/GraphFormat.cpp routes/StreetGraph.cpp routes/Router.cpp map/engine/MapModel.cpp)

fuzz_target fuzz/route_graph_fuzz.cpp "${SOURCES[@]}"
fuzz_seed_maker fuzz/make_route_fuzz_seeds.cpp "${SOURCES[@]}"
fuzz_finish
