#include "Router.h"

#include "MapStyle.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/astar_search.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr double kKmh = 1000.0 / 3600.0;
constexpr std::array<double, kRoadClassCount> kDrivingKmh = {30, 50, 60, 15, 90};
constexpr double kFastestKmh = 90;


// A place on a road piece: the piece, the distance along it from its `from`
// junction, and the point itself.
struct Snap {
    std::uint32_t edge = 0;
    double offset = 0;
    MapPoint point;
};

// An offset along a piece within it; a place a hair's breadth from a
// junction is at the junction, so a one-way piece does not trap it.
double settled(const GraphEdge& edge, double offset)
{
    constexpr double kAtJunction = 0.01;
    if (offset < kAtJunction)
        return 0;
    if (offset > edge.length - kAtJunction)
        return edge.length;
    return offset;
}

// The part of a line from offset a to offset b along it; from b back to a
// when b < a.
std::vector<MapPoint> partOf(const std::vector<MapPoint>& line, double a, double b)
{
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    std::vector<MapPoint> part;
    double walked = 0;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const double piece = straightDistance(line[i], line[i + 1]);
        const auto at = [&](double offset) {
            const double t = piece > 0 ? std::clamp((offset - walked) / piece, 0.0, 1.0) : 0.0;
            return MapPoint{static_cast<float>(line[i].x + t * (line[i + 1].x - line[i].x)),
                            static_cast<float>(line[i].y + t * (line[i + 1].y - line[i].y))};
        };
        if (part.empty() && low <= walked + piece)
            part.push_back(at(low));
        if (!part.empty() && high <= walked + piece) {
            part.push_back(at(high));
            break;
        }
        if (!part.empty())
            part.push_back(line[i + 1]);
        walked += piece;
    }
    if (part.size() == 1)
        part.push_back(part.front());
    if (b < a)
        std::reverse(part.begin(), part.end());
    return part;
}

struct Arc {
    double cost = 0; // seconds
    std::int64_t edge = -1; // graph edge, -1: none (a virtual arc of a query)
    bool forward = true;
};

using Adjacency = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property, Arc>;
using Vertex = boost::graph_traits<Adjacency>::vertex_descriptor;

struct GoalReached {};

class StopAtGoal : public boost::default_astar_visitor {
public:
    explicit StopAtGoal(Vertex goal) : goal_(goal) {}
    void examine_vertex(Vertex vertex, const Adjacency&) const
    {
        if (vertex == goal_)
            throw GoalReached();
    }

private:
    Vertex goal_;
};

} // namespace

double walkingSpeed() { return 5 * kKmh; }

double drivingSpeed(std::uint8_t roadClass)
{
    return kDrivingKmh[std::min<std::size_t>(roadClass, kRoadClassCount - 1)] * kKmh;
}

std::vector<MapPoint> Route::line() const
{
    std::vector<MapPoint> points;
    for (const RouteLeg& leg : legs)
        points.insert(points.end(), leg.shape.begin() + (points.empty() ? 0 : 1), leg.shape.end());
    return points;
}

// The graph for one mode of travel, with two spare vertices at the end for
// the start and the end of a query.
class Router::Network {
public:
    Network(const StreetGraph& graph, TravelMode mode)
        : graph_(graph), mode_(mode), adjacency_(graph.nodes.size() + 2), start_(graph.nodes.size()),
          goal_(graph.nodes.size() + 1)
    {
        for (std::size_t e = 0; e < graph.edges.size(); ++e) {
            const GraphEdge& edge = graph.edges[e];
            if (!usable(edge))
                continue;
            boost::add_edge(edge.from, edge.to, Arc{cost(edge, edge.length), std::int64_t(e), true}, adjacency_);
            if (backwardAllowed(edge))
                boost::add_edge(edge.to, edge.from, Arc{cost(edge, edge.length), std::int64_t(e), false}, adjacency_);
        }
    }

