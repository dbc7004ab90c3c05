// Shortest routes on the street graph, on foot and by car, with Boost.Graph's
// A*. A route starts and ends at the points of the graph nearest to the
// given places (a building's centre), which may lie inside a road piece.
#pragma once

#include "StreetGraph.h"

#include <memory>
#include <optional>

enum class TravelMode { Foot, Car };

// Speeds in metres per second: 5 km/h on foot, by car the usual speed of the
// road class.
double walkingSpeed();
double drivingSpeed(std::uint8_t roadClass);

// A part of a route along one road piece, in the direction of travel.
struct RouteLeg {
    std::uint32_t street = 0; // position in StreetGraph::streets
    std::uint8_t roadClass = 0;
    double length = 0; // metres
    std::vector<MapPoint> shape;
};

struct Route {
    std::vector<RouteLeg> legs; // empty when the start is the end
    double length = 0;  // metres
    double seconds = 0;

    // The whole line of the route, legs joined.
    std::vector<MapPoint> line() const;
};

class Router {
public:
    explicit Router(StreetGraph graph);
    ~Router();
    Router(const Router&) = delete;
    Router& operator=(const Router&) = delete;

    const StreetGraph& graph() const { return graph_; }

    // The shortest route, or nothing when the ends are not connected (or the
    // graph has no road for this mode of travel).
    std::optional<Route> route(MapPoint from, MapPoint to, TravelMode mode);

private:
    class Network;
    StreetGraph graph_;
    std::unique_ptr<Network> foot_;
    std::unique_ptr<Network> car_;
};
