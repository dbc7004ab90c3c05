#include "OsmMap.h"

#include "HitTest.h"
#include "MapStyle.h"
#include "RoadAccess.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double kEarthRadius = 6371008.8;
// The map's origin lies this far south-west of everything drawn.
constexpr double kMapMargin = 1000;
// Widths in metres of water drawn from lines.
constexpr double kRiverWidth = 18;
constexpr double kStreamWidth = 4;
constexpr double kCoastWidth = 10;

struct GeoBox {
    double minLon = std::numeric_limits<double>::max();
    double minLat = std::numeric_limits<double>::max();
    double maxLon = std::numeric_limits<double>::lowest();
    double maxLat = std::numeric_limits<double>::lowest();
    void add(GeoPoint point)
    {
        minLon = std::min(minLon, point.lon);
        minLat = std::min(minLat, point.lat);
        maxLon = std::max(maxLon, point.lon);
        maxLat = std::max(maxLat, point.lat);
    }
    bool empty() const { return minLon > maxLon; }
    GeoPoint centre() const { return {(minLon + maxLon) / 2, (minLat + maxLat) / 2}; }
};

void addRing(GeoBox& box, const GeoRing& ring)
{
    for (const GeoPoint& point : ring)
        box.add(point);
}

// The city is where its buildings are; an extract without buildings is
// centred on all it holds.
GeoPoint cityCentre(const OsmFeatures& features, GeoBox& everything)
{
    GeoBox buildings;
    for (const OsmArea& area : features.areas)
        for (const GeoPolygon& polygon : area.polygons) {
            addRing(everything, polygon.outer);
            if (area.kind == AreaKind::Building)
                addRing(buildings, polygon.outer);
        }
    for (const OsmLine& line : features.lines)
        addRing(everything, line.points);
    for (const OsmPoint& point : features.points)
        everything.add(point.where);
    for (const OsmFirm& firm : features.firms)
        everything.add(firm.where);
    if (!buildings.empty())
        return buildings.centre();
    return everything.empty() ? GeoPoint{} : everything.centre();
}

std::vector<MapPoint> project(const LocalProjection& projection, const std::vector<GeoPoint>& points)
{
    std::vector<MapPoint> result;
    result.reserve(points.size());
    for (const GeoPoint& point : points)
        result.push_back(projection.toMap(point));
    return result;
}

double signedArea(const std::vector<MapPoint>& ring)
{
    double twice = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += double(ring[j].x) * ring[i].y - double(ring[i].x) * ring[j].y;
    return twice / 2;
}

double squaredDistance(MapPoint a, MapPoint b)
{
    const double dx = double(a.x) - b.x;
    const double dy = double(a.y) - b.y;
    return dx * dx + dy * dy;
}

std::uint8_t roadClassOf(const QString& highway)
{
    static const QStringList motorways{"motorway", "trunk", "motorway_link", "trunk_link"};
    static const QStringList avenues{"primary", "secondary", "primary_link", "secondary_link"};
    static const QStringList paths{"footway", "path", "cycleway", "steps", "bridleway", "track"};
    if (motorways.contains(highway))
        return rcMotorway;
    if (avenues.contains(highway))
        return rcAvenue;
    if (highway == QLatin1String("tertiary") || highway == QLatin1String("tertiary_link"))
        return rcMainStreet;
    if (paths.contains(highway))
        return rcPath;
    return rcStreet;
}

struct PointLook {
    std::int32_t type;
    QString icon;
    QString name; // when the object has no name of its own
};

PointLook lookOf(PointKind kind)
{
    switch (kind) {
    case PointKind::BusStop:
        return {otStop, QStringLiteral("STOP.BMP"), QStringLiteral("Остановка")};
    case PointKind::TramStop:
        return {otStop, QStringLiteral("TRAM.BMP"), QStringLiteral("Трамвайная остановка")};
    case PointKind::TrafficSignals:
        return {otRoadSign, QStringLiteral("SVETOFOR.BMP"), QStringLiteral("Светофор")};
    case PointKind::Crossing:
        return {otRoadSign, QStringLiteral("CROSSWALK.BMP"), QStringLiteral("Пешеходный переход")};
    case PointKind::GiveWay:
        return {otRoadSign, QStringLiteral("GIVEWAY.BMP"), QStringLiteral("Уступите дорогу")};
    case PointKind::StopSign:
        return {otRoadSign, QStringLiteral("STOPSIGN.BMP"), QStringLiteral("Движение без остановки запрещено")};
    case PointKind::NoEntry:
        return {otRoadSign, QStringLiteral("NOENTRY.BMP"), QStringLiteral("Въезд запрещён")};
    case PointKind::Parking:
        break;
    }
    return {otRoadSign, QStringLiteral("PARKING.BMP"), QStringLiteral("Парковка")};
}

