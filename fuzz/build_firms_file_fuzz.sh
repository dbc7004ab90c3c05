#!/usr/bin/env bash
# The publisher's firm file (CSV) of the OpenStreetMap import, its rows placed
# by address in a small city.
#   bash fuzz/build_firms_file_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup firms_file "$@"

FUZZ_CFLAGS=(-Iosm -Imap/engine -Iroutes -Icore $(pkg-config --cflags Qt6Core Qt6Gui))
FUZZ_LIBS=($(pkg-config --libs Qt6Core Qt6Gui))
OSM=(osm/FirmsFile.cpp osm/OsmDirectory.cpp osm/OsmMap.cpp osm/AddressKey.cpp osm/OsmCategories.cpp
  osm/RoadAccess.cpp)
ENGINE=(map/engine/MapModel.cpp map/engine/HitTest.cpp map/engine/MapStyle.cpp map/engine/Viewport.cpp
  routes/StreetGraph.cpp)
fuzz_target fuzz/firms_file_fuzz.cpp "${OSM[@]}" "${ENGINE[@]}"
fuzz_finish
