#!/usr/bin/env bash
# Builds the route graph loader fuzzer with clang, libFuzzer and
# AddressSanitizer, outside the main build, and optionally runs it.
#
#   fuzz/build_route_graph_fuzz.sh [OUT_DIR] [SECONDS]
#
# Needs the developer packages of scripts/setup.sh --dev (clang, libclang-rt).
# With SECONDS the fuzzer runs that long on a corpus seeded with a small
# valid graph; a crash stops it with the input saved in OUT_DIR.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${1:-$ROOT/build-fuzz-routes}"
SECONDS_TO_RUN="${2:-}"
ENGINE="$ROOT/map/engine"
ROUTES="$ROOT/routes"
mkdir -p "$OUT/generated" "$OUT/corpus"

flatc --cpp -o "$OUT/generated" "$ROUTES/RouteFile.fbs"

QT_FLAGS="$(pkg-config --cflags --libs Qt6Core Qt6Gui)"
COMMON=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  -I"$ROUTES" -I"$ENGINE" -I"$ROOT/core" -I"$OUT/generated")
SOURCES=("$ROUTES/GraphFormat.cpp" "$ROUTES/StreetGraph.cpp" "$ROUTES/Router.cpp" "$ENGINE/MapModel.cpp")

clang++ "${COMMON[@]}" -fsanitize=fuzzer,address,undefined \
  "$ROOT/fuzz/route_graph_fuzz.cpp" "${SOURCES[@]}" $QT_FLAGS -o "$OUT/route_graph_fuzz"
clang++ "${COMMON[@]}" -fsanitize=address \
  "$ROOT/fuzz/make_route_fuzz_seeds.cpp" "${SOURCES[@]}" $QT_FLAGS -o "$OUT/make_route_fuzz_seeds"
"$OUT/make_route_fuzz_seeds" "$OUT/corpus"
echo "built $OUT/route_graph_fuzz"

if [ -n "$SECONDS_TO_RUN" ]; then
  cd "$OUT"
  ./route_graph_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -rss_limit_mb=2048 \
    -print_final_stats=1 corpus
fi
