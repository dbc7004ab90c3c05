#include "CityParts.h"

#include <QHash>

#include <cmath>
#include <map>
#include <tuple>

namespace {

// Purposes of the random streams of a city, one per part.
enum CityStream : std::uint64_t { sGrid = 11, sNames, sBuildings, sNumbers, sDistricts, sFeatures, sRoutes };

std::uint8_t roadClassOf(const GridStreet& street)
{
    if (street.kind == StreetKind::Avenue || street.kind == StreetKind::Highway)
        return 2;
    return street.main ? 1 : 0;
}

void addStreets(City& city, const StreetGrid& grid, MapWriter& writer)
{
    for (std::size_t s = 0; s < grid.streets().size(); ++s) {
        const GridStreet& street = grid.streets()[s];
        TPMXMapObjectMem& road = writer.add(otRoad, street.points);
        road.Street = grid.names()[s];
        road.StyleCode = roadClassOf(street);
        city.streets.push_back({grid.names()[s], street.main, {}, {}});
    }
}

void dropBuildingsAround(std::vector<PlacedBuilding>& buildings, QPointF place, double radius)
{
    std::erase_if(buildings, [&](const PlacedBuilding& building) {
        for (const QPointF& corner : building.corners)
            if (std::hypot(corner.x() - place.x(), corner.y() - place.y()) < radius)
                return true;
        return false;
    });
}

void addBuildings(City& city, const BlockPlan& blocks, const StreetGrid& grid, const DistrictMap& districts,
                  MapWriter& writer)
{
    for (const PlacedBuilding& placed : blocks.buildings) {
        TPMXMapObjectMem& building = writer.add(otBuilding, placed.corners);
        building.Floors = placed.floors;
        if (placed.street < 0)
            continue;
        building.HasAddress = true;
        building.Street = grid.names()[static_cast<std::size_t>(placed.street)];
        building.House = placed.house;
        const BlockZone zone = blocks.zones[static_cast<std::size_t>(placed.blockJ) * grid.columns() + placed.blockI];
        city.addressed.push_back({building.ID, placed.street, districts.districtOf(placed.blockI, placed.blockJ),
                                  placed.floors, zone == BlockZone::Centre});
    }
}

QPointF middleOf(const std::vector<QPointF>& points) { return points[points.size() / 2]; }

// Buses and minibuses run along the avenues; a side street is served by the
// routes of the nearest avenue.
void assignRoutes(City& city, const StreetGrid& grid, const StationSite& station, Prng& random)
{
    std::vector<QPointF> middles;
    for (const GridStreet& street : grid.streets())
        middles.push_back(middleOf(street.points));
    middles.push_back(station.building());
    std::vector<int> served;
    int nextBus = 1 + random.range(0, 3);
    for (std::size_t s = 0; s < grid.streets().size(); ++s) {
        const GridStreet& street = grid.streets()[s];
        if (!street.main || street.kind == StreetKind::Highway)
            continue;
        for (int k = random.range(2, 3); k > 0; --k, nextBus += random.range(1, 4))
            city.streets[s].busRoutes.append(QString::number(nextBus % 99 + 1));
        for (int k = random.range(1, 2); k > 0; --k)
            city.streets[s].minibusRoutes.append(QString::number(random.range(200, 499)));
        served.push_back(static_cast<int>(s));
    }
    for (std::size_t s = 0; s < city.streets.size(); ++s) {
        if (!city.streets[s].busRoutes.isEmpty() || served.empty())
            continue;
        int nearest = served.front();
        double best = 1e18;
        for (const int candidate : served) {
            const QPointF offset = middles[static_cast<std::size_t>(candidate)] - middles[s];
            const double distance = std::hypot(offset.x(), offset.y());
            if (distance < best) {
                best = distance;
                nearest = candidate;
            }
        }
        city.streets[s].busRoutes = city.streets[static_cast<std::size_t>(nearest)].busRoutes;
        city.streets[s].minibusRoutes = city.streets[static_cast<std::size_t>(nearest)].minibusRoutes;
    }
}

// Each district is served by several post offices, each of a square of about
// a kilometre; an office's six-digit index is the city's three digits and a
// number of its own.
void assignPostIndexes(City& city, int prefix)
{
    std::map<std::tuple<int, int, int>, int> offices;
    QHash<std::int32_t, const TPMXMapObjectMem*> objects;
    for (const TPMXMapObjectMem& object : city.objects)
        objects.insert(object.ID, &object);
    for (const AddressedBuilding& building : city.addressed) {
        const TPMXMapObjectMem* object = objects.value(building.objectId);
        const auto key = std::make_tuple(building.district, static_cast<int>(object->X / 1100),
                                         static_cast<int>(object->Y / 1100));
        auto [office, added] = offices.try_emplace(key, static_cast<int>(city.postIndexes.size()) + 1);
        if (added) {
            const int number = prefix * 1000 + static_cast<int>(city.postIndexes.size()) + 1;
            city.postIndexes.append(QString::number(number));
        }
        city.postLinks.push_back({building.objectId, office->second});
    }
}

QRectF extentOf(const std::vector<TPMXMapObjectMem>& objects)
{
    double left = 1e18, bottom = 1e18, right = -1e18, top = -1e18;
    for (const TPMXMapObjectMem& object : objects) {
        for (const MapPoint& point : object.Geometry) {
            left = std::min<double>(left, point.x);
            right = std::max<double>(right, point.x);
            bottom = std::min<double>(bottom, point.y);
            top = std::max<double>(top, point.y);
        }
    }
    return objects.empty() ? QRectF() : QRectF(QPointF(left, bottom), QPointF(right, top));
}

} // namespace

City BuildCity(const CityPlan& plan)
{
    const CityFrame frame(CharacterOf(plan));
    auto stream = [&plan](CityStream purpose) { return Prng::stream(plan.seed, plan.edition, purpose); };
    Prng gridRandom = stream(sGrid);
    StreetNamer namer(stream(sNames));
    namer.reserve(QStringLiteral("Привокзальная площадь"));
    const StreetGrid grid(frame, gridRandom, namer);

    Prng buildingRandom = stream(sBuildings);
    BlockPlan blocks = PlaceBuildings(grid, frame, buildingRandom);
    const StationSite station = FindStationSite(frame);
    dropBuildingsAround(blocks.buildings, station.building(), 150);
    Prng numberRandom = stream(sNumbers);
    NumberHouses(blocks.buildings, numberRandom);

    Prng districtRandom = stream(sDistricts);
    const DistrictMap districts(grid, frame, districtRandom);
    City city;
    city.districtNames = districts.names();
    city.objects.reserve(blocks.buildings.size() + 10000);
    MapWriter writer(frame, city.objects);
    Prng featureRandom = stream(sFeatures);
    FeatureContext context{grid, blocks, districts, writer, featureRandom, city};
    AddAreas(context);
    AddWater(context);
    addStreets(city, grid, writer);
    AddRailwayAndStation(context, station);
    addBuildings(city, blocks, grid, districts, writer);
    AddStopsAndSigns(context);

    Prng routeRandom = stream(sRoutes);
    assignRoutes(city, grid, station, routeRandom);
    assignPostIndexes(city, CharacterOf(plan).postPrefix);
    city.extent = extentOf(city.objects);
    return city;
}
