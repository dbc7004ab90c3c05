#!/usr/bin/env bash
# The OpenStreetMap import from an .osm (XML) extract: reading with
# libosmium, the map, the directory, the import's report and the street graph.
#   bash fuzz/build_osm_xml_fuzz.sh [OUT_DIR] [SECONDS]   (see fuzz_common.sh)
source "$(dirname "$0")/fuzz_common.sh"
fuzz_setup osm_xml "$@"

FUZZ_CFLAGS=(-Iosm -Imap/engine -Iroutes -Icore $(pkg-config --cflags Qt6Core Qt6Gui)
  -fsanitize-ignorelist=fuzz/ubsan_ignore.txt)
FUZZ_LIBS=($(pkg-config --libs Qt6Core Qt6Gui) -lexpat -lz -lbz2 -pthread)
OSM=(osm/OsmImport.cpp osm/OsmReader.cpp osm/OsmMap.cpp osm/OsmDirectory.cpp osm/AddressKey.cpp
  osm/OsmCategories.cpp osm/FirmsFile.cpp osm/RoadAccess.cpp)
ENGINE=(map/engine/MapModel.cpp map/engine/HitTest.cpp map/engine/MapStyle.cpp map/engine/Viewport.cpp
  routes/StreetGraph.cpp)
fuzz_target fuzz/osm_xml_fuzz.cpp "${OSM[@]}" "${ENGINE[@]}"
fuzz_finish