std::int32_t areaTypeOf(AreaKind kind)
{
    switch (kind) {
    case AreaKind::Building:
        return otBuilding;
    case AreaKind::Water:
        return otWater;
    case AreaKind::Park:
    case AreaKind::Forest:
        return otMicrodistrict;
    case AreaKind::District:
        return otDistrict;
    case AreaKind::Quarter:
        break;
    }
    return otDistrict2;
}

// Drawing order: large areas under small ones, lines over areas, buildings
// and points on top.
int layerOf(AreaKind kind)
{
    switch (kind) {
    case AreaKind::District:
        return 0;
    case AreaKind::Quarter:
        return 1;
    case AreaKind::Forest:
        return 2;
    case AreaKind::Park:
        return 3;
    case AreaKind::Water:
        return 4;
    case AreaKind::Building:
        break;
    }
    return 5;
}

class ObjectWriter {
public:
    explicit ObjectWriter(std::vector<TPMXMapObjectMem>& objects) : objects_(objects) {}

    TPMXMapObjectMem& add(std::int32_t type, std::vector<MapPoint> geometry)
    {
        TPMXMapObjectMem object;
        object.ID = static_cast<std::int32_t>(objects_.size()) + 1;
        object.ObjType = type;
        MapPoint anchor;
        if (IsAreaType(type))
            anchor = PointInsideRing(geometry);
        else if (!geometry.empty())
            anchor = geometry[geometry.size() / 2];
        object.X = anchor.x;
        object.Y = anchor.y;
        object.Geometry = std::move(geometry);
        objects_.push_back(std::move(object));
        return objects_.back();
    }

    TPMXMapObjectMem& addIcon(std::int32_t type, MapPoint where, const QString& icon, const QString& name)
    {
        TPMXMapObjectMem& object = add(type, {});
        object.X = where.x;
        object.Y = where.y;
        object.Name = name;
        object.Zametka = TPMXMapZametka{where.x, where.y, kStandardIconLibrary, icon};
        return object;
    }

private:
    std::vector<TPMXMapObjectMem>& objects_;
};

void addArea(ObjectWriter& writer, const LocalProjection& projection, const OsmArea& area, OsmMap& map)
{
    for (const GeoPolygon& polygon : area.polygons) {
        std::vector<std::vector<MapPoint>> holes;
        for (const GeoRing& hole : polygon.holes)
            if (hole.size() >= 3)
                holes.push_back(project(projection, hole));
        TPMXMapObjectMem& object =
            writer.add(areaTypeOf(area.kind), RingWithHoles(project(projection, polygon.outer), std::move(holes)));
        object.Name = area.name;
        if (area.kind == AreaKind::Park)
            object.StyleCode = 1;
        else if (area.kind == AreaKind::Forest)
            object.StyleCode = 2;
        if (area.kind != AreaKind::Building) {
            ++map.areas;
            continue;
        }
        ++map.buildings;
        object.Floors = area.levels;
        if (area.address.present()) {
            object.HasAddress = true;
            object.Street = area.address.street;
            object.House = area.address.house.left(255);
            map.addressed.push_back({object.ID, area.address.postcode});
        }
    }
}

void addLine(ObjectWriter& writer, const LocalProjection& projection, const OsmLine& line, OsmMap& map)
{
    std::vector<MapPoint> points = project(projection, line.points);
    switch (line.kind) {
    case LineKind::Road: {
        const RoadUse use = roadUseOf(line.highway, line.road);
        RoadLine routeLine{points, line.name, roadClassOf(line.highway), use.access};
        if (use.reversed)
            std::reverse(routeLine.points.begin(), routeLine.points.end());
        map.roadLines.push_back(std::move(routeLine));
        TPMXMapObjectMem& road = writer.add(otRoad, std::move(points));
        road.Street = line.name;
        road.StyleCode = roadClassOf(line.highway);
        ++map.roads;
        return;
    }
    case LineKind::Railway:
    case LineKind::Tram: {
        TPMXMapObjectMem& railway = writer.add(otRailway, std::move(points));
        railway.Name = line.name;
        railway.StyleCode = line.kind == LineKind::Tram ? 1 : 0;
        return;
    }
    case LineKind::River:
    case LineKind::Stream:
    case LineKind::Coastline:
        break;
    }
    const double width = line.kind == LineKind::River    ? kRiverWidth
                         : line.kind == LineKind::Stream ? kStreamWidth
                                                          : kCoastWidth;
    writer.add(otWater, BandAlong(points, width)).Name = line.name;
    ++map.areas;
}

