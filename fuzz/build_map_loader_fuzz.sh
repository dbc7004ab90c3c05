#!/usr/bin/env bash
# Builds the map and icon loader fuzzer with clang, libFuzzer and
# AddressSanitizer, outside the main build, and optionally runs it.
#
#   fuzz/build_map_loader_fuzz.sh [OUT_DIR] [SECONDS]
#
# Needs the developer packages of scripts/setup.sh --dev (clang, libclang-rt).
# With SECONDS the fuzzer runs that long on a corpus seeded with a small
# valid map and icon library; a crash stops it with the input saved in OUT_DIR.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="${1:-$ROOT/build-fuzz}"
SECONDS_TO_RUN="${2:-}"
ENGINE="$ROOT/map/engine"
mkdir -p "$OUT/generated" "$OUT/corpus"

for schema in MapFile IconLibraryFile; do
  flatc --cpp -o "$OUT/generated" "$ENGINE/$schema.fbs"
done

QT_FLAGS="$(pkg-config --cflags --libs Qt6Core Qt6Gui)"
COMMON=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  -I"$ENGINE" -I"$ROOT/core" -I"$OUT/generated")
SOURCES=("$ENGINE/MapFormat.cpp" "$ENGINE/MapModel.cpp" "$ENGINE/IconLibrary.cpp")

clang++ "${COMMON[@]}" -fsanitize=fuzzer,address,undefined \
  "$ROOT/fuzz/map_loader_fuzz.cpp" "${SOURCES[@]}" $QT_FLAGS -o "$OUT/map_loader_fuzz"
clang++ "${COMMON[@]}" -fsanitize=address \
  "$ROOT/fuzz/make_fuzz_seeds.cpp" "${SOURCES[@]}" $QT_FLAGS -o "$OUT/make_fuzz_seeds"
"$OUT/make_fuzz_seeds" "$OUT/corpus"
echo "built $OUT/map_loader_fuzz"

if [ -n "$SECONDS_TO_RUN" ]; then
  cd "$OUT"
  ./map_loader_fuzz -max_total_time="$SECONDS_TO_RUN" -max_len=65536 -rss_limit_mb=2048 \
    -print_final_stats=1 corpus
fi
