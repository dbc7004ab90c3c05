// Writes a city of map objects as an OpenStreetMap file (the format follows
// the file name: .osm.pbf, .osm, .osm.gz, .osm.bz2), tagged as the importer
// reads them back: so that a generated city of any size can be imported as
// a real one would be.
#pragma once

#include "OsmFeatures.h"

#include "MapModel.h"
#include "Result.h"

#include <vector>

// A firm standing at a point of the map.
struct OsmFirmPoint {
    MapPoint where;
    QString name;
    QString phones;
};

// The map's extent's centre is put at `centre` (degrees); map units are metres.
Status WriteOsmFile(const QString& path, const MapModel& map, const std::vector<OsmFirmPoint>& firms, GeoPoint centre);