// Coastline pieces joined end to end: a coastline runs with the land on its
// left, and the extract cuts it into ways.
std::vector<std::vector<MapPoint>> coastChains(std::vector<std::vector<MapPoint>> pieces)
{
    bool joined = true;
    while (joined) {
        joined = false;
        for (std::size_t a = 0; a < pieces.size() && !joined; ++a)
            for (std::size_t b = 0; b < pieces.size() && !joined; ++b) {
                if (a == b || pieces[a].empty() || pieces[b].empty() || !(pieces[a].back() == pieces[b].front()))
                    continue;
                pieces[a].insert(pieces[a].end(), pieces[b].begin() + 1, pieces[b].end());
                pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(b));
                joined = true;
            }
    }
    return pieces;
}

// A point's place along the box's edge, clockwise from the top left corner.
double perimeterPlace(const QRectF& box, MapPoint point)
{
    const double w = box.width(), h = box.height();
    const double x = std::clamp<double>(point.x, box.left(), box.right());
    const double y = std::clamp<double>(point.y, box.top(), box.bottom()); // y grows north: bottom() is the north edge
    const double toNorth = box.bottom() - y, toEast = box.right() - x, toSouth = y - box.top(), toWest = x - box.left();
    const double nearest = std::min({toNorth, toEast, toSouth, toWest});
    if (nearest == toNorth)
        return x - box.left();
    if (nearest == toEast)
        return w + (box.bottom() - y);
    if (nearest == toSouth)
        return w + h + (box.right() - x);
    return 2 * w + h + (y - box.top());
}

MapPoint perimeterPoint(const QRectF& box, double place)
{
    const double w = box.width(), h = box.height();
    const auto point = [](double x, double y) { return MapPoint{static_cast<float>(x), static_cast<float>(y)}; };
    if (place <= w)
        return point(box.left() + place, box.bottom());
    if (place <= w + h)
        return point(box.right(), box.bottom() - (place - w));
    if (place <= 2 * w + h)
        return point(box.right() - (place - w - h), box.top());
    return point(box.left(), box.top() + (place - 2 * w - h));
}

// The sea beside the open coastlines: each has the water on its right, so
// from where one ends the sea's outline runs clockwise along the edge of
// the extract to where the next one begins, and on until it closes.
std::vector<std::vector<MapPoint>> seasBeside(const std::vector<std::vector<MapPoint>>& coasts, const QRectF& box)
{
    const double perimeter = 2 * (box.width() + box.height());
    const double corners[] = {0, box.width(), box.width() + box.height(), 2 * box.width() + box.height()};
    std::vector<double> starts;
    starts.reserve(coasts.size());
    for (const std::vector<MapPoint>& coast : coasts)
        starts.push_back(perimeterPlace(box, coast.front()));
    const auto ahead = [perimeter](double from, double to) {
        const double distance = std::fmod(to - from + perimeter, perimeter);
        return distance;
    };
    std::vector<bool> used(coasts.size(), false);
    std::vector<std::vector<MapPoint>> seas;
    for (std::size_t first = 0; first < coasts.size(); ++first) {
        if (used[first])
            continue;
        std::vector<MapPoint> sea;
        std::size_t current = first;
        while (true) {
            used[current] = true;
            sea.insert(sea.end(), coasts[current].begin(), coasts[current].end());
            const double from = perimeterPlace(box, coasts[current].back());
            std::size_t next = first;
            for (std::size_t candidate = 0; candidate < coasts.size(); ++candidate)
                if ((!used[candidate] || candidate == first) &&
                    ahead(from, starts[candidate]) < ahead(from, starts[next]))
                    next = candidate;
            const double to = from + ahead(from, starts[next]);
            sea.push_back(perimeterPoint(box, from));
            for (double lap : {0.0, perimeter})
                for (double corner : corners)
                    if (corner + lap > from && corner + lap < to)
                        sea.push_back(perimeterPoint(box, corner));
            sea.push_back(perimeterPoint(box, starts[next]));
            if (next == first)
                break;
            current = next;
        }
        seas.push_back(std::move(sea));
    }
    return seas;
}

