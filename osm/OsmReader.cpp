#include "OsmReader.h"

#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/io/detail/xml_input_format.hpp>
#include <osmium/util/file.hpp>
#include <osmium/util/progress_bar.hpp>
#include <osmium/visitor.hpp>

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <charconv>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

namespace {

const QStringList kOsmSuffixes{QStringLiteral(".osm.pbf"), QStringLiteral(".osm"), QStringLiteral(".osm.gz"),
                               QStringLiteral(".osm.bz2")};

QString tag(const osmium::TagList& tags, const char* key)
{
    const char* value = tags.get_value_by_key(key);
    return value ? QString::fromUtf8(value).trimmed() : QString();
}

bool hasValue(const osmium::TagList& tags, const char* key, std::initializer_list<const char*> values)
{
    const char* value = tags.get_value_by_key(key);
    if (!value)
        return false;
    for (const char* candidate : values)
        if (std::strcmp(value, candidate) == 0)
            return true;
    return false;
}

OsmAddress addressOf(const osmium::TagList& tags)
{
    OsmAddress address;
    address.street = tag(tags, "addr:street");
    if (address.street.isEmpty())
        address.street = tag(tags, "addr:place");
    address.house = tag(tags, "addr:housenumber");
    address.postcode = tag(tags, "addr:postcode");
    return address;
}

GeoPoint geoPoint(const osmium::Location& location) { return {location.lon(), location.lat()}; }

// The keys a firm is known by, in the order they are asked.
constexpr const char* kFirmKeys[] = {"shop", "amenity", "office", "craft", "healthcare", "tourism", "leisure"};

// Named objects under those keys that are places rather than firms.
bool isPlaceNotFirm(const char* key, const char* value)
{
    static const std::set<std::string> places{
        "amenity=parking",        "amenity=parking_space", "amenity=bench",        "amenity=waste_basket",
        "amenity=bicycle_parking", "amenity=shelter",      "amenity=fountain",     "amenity=grave_yard",
        "amenity=recycling",      "amenity=telephone",     "amenity=clock",        "amenity=post_box",
        "amenity=motorcycle_parking", "leisure=park",      "leisure=garden",       "leisure=playground",
        "leisure=pitch",          "leisure=nature_reserve", "leisure=common",      "leisure=dog_park",
        "leisure=track",          "leisure=slipway",       "leisure=picnic_table", "leisure=marina",
        "tourism=attraction",     "tourism=artwork",       "tourism=viewpoint",    "tourism=information",
        "tourism=picnic_site",    "leisure=swimming_area", "leisure=park;garden",
    };
    return places.count(std::string(key) + "=" + value) > 0;
}

QStringList splitValues(const QString& text)
{
    QStringList values;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty())
            values.append(part.trimmed());
    return values;
}

// A firm from the tags of a node or an area; false when the object is none.
bool firmOf(const osmium::TagList& tags, OsmFirm& firm)
{
    firm.name = tag(tags, "name");
    if (firm.name.isEmpty())
        return false;
    for (const char* key : kFirmKeys) {
        const char* value = tags.get_value_by_key(key);
        if (!value || std::strcmp(value, "no") == 0)
            continue;
        if (isPlaceNotFirm(key, value))
            return false;
        firm.tagKey = QString::fromUtf8(key);
        firm.tagValue = QString::fromUtf8(value);
        break;
    }
    if (firm.tagKey.isEmpty())
        return false;
    firm.phones = splitValues(tag(tags, "phone")) + splitValues(tag(tags, "contact:phone"));
    firm.phones.removeDuplicates();
    firm.web = tag(tags, "website");
    if (firm.web.isEmpty())
        firm.web = tag(tags, "contact:website");
    firm.email = tag(tags, "email");
    if (firm.email.isEmpty())
        firm.email = tag(tags, "contact:email");
    firm.openingHours = tag(tags, "opening_hours");
    firm.address = addressOf(tags);
    return true;
}

