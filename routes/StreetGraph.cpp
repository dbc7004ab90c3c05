#include "StreetGraph.h"

#include "MapStyle.h"

#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

// Points closer than this are one junction.
constexpr double kJoinTolerance = 0.1;

std::uint64_t pointKey(MapPoint point)
{
    const auto cell = [](float value) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value / kJoinTolerance)));
    };
    return (static_cast<std::uint64_t>(cell(point.x)) << 32) | cell(point.y);
}


class StreetGraphBuilder {
public:
    explicit StreetGraphBuilder(const std::vector<RoadLine>& roads)
    {
        // A point used by two roads, or twice by one, is a junction.
        for (const RoadLine& road : roads)
            for (const MapPoint& point : road.points)
                ++uses_[pointKey(point)];
        for (const RoadLine& road : roads)
            addRoad(road);
    }

    StreetGraph take() { return std::move(graph_); }

private:
    void addRoad(const RoadLine& road)
    {
        if (road.points.size() < 2 || (road.access & (eaCars | eaFoot)) == 0)
            return;
        const std::uint32_t street = streetIndex(road.street);
        std::size_t start = 0;
        for (std::size_t i = 1; i < road.points.size(); ++i) {
            const bool last = i + 1 == road.points.size();
            // A piece longer than its point count can hold is cut at a shape point.
            const bool full = i - start > std::numeric_limits<std::uint16_t>::max();
            if (last || full || uses_[pointKey(road.points[i])] > 1) {
                addEdge(road, street, start, i);
                start = i;
            }
        }
    }

    void addEdge(const RoadLine& road, std::uint32_t street, std::size_t first, std::size_t last)
    {
        GraphEdge edge;
        edge.from = node(road.points[first]);
        edge.to = node(road.points[last]);
        double length = 0;
        for (std::size_t i = first; i < last; ++i)
            length += straightDistance(road.points[i], road.points[i + 1]);
        if (edge.from == edge.to && length == 0)
            return;
        edge.length = static_cast<float>(length);
        edge.street = street;
        edge.firstPoint = static_cast<std::uint32_t>(graph_.points.size());
        edge.pointCount = static_cast<std::uint16_t>(last - first - 1);
        graph_.points.insert(graph_.points.end(), road.points.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                             road.points.begin() + static_cast<std::ptrdiff_t>(last));
        edge.roadClass = road.roadClass;
        edge.access = road.access;
        graph_.edges.push_back(edge);
    }

    std::uint32_t node(MapPoint point)
    {
        const auto [found, added] = nodes_.try_emplace(pointKey(point), static_cast<std::uint32_t>(graph_.nodes.size()));
        if (added)
            graph_.nodes.push_back(point);
        return found->second;
    }

    std::uint32_t streetIndex(const QString& name)
    {
        if (name.isEmpty())
            return 0;
        const auto [found, added] = streets_.try_emplace(name, static_cast<std::uint32_t>(graph_.streets.size()));
        if (added)
            graph_.streets.push_back(name);
        return found->second;
    }

    std::unordered_map<std::uint64_t, int> uses_;
    std::unordered_map<std::uint64_t, std::uint32_t> nodes_;
    std::unordered_map<QString, std::uint32_t> streets_;
    StreetGraph graph_;
};

} // namespace

std::vector<MapPoint> StreetGraph::shape(const GraphEdge& edge) const
{
    std::vector<MapPoint> result;
    result.reserve(edge.pointCount + 2u);
    result.push_back(nodes[edge.from]);
    result.insert(result.end(), points.begin() + edge.firstPoint, points.begin() + edge.firstPoint + edge.pointCount);
    result.push_back(nodes[edge.to]);
    return result;
}

std::uint8_t defaultAccess(std::uint8_t roadClass)
{
    if (roadClass == rcPath)
        return eaFoot;
    if (roadClass == rcMotorway)
        return eaCars;
    return eaCars | eaFoot;
}

namespace {

RoadLine roadLineOf(const TPMXMapObjectMem& road)
{
    return {road.Geometry, road.Street, road.StyleCode, defaultAccess(road.StyleCode)};
}

} // namespace

std::vector<RoadLine> roadLinesOf(const MapModel& map)
{
    std::vector<RoadLine> roads;
    for (int i = 0; i < map.GetCount(); ++i)
        if (!map.isDeleted(i) && map.typeAt(i) == otRoad)
            roads.push_back(roadLineOf(map.object(i)));
    return roads;
}

std::vector<RoadLine> roadLinesOf(const std::vector<TPMXMapObjectMem>& objects)
{
    std::vector<RoadLine> roads;
    for (const TPMXMapObjectMem& object : objects)
        if (object.ObjType == otRoad)
            roads.push_back(roadLineOf(object));
    return roads;
}

StreetGraph buildStreetGraph(const std::vector<RoadLine>& roads) { return StreetGraphBuilder(roads).take(); }