void addSea(ObjectWriter& writer, const OsmFeatures& features, const LocalProjection& projection, const QRectF& box,
            OsmMap& map)
{
    std::vector<std::vector<MapPoint>> pieces;
    for (const OsmLine& line : features.lines)
        if (line.kind == LineKind::Coastline)
            pieces.push_back(project(projection, line.points));
    // Islands, closed in themselves, are drawn as their coastline only.
    std::vector<std::vector<MapPoint>> open = coastChains(std::move(pieces));
    std::erase_if(open, [](const std::vector<MapPoint>& chain) { return chain.size() < 2 || chain.front() == chain.back(); });
    for (std::vector<MapPoint>& sea : seasBeside(open, box)) {
        writer.add(otWater, std::move(sea));
        ++map.areas;
    }
}

// Gives an address point's address to the building it stands in, when that
// building has none of its own.
void addressFromPoints(OsmMap& map, MapModel& model, const OsmFeatures& features)
{
    for (const OsmAddressPoint& point : features.addressPoints) {
        const MapPoint where = map.projection.toMap(point.where);
        const int index = BuildingAt(model, where);
        if (index < 0 || model.object(index).HasAddress)
            continue;
        TPMXMapObjectMem building = model.object(index);
        building.HasAddress = true;
        building.Street = point.address.street;
        building.House = point.address.house.left(255);
        map.addressed.push_back({building.ID, point.address.postcode});
        model.replace(index, std::move(building));
        ++map.addressesFromPoints;
    }
}

} // namespace

LocalProjection::LocalProjection(GeoPoint centre, GeoPoint southWest) : centre_(centre)
{
    metresPerDegreeLat_ = kEarthRadius * std::numbers::pi / 180;
    metresPerDegreeLon_ = metresPerDegreeLat_ * std::cos(centre.lat * std::numbers::pi / 180);
    offsetX_ = kMapMargin - (southWest.lon - centre.lon) * metresPerDegreeLon_;
    offsetY_ = kMapMargin - (southWest.lat - centre.lat) * metresPerDegreeLat_;
}

LocalProjection::LocalProjection(GeoPoint centre, MapPoint centreOnMap) : LocalProjection(centre, centre)
{
    offsetX_ = centreOnMap.x;
    offsetY_ = centreOnMap.y;
}

GeoPoint LocalProjection::toGeo(MapPoint point) const
{
    return {centre_.lon + (point.x - offsetX_) / metresPerDegreeLon_, centre_.lat + (point.y - offsetY_) / metresPerDegreeLat_};
}

MapPoint LocalProjection::toMap(GeoPoint point) const
{
    return {static_cast<float>((point.lon - centre_.lon) * metresPerDegreeLon_ + offsetX_),
            static_cast<float>((point.lat - centre_.lat) * metresPerDegreeLat_ + offsetY_)};
}

MapPoint PointInsideRing(const std::vector<MapPoint>& ring)
{
    if (ring.empty())
        return {};
    double x = 0, y = 0;
    for (const MapPoint& point : ring) {
        x += point.x;
        y += point.y;
    }
    x /= static_cast<double>(ring.size());
    y /= static_cast<double>(ring.size());
    std::vector<double> crossings;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const MapPoint& a = ring[j];
        const MapPoint& b = ring[i];
        if ((a.y > y) != (b.y > y))
            crossings.push_back(a.x + (y - a.y) / (double(b.y) - a.y) * (double(b.x) - a.x));
    }
    std::sort(crossings.begin(), crossings.end());
    double widest = -1;
    MapPoint best{static_cast<float>(x), static_cast<float>(y)};
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        if (x >= crossings[k] && x <= crossings[k + 1])
            return {static_cast<float>(x), static_cast<float>(y)};
        if (crossings[k + 1] - crossings[k] > widest) {
            widest = crossings[k + 1] - crossings[k];
            best = {static_cast<float>((crossings[k] + crossings[k + 1]) / 2), static_cast<float>(y)};
        }
    }
    return best;
}

std::vector<MapPoint> RingWithHoles(std::vector<MapPoint> outer, std::vector<std::vector<MapPoint>> holes)
{
    const bool outerClockwise = signedArea(outer) < 0;
    for (std::vector<MapPoint>& hole : holes) {
        // A hole runs against its ring, so that the winding rule leaves it empty.
        if ((signedArea(hole) < 0) == outerClockwise)
            std::reverse(hole.begin(), hole.end());
        // The cut goes between the nearest two points, so it is as short as can be.
        std::size_t from = 0, to = 0;
        double nearest = std::numeric_limits<double>::max();
        for (std::size_t i = 0; i < outer.size(); ++i)
            for (std::size_t j = 0; j < hole.size(); ++j)
                if (const double distance = squaredDistance(outer[i], hole[j]); distance < nearest) {
                    nearest = distance;
                    from = i;
                    to = j;
                }
        std::vector<MapPoint> joined(outer.begin(), outer.begin() + static_cast<std::ptrdiff_t>(from) + 1);
        joined.insert(joined.end(), hole.begin() + static_cast<std::ptrdiff_t>(to), hole.end());
        joined.insert(joined.end(), hole.begin(), hole.begin() + static_cast<std::ptrdiff_t>(to) + 1);
        joined.insert(joined.end(), outer.begin() + static_cast<std::ptrdiff_t>(from), outer.end());
        outer = std::move(joined);
    }
    return outer;
}