// The signs of traffic_sign values our icons show, by name or by the codes
// of the Russian, Finnish and German sign catalogues; others are not drawn.
bool signKindOf(const char* value, PointKind& kind)
{
    if (!value)
        return false;
    const QString sign = QString::fromUtf8(value).toLower();
    const auto any = [&sign](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(), [&sign](const char* name) { return sign.contains(QLatin1String(name)); });
    };
    if (any({"stop", "ru:2.5", "de:206", "fi:b6"}))
        kind = PointKind::StopSign;
    else if (any({"give_way", "ru:2.4", "de:205", "fi:b5"}))
        kind = PointKind::GiveWay;
    else if (any({"no_entry", "ru:3.1", "de:267", "fi:c2"}))
        kind = PointKind::NoEntry;
    else if (any({"parking", "ru:6.4", "de:314", "fi:e1"}))
        kind = PointKind::Parking;
    else
        return false;
    return true;
}

bool pointKindOf(const osmium::TagList& tags, PointKind& kind)
{
    if (hasValue(tags, "railway", {"tram_stop"}) ||
        (hasValue(tags, "public_transport", {"platform"}) && hasValue(tags, "tram", {"yes"})))
        kind = PointKind::TramStop;
    else if (hasValue(tags, "highway", {"bus_stop"}) ||
             (hasValue(tags, "public_transport", {"platform"}) && hasValue(tags, "bus", {"yes"})))
        kind = PointKind::BusStop;
    else if (hasValue(tags, "highway", {"traffic_signals"}))
        kind = PointKind::TrafficSignals;
    else if (hasValue(tags, "highway", {"crossing"}) || hasValue(tags, "railway", {"crossing", "level_crossing"}))
        kind = PointKind::Crossing;
    else if (hasValue(tags, "highway", {"give_way"}))
        kind = PointKind::GiveWay;
    else if (hasValue(tags, "highway", {"stop"}))
        kind = PointKind::StopSign;
    else
        return signKindOf(tags.get_value_by_key("traffic_sign"), kind);
    return true;
}

bool roadHighway(const char* value)
{
    static const std::set<std::string> roads{
        "motorway",      "trunk",         "primary",      "secondary",   "tertiary",    "unclassified",
        "residential",   "living_street", "service",      "pedestrian",  "track",       "footway",
        "path",          "cycleway",      "steps",        "bridleway",   "road",        "busway",
        "motorway_link", "trunk_link",    "primary_link", "secondary_link", "tertiary_link",
    };
    return value && roads.count(value) > 0;
}

bool lineKindOf(const osmium::TagList& tags, LineKind& kind)
{
    const bool tunnel = hasValue(tags, "tunnel", {"yes", "culvert", "building_passage"});
    if (roadHighway(tags.get_value_by_key("highway")) && !hasValue(tags, "area", {"yes"}))
        kind = LineKind::Road;
    else if (hasValue(tags, "railway", {"tram"}))
        kind = LineKind::Tram;
    else if (hasValue(tags, "railway", {"rail", "light_rail", "narrow_gauge", "monorail", "funicular", "preserved"}) &&
             !tunnel)
        kind = LineKind::Railway;
    else if (hasValue(tags, "waterway", {"river", "canal"}) && !tunnel)
        kind = LineKind::River;
    else if (hasValue(tags, "waterway", {"stream", "drain", "ditch"}) && !tunnel)
        kind = LineKind::Stream;
    else if (hasValue(tags, "natural", {"coastline"}))
        kind = LineKind::Coastline;
    else
        return false;
    return true;
}

int levelsOf(const osmium::TagList& tags)
{
    bool ok = false;
    const double levels = tag(tags, "building:levels").replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok && levels > 0 && levels < 200 ? static_cast<int>(std::lround(levels)) : 0;
}

// The leading digits of the tag, as atoi reads them; a number too large for an int counts as none (0).
int adminLevelOf(const osmium::TagList& tags)
{
    const char* value = tags.get_value_by_key("admin_level", "");
    int level = 0;
    if (std::from_chars(value, value + std::strlen(value), level).ec != std::errc())
        return 0;
    return level;
}

