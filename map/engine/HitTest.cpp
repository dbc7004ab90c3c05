#include "HitTest.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Lower ranks win.
enum Rank { rankPoint = 0, rankBuilding = 1, rankLine = 2, rankArea = 3, rankNone = 4 };

Rank rankOf(std::int32_t type)
{
    if (IsPointType(type))
        return rankPoint;
    if (type == otBuilding)
        return rankBuilding;
    if (IsLineType(type))
        return rankLine;
    return rankArea;
}

double segmentDistance(double px, double py, const MapPoint& a, const MapPoint& b)
{
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

struct Candidate {
    int index = -1;
    Rank rank = rankNone;
    double measure = std::numeric_limits<double>::max(); // distance or area: smaller wins

    void offer(int otherIndex, Rank otherRank, double otherMeasure)
    {
        if (otherRank < rank || (otherRank == rank && otherMeasure < measure)) {
            index = otherIndex;
            rank = otherRank;
            measure = otherMeasure;
        }
    }
};

} // namespace

bool ringContains(const std::vector<MapPoint>& ring, double x, double y)
{
    bool inside = false;
    const std::size_t count = ring.size();
    for (std::size_t i = 0, j = count - 1; i < count; j = i++) {
        const MapPoint& a = ring[i];
        const MapPoint& b = ring[j];
        if ((a.y > y) != (b.y > y)) {
            const double crossX = a.x + (y - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
            if (x < crossX)
                inside = !inside;
        }
    }
    return inside;
}

double distanceToPolyline(const std::vector<MapPoint>& line, double x, double y)
{
    if (line.empty())
        return std::numeric_limits<double>::max();
    if (line.size() == 1)
        return std::hypot(x - line[0].x, y - line[0].y);
    double nearest = std::numeric_limits<double>::max();
    for (std::size_t i = 1; i < line.size(); ++i)
        nearest = std::min(nearest, segmentDistance(x, y, line[i - 1], line[i]));
    return nearest;
}

int hitTest(const MapModel& model, const Viewport& view, const MapFilters& filters, QPointF pixel)
{
    const QPointF at = view.pixelToMap(pixel);
    const double metresPerPixel = 1 / view.pixelsPerMetre();
    const double pointRadius = kPointPickRadius * metresPerPixel;
    const double lineDistance = kLinePickDistance * metresPerPixel;
    const double reach = std::max(pointRadius, lineDistance);
    const QRectF around(at.x() - reach, at.y() - reach, 2 * reach, 2 * reach);

    Candidate best;
    model.query(around, [&](int index) {
        const TPMXMapObjectMem& object = model.object(index);
        if (!filters.shows(object.ObjType))
            return;
        const Rank rank = rankOf(object.ObjType);
        if (rank > best.rank)
            return;
        if (rank == rankPoint) {
            const double distance = std::hypot(at.x() - object.X, at.y() - object.Y);
            if (distance <= pointRadius)
                best.offer(index, rank, distance);
        } else if (rank == rankLine) {
            const double distance = distanceToPolyline(object.Geometry, at.x(), at.y());
            if (distance <= lineDistance)
                best.offer(index, rank, distance);
        } else if (ringContains(object.Geometry, at.x(), at.y())) {
            const QRectF box = model.bounds(index);
            best.offer(index, rank, box.width() * box.height());
        }
    });
    return best.index;
}