    std::optional<Route> route(MapPoint from, MapPoint to)
    {
        const std::optional<Snap> start = snap(from);
        const std::optional<Snap> end = snap(to);
        if (!start || !end)
            return std::nullopt;
        connect(*start, *end);
        std::vector<Vertex> predecessors(boost::num_vertices(adjacency_));
        std::vector<double> costs(boost::num_vertices(adjacency_));
        const MapPoint goalPoint = end->point;
        const double fastest = mode_ == TravelMode::Foot ? walkingSpeed() : kFastestKmh * kKmh;
        auto estimate = [&](Vertex vertex) {
            if (vertex == goal_)
                return 0.0;
            const MapPoint here = vertex == start_ ? start->point : graph_.nodes[vertex];
            return straightDistance(here, goalPoint) / fastest;
        };
        try {
            boost::astar_search(adjacency_, start_, estimate,
                                boost::predecessor_map(predecessors.data())
                                    .distance_map(costs.data())
                                    .weight_map(boost::get(&Arc::cost, adjacency_))
                                    .visitor(StopAtGoal(goal_)));
        } catch (const GoalReached&) {
        }
        // The search leaves a vertex it never reached its own predecessor.
        if (predecessors[goal_] == goal_)
            return std::nullopt;
        return collect(predecessors, *start, *end, costs[goal_]);
    }

private:
    bool usable(const GraphEdge& edge) const
    {
        return (edge.access & (mode_ == TravelMode::Foot ? eaFoot : eaCars)) != 0;
    }
    bool backwardAllowed(const GraphEdge& edge) const
    {
        return mode_ == TravelMode::Foot || (edge.access & eaOneWay) == 0;
    }
    double cost(const GraphEdge& edge, double metres) const
    {
        return metres / (mode_ == TravelMode::Foot ? walkingSpeed() : drivingSpeed(edge.roadClass));
    }

    // The nearest point of a road this mode may use.
    std::optional<Snap> snap(MapPoint place) const
    {
        std::optional<Snap> best;
        double bestDistance = std::numeric_limits<double>::infinity();
        std::vector<MapPoint> shape;
        for (std::size_t e = 0; e < graph_.edges.size(); ++e) {
            const GraphEdge& edge = graph_.edges[e];
            if (!usable(edge))
                continue;
            shape = graph_.shape(edge);
            double walked = 0;
            for (std::size_t i = 0; i + 1 < shape.size(); ++i) {
                const double dx = double(shape[i + 1].x) - shape[i].x;
                const double dy = double(shape[i + 1].y) - shape[i].y;
                const double squared = dx * dx + dy * dy;
                const double t = squared > 0
                    ? std::clamp(((double(place.x) - shape[i].x) * dx + (double(place.y) - shape[i].y) * dy) / squared,
                                 0.0, 1.0)
                    : 0.0;
                const MapPoint point{static_cast<float>(shape[i].x + t * dx), static_cast<float>(shape[i].y + t * dy)};
                const double away = straightDistance(point, place);
                if (away < bestDistance) {
                    bestDistance = away;
                    best = Snap{std::uint32_t(e), walked + t * std::sqrt(squared), point};
                }
                walked += std::sqrt(squared);
            }
        }
        return best;
    }