bool areaKindOf(const osmium::TagList& tags, AreaKind& kind)
{
    const char* building = tags.get_value_by_key("building");
    const int level = adminLevelOf(tags);
    if (building && std::strcmp(building, "no") != 0)
        kind = AreaKind::Building;
    else if (hasValue(tags, "natural", {"water"}) || hasValue(tags, "waterway", {"riverbank", "dock"}) ||
             hasValue(tags, "landuse", {"reservoir", "basin"}))
        kind = AreaKind::Water;
    else if (hasValue(tags, "landuse", {"forest"}) || hasValue(tags, "natural", {"wood"}))
        kind = AreaKind::Forest;
    else if (hasValue(tags, "leisure", {"park", "garden"}) ||
             hasValue(tags, "landuse", {"grass", "recreation_ground", "meadow", "village_green", "cemetery"}))
        kind = AreaKind::Park;
    else if ((hasValue(tags, "boundary", {"administrative"}) && level >= 8 && level <= 10) ||
             hasValue(tags, "place", {"suburb", "borough"}))
        kind = AreaKind::District;
    else if (hasValue(tags, "place", {"quarter", "neighbourhood"}))
        kind = AreaKind::Quarter;
    else
        return false;
    return true;
}

GeoRing ringOf(const osmium::NodeRefList& nodes)
{
    GeoRing ring;
    ring.reserve(nodes.size());
    for (const osmium::NodeRef& node : nodes)
        ring.push_back(geoPoint(node.location()));
    if (ring.size() > 1)
        ring.pop_back(); // an area's rings repeat their first point
    return ring;
}

double ringArea(const GeoRing& ring)
{
    double twice = 0;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += ring[j].lon * ring[i].lat - ring[i].lon * ring[j].lat;
    return std::abs(twice) / 2;
}

// A point inside a ring: its centroid when that lies inside, else the middle
// of the widest piece of the horizontal line through the centroid.
GeoPoint pointInside(const GeoRing& ring)
{
    double x = 0, y = 0;
    for (const GeoPoint& point : ring) {
        x += point.lon;
        y += point.lat;
    }
    x /= static_cast<double>(ring.size());
    y /= static_cast<double>(ring.size());
    std::vector<double> crossings;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const GeoPoint& a = ring[j];
        const GeoPoint& b = ring[i];
        if ((a.lat > y) != (b.lat > y))
            crossings.push_back(a.lon + (y - a.lat) / (b.lat - a.lat) * (b.lon - a.lon));
    }
    std::sort(crossings.begin(), crossings.end());
    double bestWidth = -1;
    GeoPoint best{x, y};
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        if (x >= crossings[k] && x <= crossings[k + 1])
            return {x, y};
        if (crossings[k + 1] - crossings[k] > bestWidth) {
            bestWidth = crossings[k + 1] - crossings[k];
            best = {(crossings[k] + crossings[k + 1]) / 2, y};
        }
    }
    return best;
}

// The tags of the closed ways and multipolygons that are made areas.
osmium::TagsFilter areaFilter()
{
    osmium::TagsFilter filter{false};
    for (const char* key : {"building", "natural", "waterway", "landuse", "leisure", "boundary", "place", "shop",
                            "amenity", "office", "craft", "tourism", "healthcare"})
        filter.add_rule(true, osmium::TagMatcher{key});
    return filter;
}

// A node missing from the extract is passed over: the ring goes straight on
// from the node before it to the node after, so that an area the extract's
// edge cuts is drawn up to the cut. A ring left with fewer than three
// corners comes on as an empty area, to be counted, where the assembler
// would otherwise drop the area without a word.
osmium::area::Assembler::config_type assemblyConfig()
{
    osmium::area::Assembler::config_type config;
    config.ignore_invalid_locations = true;
    return config;
}

// Nodes and ways: points, lines, firms and address points.
class FeatureCollector : public osmium::handler::Handler {
public:
    explicit FeatureCollector(OsmFeatures& features) : features_(features) {}

    void node(const osmium::Node& node)
    {
        const osmium::TagList& tags = node.tags();
        if (tags.empty() || !node.location().valid())
            return;
        const GeoPoint where = geoPoint(node.location());
        OsmFirm firm;
        if (firmOf(tags, firm)) {
            firm.osmType = 'n';
            firm.osmId = node.id();
            firm.where = where;
            features_.firms.push_back(std::move(firm));
        }
        PointKind kind;
        if (pointKindOf(tags, kind))
            features_.points.push_back({kind, where, tag(tags, "name")});
        OsmAddress address = addressOf(tags);
        if (address.present() && !tags.has_key("building"))
            features_.addressPoints.push_back({where, std::move(address)});
    }

