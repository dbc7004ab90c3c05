#!/usr/bin/env bash
# The map file and icon library loaders, seeded with a small valid map and
# icon library.
#   bash fuzz/build_map_loader_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup map_loader "$@"

ENGINE=map/engine
for schema in MapFile IconLibraryFile; do
  flatc --cpp -o "$FUZZ_OUT/generated" "$ENGINE/$schema.fbs"
done
FUZZ_CFLAGS=(-I"$ENGINE" -Icore -I"$FUZZ_OUT/generated" $(pkg-config --cflags Qt6Core Qt6Gui))
FUZZ_LIBS=($(pkg-config --libs Qt6Core Qt6Gui))
SOURCES=("$ENGINE/MapFormat.cpp" "$ENGINE/MapModel.cpp" "$ENGINE/IconLibrary.cpp")

fuzz_target fuzz/map_loader_fuzz.cpp "${SOURCES[@]}"
fuzz_seed_maker fuzz/make_fuzz_seeds.cpp "${SOURCES[@]}"
fuzz_finish