std::vector<MapPoint> BandAlong(const std::vector<MapPoint>& line, double width)
{
    std::vector<MapPoint> left, right;
    const double half = width / 2;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const MapPoint& before = line[i == 0 ? 0 : i - 1];
        const MapPoint& after = line[i + 1 < line.size() ? i + 1 : i];
        double dx = double(after.x) - before.x;
        double dy = double(after.y) - before.y;
        const double length = std::hypot(dx, dy);
        if (length <= 0)
            continue;
        dx /= length;
        dy /= length;
        left.push_back({static_cast<float>(line[i].x - dy * half), static_cast<float>(line[i].y + dx * half)});
        right.push_back({static_cast<float>(line[i].x + dy * half), static_cast<float>(line[i].y - dx * half)});
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    return left;
}

int BuildingAt(const MapModel& model, MapPoint where)
{
    int found = -1;
    double smallest = std::numeric_limits<double>::max();
    model.query(QRectF(where.x - 0.5, where.y - 0.5, 1, 1), [&](int index) {
        if (model.typeAt(index) != otBuilding || !ringContains(model.object(index).Geometry, where.x, where.y))
            return;
        const QRectF box = model.bounds(index);
        if (box.width() * box.height() < smallest) {
            smallest = box.width() * box.height();
            found = index;
        }
    });
    return found;
}

OsmMap BuildOsmMap(const OsmFeatures& features)
{
    OsmMap map;
    GeoBox everything;
    const GeoPoint centre = cityCentre(features, everything);
    map.projection = LocalProjection(centre, everything.empty() ? centre : GeoPoint{everything.minLon, everything.minLat});
    std::vector<TPMXMapObjectMem> objects;
    ObjectWriter writer(objects);
    std::vector<const OsmArea*> areas;
    for (const OsmArea& area : features.areas)
        areas.push_back(&area);
    std::stable_sort(areas.begin(), areas.end(),
                     [](const OsmArea* a, const OsmArea* b) { return layerOf(a->kind) < layerOf(b->kind); });
    for (const OsmArea* area : areas)
        if (area->kind != AreaKind::Building)
            addArea(writer, map.projection, *area, map);
    // The sea is closed along the box the extract was cut to, when its header names one.
    GeoBox cut = everything;
    if (features.hasBounds) {
        cut = GeoBox{};
        cut.add(features.boundsMin);
        cut.add(features.boundsMax);
    }
    if (!cut.empty()) {
        const MapPoint southWest = map.projection.toMap({cut.minLon, cut.minLat});
        const MapPoint northEast = map.projection.toMap({cut.maxLon, cut.maxLat});
        addSea(writer, features, map.projection,
               QRectF(QPointF(southWest.x, southWest.y), QPointF(northEast.x, northEast.y)), map);
    }
    for (const OsmLine& line : features.lines)
        addLine(writer, map.projection, line, map);
    for (const OsmArea* area : areas)
        if (area->kind == AreaKind::Building)
            addArea(writer, map.projection, *area, map);
    for (const OsmPoint& point : features.points) {
        const PointLook look = lookOf(point.kind);
        writer.addIcon(look.type, map.projection.toMap(point.where), look.icon,
                       point.name.isEmpty() ? look.name : point.name);
        ++map.stopsAndSigns;
    }
    map.model.assign(std::move(objects));
    addressFromPoints(map, map.model, features);
    double left = 1e18, bottom = 1e18, right = -1e18, top = -1e18;
    const std::span<const MapBox> boxes = map.model.boxes();
    for (int index = 0; index < map.model.GetCount(); ++index) {
        if (map.model.typeAt(index) != otBuilding)
            continue;
        const MapBox& box = boxes[static_cast<std::size_t>(index)];
        left = std::min<double>(left, box.minX);
        bottom = std::min<double>(bottom, box.minY);
        right = std::max<double>(right, box.maxX);
        top = std::max<double>(top, box.maxY);
    }
    map.cityBox = left <= right ? QRectF(QPointF(left, bottom), QPointF(right, top)) : map.model.extent();
    return map;
}
