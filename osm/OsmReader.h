// Reads an OpenStreetMap file (.osm.pbf, .osm, .osm.gz, .osm.bz2) with
// libosmium in two passes: the relations first, for the multipolygon
// assembler, then nodes and ways with a node-location index.
#pragma once

#include "OsmFeatures.h"

#include "Result.h"

#include <functional>

// Whether the file name ends in a suffix the reader knows.
bool IsOsmFileName(const QString& path);

// Called with a short Russian line when a stage of the reading begins.
using OsmStageReport = std::function<void(const QString&)>;

// Everything the edition needs from the file, or a message naming the file
// and the place where it could not be read.
Result<OsmFeatures> ReadOsmFile(const QString& path, const OsmStageReport& stage = {});