    void way(const osmium::Way& way)
    {
        assembleWayClosedOutsideTheExtract(way);
        LineKind kind;
        if (!lineKindOf(way.tags(), kind))
            return;
        // Nodes missing from the extract cut the line; each piece that
        // remains is kept.
        bool cut = false;
        OsmLine piece{kind, {}, tag(way.tags(), "name"), tag(way.tags(), "highway"), {}};
        if (kind == LineKind::Road)
            piece.road = {tag(way.tags(), "oneway"), tag(way.tags(), "access"), tag(way.tags(), "foot"),
                          tag(way.tags(), "motor_vehicle"), tag(way.tags(), "junction")};
        for (const osmium::NodeRef& node : way.nodes()) {
            if (node.location().valid()) {
                piece.points.push_back(geoPoint(node.location()));
                continue;
            }
            cut = true;
            keep(piece);
        }
        keep(piece);
        if (cut)
            ++features_.incompleteWays;
    }

    // Areas from the assembler: closed ways and multipolygons.
    void area(const osmium::Area& area)
    {
        const osmium::TagList& tags = area.tags();
        std::vector<GeoPolygon> polygons;
        for (const osmium::OuterRing& outer : area.outer_rings()) {
            GeoPolygon polygon{ringOf(outer), {}};
            for (const osmium::InnerRing& inner : area.inner_rings(outer))
                polygon.holes.push_back(ringOf(inner));
            if (polygon.outer.size() >= 3)
                polygons.push_back(std::move(polygon));
        }
        // The assembler hands on an empty area where the rings of a closed
        // way or a multipolygon do not close: too few of its nodes in the
        // extract, or a ring crossing itself.
        if (polygons.empty()) {
            ++features_.unassembledAreas;
            return;
        }
        OsmFirm firm;
        if (firmOf(tags, firm)) {
            firm.osmType = area.from_way() ? 'w' : 'r';
            firm.osmId = area.orig_id();
            firm.where = pointInside(largestOuter(polygons));
            features_.firms.push_back(std::move(firm));
        }
        AreaKind kind;
        if (!areaKindOf(tags, kind))
            return;
        OsmArea result{kind, std::move(polygons), tag(tags, "name"), addressOf(tags), levelsOf(tags)};
        features_.areas.push_back(std::move(result));
    }

private:
    // The multipolygon manager hands the assembler no closed way whose
    // first and last node is missing from the extract: such a way is
    // assembled here, turned to start at a node the extract holds, as any
    // other way the extract's edge cuts.
    void assembleWayClosedOutsideTheExtract(const osmium::Way& way)
    {
        const osmium::WayNodeList& nodes = way.nodes();
        const bool closedOutside = nodes.size() > 3 && nodes.front().ref() == nodes.back().ref() &&
                                   !nodes.front().location().valid();
        if (!closedOutside || way.tags().has_tag("area", "no") || osmium::tags::match_none_of(way.tags(), areaTags_))
            return;
        const auto held = std::find_if(nodes.begin(), nodes.end(), [](const osmium::NodeRef& node) {
            return node.location().valid();
        });
        if (held == nodes.end()) {
            ++features_.unassembledAreas;
            return;
        }
        osmium::memory::Buffer turned{1024, osmium::memory::Buffer::auto_grow::yes};
        {
            osmium::builder::WayBuilder builder{turned};
            builder.set_id(way.id());
            builder.add_item(way.tags());
            osmium::builder::WayNodeListBuilder ring{builder};
            // The ring without its closing node, from the held node round to it again.
            const auto last = nodes.end() - 1;
            for (auto node = held; node != last; ++node)
                ring.add_node_ref(*node);
            for (auto node = nodes.begin(); node != held; ++node)
                ring.add_node_ref(*node);
            ring.add_node_ref(*held);
        }
        turned.commit();
        osmium::memory::Buffer assembled{1024, osmium::memory::Buffer::auto_grow::yes};
        osmium::area::Assembler assembler{assembly_};
        if (!assembler(turned.get<osmium::Way>(0), assembled)) {
            ++features_.unassembledAreas;
            return;
        }
        for (const osmium::Area& made : assembled.select<osmium::Area>())
            area(made);
    }

    void keep(OsmLine& piece)
    {
        if (piece.points.size() >= 2)
            features_.lines.push_back(piece);
        piece.points.clear();
    }

