// The city map of an extract: a local projection in metres about the city's
// centre, and the map objects in the engine's record form.
#pragma once

#include "OsmFeatures.h"

#include "MapModel.h"
#include "StreetGraph.h"

#include <QRectF>

#include <vector>

// Degrees to map metres: an equirectangular plane touching the globe at the
// centre, which in a city of some kilometres is true to a few parts in ten
// thousand; moved so that every coordinate of the map is positive.
class LocalProjection {
public:
    LocalProjection() = default;
    LocalProjection(GeoPoint centre, GeoPoint southWest);
    // The centre lands on the given map point.
    LocalProjection(GeoPoint centre, MapPoint centreOnMap);
    MapPoint toMap(GeoPoint point) const;
    GeoPoint toGeo(MapPoint point) const;
    GeoPoint centre() const { return centre_; }

private:
    GeoPoint centre_;
    double metresPerDegreeLon_ = 0;
    double metresPerDegreeLat_ = 0;
    double offsetX_ = 0;
    double offsetY_ = 0;
};

// An addressed building of the map, for the directory.
struct MapBuilding {
    std::int32_t objectId = 0;
    QString postcode;
};

struct OsmMap {
    LocalProjection projection;
    MapModel model; // the objects, with the spatial index firms are placed by
    std::vector<RoadLine> roadLines; // the roads for the route graph, with who may use them
    std::vector<MapBuilding> addressed;
    QRectF cityBox; // the buildings' extent in map units: what the scale is fitted to
    int buildings = 0;
    int roads = 0;
    int areas = 0;
    int stopsAndSigns = 0;
    int addressesFromPoints = 0;
};

// Projects the extract and turns it into map objects, IDs 1, 2, 3 ... in
// drawing order; address points give their address to the building they
// stand in when it has none.
OsmMap BuildOsmMap(const OsmFeatures& features);

// The position of the smallest building that contains the point, or -1.
int BuildingAt(const MapModel& model, MapPoint where);

// A point inside a ring of map points (the centroid when that lies inside).
MapPoint PointInsideRing(const std::vector<MapPoint>& ring);
// One ring that draws as the outer ring with its holes: each hole joined to
// the ring by a cut there and back, so the even-odd and winding rules both
// leave it empty.
std::vector<MapPoint> RingWithHoles(std::vector<MapPoint> outer, std::vector<std::vector<MapPoint>> holes);
// The outline of a band of the given width along a line (a river drawn as water).
std::vector<MapPoint> BandAlong(const std::vector<MapPoint>& line, double width);
