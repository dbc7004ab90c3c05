#include "OsmWriter.h"

#include "MapStyle.h"
#include "OsmMap.h"
#include "OsmReader.h"

#include <osmium/builder/attr.hpp>
#include <osmium/io/any_output.hpp>

#include <QFile>

#include <string>
#include <utility>

namespace {

using namespace osmium::builder::attr;
using Tags = std::vector<std::pair<std::string, std::string>>;

// Flushed to the writer whenever it holds this much.
constexpr std::size_t kBufferBytes = 8 << 20;

std::string utf8(const QString& text) { return text.toStdString(); }

const char* highwayOf(std::uint8_t roadClass)
{
    switch (roadClass) {
    case rcMainStreet:
        return "tertiary";
    case rcAvenue:
        return "primary";
    case rcPath:
        return "footway";
    case rcMotorway:
        return "motorway";
    default:
        return "residential";
    }
}

Tags signTags(const TPMXMapObjectMem& object)
{
    const QString icon = object.Zametka ? object.Zametka->IconName : QString();
    if (icon == QLatin1String("SVETOFOR.BMP"))
        return {{"highway", "traffic_signals"}};
    if (icon == QLatin1String("CROSSWALK.BMP"))
        return {{"highway", "crossing"}};
    if (icon == QLatin1String("GIVEWAY.BMP"))
        return {{"highway", "give_way"}};
    if (icon == QLatin1String("NOENTRY.BMP"))
        return {{"traffic_sign", "no_entry"}};
    if (icon == QLatin1String("PARKING.BMP"))
        return {{"traffic_sign", "parking"}};
    return {{"traffic_sign", "stop"}};
}

Tags areaTags(const TPMXMapObjectMem& object)
{
    switch (object.ObjType) {
    case otBuilding: {
        Tags tags{{"building", "yes"}};
        if (object.Floors > 0)
            tags.emplace_back("building:levels", std::to_string(object.Floors));
        if (object.HasAddress) {
            tags.emplace_back("addr:street", utf8(object.Street));
            tags.emplace_back("addr:housenumber", utf8(object.House));
        }
        return tags;
    }
    case otWater:
        return {{"natural", "water"}};
    case otDistrict:
        return {{"place", "suburb"}};
    case otDistrict2:
        return {{"place", "quarter"}};
    case otMicrodistrict:
        if (object.StyleCode == 1)
            return {{"leisure", "park"}};
        if (object.StyleCode == 2)
            return {{"landuse", "forest"}};
        return {{"place", "neighbourhood"}};
    default:
        return {};
    }
}

// The tags of an object; empty for what the importer does not read.
Tags tagsOf(const TPMXMapObjectMem& object)
{
    Tags tags;
    if (IsAreaType(object.ObjType))
        tags = areaTags(object);
    else if (object.ObjType == otRoad)
        tags = {{"highway", highwayOf(object.StyleCode)}};
    else if (object.ObjType == otRailway)
        tags = {{"railway", "rail"}};
    else if (object.ObjType == otStop)
        tags = {{"highway", "bus_stop"}};
    else if (object.ObjType == otRoadSign)
        tags = signTags(object);
    if (tags.empty())
        return tags;
    const QString name = object.ObjType == otRoad ? object.Street : object.Name;
    if (!name.isEmpty())
        tags.emplace_back("name", utf8(name));
    return tags;
}

class Output {
public:
    Output(const QString& path, GeoPoint centre, MapPoint mapCentre)
        : writer_(osmium::io::File{QFile::encodeName(path).toStdString()}, header(), osmium::io::overwrite::allow),
          projection_(centre, mapCentre)
    {
    }

    osmium::object_id_type node(MapPoint point, const Tags& tags = {})
    {
        const GeoPoint where = projection_.toGeo(point);
        osmium::builder::add_node(buffer_, _id(++lastNode_), _version(1), _location(where.lon, where.lat), _tags(tags));
        flushWhenFull();
        return lastNode_;
    }

    void way(const std::vector<osmium::object_id_type>& nodes, const Tags& tags)
    {
        osmium::builder::add_way(buffer_, _id(++lastWay_), _version(1), _nodes(nodes), _tags(tags));
        flushWhenFull();
    }

    void close()
    {
        writer_(std::move(buffer_));
        writer_.close();
    }

private:
    static osmium::io::Header header()
    {
        osmium::io::Header header;
        header.set("generator", "varindel-edition generate");
        return header;
    }
    void flushWhenFull()
    {
        if (buffer_.committed() < kBufferBytes)
            return;
        writer_(std::move(buffer_));
        buffer_ = osmium::memory::Buffer(kBufferBytes * 2, osmium::memory::Buffer::auto_grow::yes);
    }

    osmium::io::Writer writer_;
    LocalProjection projection_;
    osmium::memory::Buffer buffer_{kBufferBytes * 2, osmium::memory::Buffer::auto_grow::yes};
    osmium::object_id_type lastNode_ = 0;
    osmium::object_id_type lastWay_ = 0;
};

} // namespace

Status WriteOsmFile(const QString& path, const MapModel& map, const std::vector<OsmFirmPoint>& firms, GeoPoint centre)
{
    if (!IsOsmFileName(path))
        return Status::failure(
            QStringLiteral("Файл «%1»: ожидается имя с .osm.pbf, .osm, .osm.gz или .osm.bz2.").arg(path));
    try {
        const QPointF middle = map.extent().center();
        Output output(path, centre, {static_cast<float>(middle.x()), static_cast<float>(middle.y())});
        // Nodes come before the ways that use them: ways are kept until all nodes are out.
        std::vector<std::pair<std::vector<osmium::object_id_type>, Tags>> ways;
        for (int index = 0; index < map.GetCount(); ++index) {
            if (map.isDeleted(index))
                continue;
            const TPMXMapObjectMem& object = map.object(index);
            Tags tags = tagsOf(object);
            if (tags.empty())
                continue;
            if (IsPointType(object.ObjType)) {
                output.node({object.X, object.Y}, tags);
                continue;
            }
            std::vector<osmium::object_id_type> nodes;
            for (const MapPoint& point : object.Geometry)
                nodes.push_back(output.node(point));
            if (IsAreaType(object.ObjType))
                nodes.push_back(nodes.front());
            ways.emplace_back(std::move(nodes), std::move(tags));
        }
        for (const OsmFirmPoint& firm : firms) {
            Tags tags{{"office", "company"}, {"name", utf8(firm.name)}};
            if (!firm.phones.isEmpty())
                tags.emplace_back("phone", utf8(firm.phones));
            output.node(firm.where, tags);
        }
        for (const auto& [nodes, tags] : ways)
            output.way(nodes, tags);
        output.close();
    } catch (const std::exception& error) {
        return Status::failure(QStringLiteral("Не удалось записать файл OSM «%1»: %2").arg(path, QString::fromUtf8(error.what())));
    }
    return success();
}