    static const GeoRing& largestOuter(const std::vector<GeoPolygon>& polygons)
    {
        const GeoPolygon* largest = &polygons.front();
        for (const GeoPolygon& polygon : polygons)
            if (ringArea(polygon.outer) > ringArea(largest->outer))
                largest = &polygon;
        return largest->outer;
    }

    OsmFeatures& features_;
    const osmium::TagsFilter areaTags_ = areaFilter();
    // The assembler keeps a reference to its settings.
    const osmium::area::Assembler::config_type assembly_ = assemblyConfig();
};

using LocationIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
using LocationHandler = osmium::handler::NodeLocationsForWays<LocationIndex>;
using AreaManager = osmium::area::MultipolygonManager<osmium::area::Assembler>;

// Where the reading stands, for the message when it fails.
struct ReadingPlace {
    QString pass;
    std::size_t offset = 0;
};

void readRelations(const osmium::io::File& file, AreaManager& manager, ReadingPlace& place)
{
    place.pass = QStringLiteral("при чтении отношений");
    osmium::io::Reader reader{file, osmium::osm_entity_bits::relation};
    while (osmium::memory::Buffer buffer = reader.read()) {
        place.offset = reader.offset();
        osmium::apply(buffer, manager);
    }
    reader.close();
    manager.prepare_for_lookup();
}

void readNodesAndWays(const osmium::io::File& file, AreaManager& manager, OsmFeatures& features,
                      ReadingPlace& place)
{
    place.pass = QStringLiteral("при чтении точек и линий");
    LocationIndex index;
    LocationHandler locations{index};
    // Extracts cut ways at their border: such nodes are simply missing.
    locations.ignore_errors();
    FeatureCollector collector(features);
    osmium::io::Reader reader{file, osmium::osm_entity_bits::node | osmium::osm_entity_bits::way};
    const osmium::Box box = reader.header().box();
    if (box.valid()) {
        features.hasBounds = true;
        features.boundsMin = geoPoint(box.bottom_left());
        features.boundsMax = geoPoint(box.top_right());
    }
    osmium::ProgressBar progress{reader.file_size(), osmium::isatty(2)};
    auto areas = manager.handler([&collector](osmium::memory::Buffer&& buffer) { osmium::apply(buffer, collector); });
    while (osmium::memory::Buffer buffer = reader.read()) {
        place.offset = reader.offset();
        progress.update(reader.offset());
        osmium::apply(buffer, locations, collector, areas);
    }
    progress.done();
    reader.close();
    manager.for_each_incomplete_relation([&features](const auto&) { ++features.unassembledAreas; });
}

QString failure(const QString& path, const ReadingPlace& place, const QString& where, const char* what)
{
    return QStringLiteral("Не удалось прочитать файл OSM «%1» %2%3: %4")
        .arg(QFileInfo(path).fileName(), place.pass, where, QString::fromUtf8(what));
}

} // namespace

bool IsOsmFileName(const QString& path)
{
    for (const QString& suffix : kOsmSuffixes)
        if (path.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    return false;
}

Result<OsmFeatures> ReadOsmFile(const QString& path, const OsmStageReport& stage)
{
    using Read = Result<OsmFeatures>;
    if (!IsOsmFileName(path))
        return Read::failure(
            QStringLiteral("Файл «%1» не похож на файл OSM: ожидается .osm.pbf, .osm, .osm.gz или .osm.bz2.").arg(path));
    if (!QFileInfo(path).isFile() || !QFile(path).open(QIODevice::ReadOnly))
        return Read::failure(QStringLiteral("Файл OSM «%1» не найден или не читается.").arg(path));
    OsmFeatures features;
    ReadingPlace place;
    try {
        const osmium::io::File file{QFile::encodeName(path).toStdString()};
        AreaManager manager{assemblyConfig(), areaFilter()};
        if (stage)
            stage(QStringLiteral("Чтение мультиполигонов…"));
        readRelations(file, manager, place);
        if (stage)
            stage(QStringLiteral("Чтение точек, линий и площадей…"));
        readNodesAndWays(file, manager, features, place);
    } catch (const osmium::xml_error& error) {
        return Read::failure(failure(path, place, QStringLiteral(", строка %1, столбец %2").arg(error.line).arg(error.column),
                                     error.error_string.c_str()));
    } catch (const std::exception& error) {
        return Read::failure(failure(path, place, QStringLiteral(", около байта %1").arg(place.offset), error.what()));
    }
    return features;
}
