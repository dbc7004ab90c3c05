// The street graph of a city: junctions as nodes and road pieces between them
// as edges, each with its length, road class, who may use it and its shape on
// the map. It is built from the map's roads (where two roads share a point
// they meet) and kept in the route graph file beside the edition.
#pragma once

#include "MapModel.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <vector>

// The straight-line distance between two map points, in metres.
inline double straightDistance(MapPoint a, MapPoint b) { return std::hypot(double(a.x) - b.x, double(a.y) - b.y); }

// Who may use a road piece; a one-way piece is one-way for cars only, people
// on foot walk it both ways.
enum EdgeAccess : std::uint8_t {
    eaCars = 1,
    eaFoot = 2,
    eaOneWay = 4, // cars only from `from` to `to`
};

struct GraphEdge {
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    float length = 0; // metres along the shape
    std::uint32_t street = 0; // position in StreetGraph::streets, 0: no name
    std::uint32_t firstPoint = 0; // the shape between the junctions
    std::uint16_t pointCount = 0;
    std::uint8_t roadClass = 0;
    std::uint8_t access = eaCars | eaFoot;
};

struct StreetGraph {
    std::vector<MapPoint> nodes;
    std::vector<GraphEdge> edges;
    std::vector<MapPoint> points; // inner shape points of all edges
    std::vector<QString> streets{QString()};

    // The whole shape of an edge from its `from` junction to its `to`.
    std::vector<MapPoint> shape(const GraphEdge& edge) const;
};

// One road as the map or an import knows it.
struct RoadLine {
    std::vector<MapPoint> points;
    QString street;
    std::uint8_t roadClass = 0;
    std::uint8_t access = eaCars | eaFoot;
};

// Who may use a road of a class when nothing else is known: paths are for
// people on foot, motorways for cars, every other street for both.
std::uint8_t defaultAccess(std::uint8_t roadClass);

// The map's roads with the access of their class.
std::vector<RoadLine> roadLinesOf(const MapModel& map);
std::vector<RoadLine> roadLinesOf(const std::vector<TPMXMapObjectMem>& objects);

// Roads meet where they share a point (to a tenth of a metre) and at their ends.
StreetGraph buildStreetGraph(const std::vector<RoadLine>& roads);