    // Arcs from the start to the ends of its piece, and from the ends of the
    // end's piece to the goal; along one piece, straight from start to goal.
    void connect(const Snap& start, const Snap& end)
    {
        boost::clear_out_edges(start_, adjacency_);
        for (const Vertex feeder : goalFeeders_)
            boost::remove_edge(feeder, goal_, adjacency_);
        const GraphEdge& first = graph_.edges[start.edge];
        const GraphEdge& last = graph_.edges[end.edge];
        goalFeeders_ = {last.from, last.to};
        const double startOffset = settled(first, start.offset);
        const double endOffset = settled(last, end.offset);
        // At a junction itself the way back along a one-way piece costs nothing.
        boost::add_edge(start_, first.to, Arc{cost(first, first.length - startOffset), -1, true}, adjacency_);
        if (backwardAllowed(first) || startOffset == 0)
            boost::add_edge(start_, first.from, Arc{cost(first, startOffset), -1, false}, adjacency_);
        boost::add_edge(last.from, goal_, Arc{cost(last, endOffset), -1, true}, adjacency_);
        if (backwardAllowed(last) || endOffset == last.length)
            boost::add_edge(last.to, goal_, Arc{cost(last, last.length - endOffset), -1, false}, adjacency_);
        if (start.edge == end.edge && (endOffset >= startOffset || backwardAllowed(first)))
            boost::add_edge(start_, goal_, Arc{cost(first, std::abs(endOffset - startOffset)), -1, true}, adjacency_);
    }

    // The cheapest arc from one vertex to the next, the one the search took.
    Arc arcBetween(Vertex from, Vertex to) const
    {
        Arc best{std::numeric_limits<double>::infinity(), -1, true};
        for (const auto arc : boost::make_iterator_range(boost::out_edges(from, adjacency_)))
            if (boost::target(arc, adjacency_) == to && adjacency_[arc].cost < best.cost)
                best = adjacency_[arc];
        return best;
    }

    RouteLeg leg(std::uint32_t e, double a, double b) const
    {
        const GraphEdge& edge = graph_.edges[e];
        return {edge.street, edge.roadClass, std::abs(b - a), partOf(graph_.shape(edge), a, b)};
    }

    Route collect(const std::vector<Vertex>& predecessors, const Snap& start, const Snap& end, double seconds) const
    {
        std::vector<Vertex> vertices{goal_};
        while (vertices.back() != start_)
            vertices.push_back(predecessors[vertices.back()]);
        std::reverse(vertices.begin(), vertices.end());
        Route route;
        route.seconds = seconds;
        const double startOffset = settled(graph_.edges[start.edge], start.offset);
        const double endOffset = settled(graph_.edges[end.edge], end.offset);
        for (std::size_t i = 0; i + 1 < vertices.size(); ++i) {
            const Vertex from = vertices[i];
            const Vertex to = vertices[i + 1];
            if (from == start_ && to == goal_)
                route.legs.push_back(leg(start.edge, startOffset, endOffset));
            else if (from == start_)
                route.legs.push_back(leg(start.edge, startOffset,
                                         to == graph_.edges[start.edge].to ? graph_.edges[start.edge].length : 0.0));
            else if (to == goal_)
                route.legs.push_back(leg(end.edge, from == graph_.edges[end.edge].from ? 0.0
                                                                                        : graph_.edges[end.edge].length,
                                         endOffset));
            else {
                const Arc arc = arcBetween(from, to);
                const double length = graph_.edges[std::size_t(arc.edge)].length;
                route.legs.push_back(leg(std::uint32_t(arc.edge), arc.forward ? 0.0 : length, arc.forward ? length : 0.0));
            }
        }
        std::erase_if(route.legs, [](const RouteLeg& leg) { return leg.length <= 0; });
        for (const RouteLeg& leg : route.legs)
            route.length += leg.length;
        return route;
    }

    const StreetGraph& graph_;
    TravelMode mode_;
    Adjacency adjacency_;
    Vertex start_;
    Vertex goal_;
    std::vector<Vertex> goalFeeders_; // the vertices the last query joined to the goal
};

Router::Router(StreetGraph graph)
    : graph_(std::move(graph)), foot_(std::make_unique<Network>(graph_, TravelMode::Foot)),
      car_(std::make_unique<Network>(graph_, TravelMode::Car))
{
}

Router::~Router() = default;

std::optional<Route> Router::route(MapPoint from, MapPoint to, TravelMode mode)
{
    return (mode == TravelMode::Foot ? foot_ : car_)->route(from, to);
}
