#include "MapnikCity.h"

#include <mapnik/agg_renderer.hpp>
#include <mapnik/datasource_cache.hpp>
#include <mapnik/font_engine_freetype.hpp>
#include <mapnik/image.hpp>
#include <mapnik/load_map.hpp>
#include <mapnik/map.hpp>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <array>

namespace {

const char* const kPluginFolder = "/usr/lib/mapnik/3.1/input";
const char* const kFontFolder = "/usr/share/fonts/truetype/dejavu";
// Map units are metres on a plane; any metric projection that Mapnik need
// not transform will do, as long as the map and its layers share it.
const char* const kPlane = "+proj=merc +a=6378137 +b=6378137 +units=m +no_defs";
// Street level and closer: casings, outlines and texts, as in our map. At
// scale 5000 Mapnik's scale denominator is about 1540, for the whole city
// above 40000.
const char* const kNearDenominator = "8000";

QString escaped(const QString& text)
{
    QString out = text;
    return out.replace('\\', "\\\\").replace('"', "\\\"");
}

void writeCoordinates(QTextStream& out, const std::vector<MapPoint>& points, bool closed)
{
    out << '[';
    for (std::size_t i = 0; i < points.size(); ++i)
        out << (i ? "," : "") << '[' << points[i].x << ',' << points[i].y << ']';
    if (closed && !points.empty())
        out << ",[" << points.front().x << ',' << points.front().y << ']';
    out << ']';
}

void writeFeature(QTextStream& out, const TPMXMapObjectMem& object, bool& first)
{
    out << (first ? "" : ",\n") << R"({"type":"Feature","properties":{"class":)" << int(object.StyleCode)
        << R"(,"name":")" << escaped(object.Name.isEmpty() ? object.Street : object.Name) << R"(","house":")"
        << escaped(object.House) << R"("},"geometry":)";
    first = false;
    if (IsAreaType(object.ObjType)) {
        out << R"({"type":"Polygon","coordinates":[)";
        writeCoordinates(out, object.Geometry, true);
        out << "]}}";
    } else if (IsLineType(object.ObjType)) {
        out << R"({"type":"LineString","coordinates":)";
        writeCoordinates(out, object.Geometry, false);
        out << "}}";
    } else {
        out << R"({"type":"Point","coordinates":[)" << object.X << ',' << object.Y << "]}}";
    }
}

bool drawable(const TPMXMapObjectMem& object)
{
    if (IsAreaType(object.ObjType))
        return object.Geometry.size() >= 3;
    if (IsLineType(object.ObjType))
        return object.Geometry.size() >= 2;
    return IsPointType(object.ObjType);
}

// One GeoJSON file per object type: <folder>/type<N>.geojson.
void writeLayers(const MapModel& model, const QString& folder)
{
    std::array<std::unique_ptr<QFile>, 10> files;
    std::array<std::unique_ptr<QTextStream>, 10> streams;
    std::array<bool, 10> first{};
    for (std::size_t type = 0; type < files.size(); ++type) {
        files[type] = std::make_unique<QFile>(QDir(folder).filePath(QStringLiteral("type%1.geojson").arg(type)));
        files[type]->open(QIODevice::WriteOnly | QIODevice::Truncate);
        streams[type] = std::make_unique<QTextStream>(files[type].get());
        streams[type]->setRealNumberPrecision(9);
        *streams[type] << R"({"type":"FeatureCollection","features":[)" << '\n';
        first[type] = true;
    }
    for (int index = 0; index < model.GetCount(); ++index) {
        if (model.isDeleted(index))
            continue;
        const TPMXMapObjectMem& object = model.object(index);
        if (object.ObjType < 0 || object.ObjType >= 10 || !drawable(object))
            continue;
        const auto type = static_cast<std::size_t>(object.ObjType);
        writeFeature(*streams[type], object, first[type]);
    }
    for (auto& stream : streams)
        *stream << "\n]}\n";
}

QString layer(const QString& name, const QString& folder, int type, const QStringList& styles)
{
    QString xml = QStringLiteral(R"(<Layer name="%1" srs="%2">)").arg(name, kPlane);
    for (const QString& style : styles)
        xml += QStringLiteral("<StyleName>%1</StyleName>").arg(style);
    xml += QStringLiteral(R"(<Datasource><Parameter name="type">geojson</Parameter>)"
                          R"(<Parameter name="file">%1/type%2.geojson</Parameter></Datasource></Layer>)")
               .arg(folder)
               .arg(type);
    return xml;
}

QString roadRules(bool casing)
{
    // Widths at street level follow ours at scale 5000; far away, thin lines.
    const std::array<const char*, 3> nearWidths = casing ? std::array<const char*, 3>{"18", "25", "34"}
                                                         : std::array<const char*, 3>{"16", "23", "32"};
    const std::array<const char*, 3> colours = casing
                                                   ? std::array<const char*, 3>{"#bdb3a8", "#c89b5a", "#c46a4f"}
                                                   : std::array<const char*, 3>{"#ffffff", "#fcd6a4", "#f9b29c"};
    const std::array<const char*, 3> farWidths{"0.7", "1.1", "1.6"};
    const std::array<const char*, 3> farColours{"#c9c0b6", "#d6b27c", "#d37f66"};
    QString xml;
    for (int kind = 0; kind < 3; ++kind) {
        xml += QStringLiteral(R"(<Rule><Filter>[class] = %1</Filter><MaxScaleDenominator>%2</MaxScaleDenominator>)"
                              R"(<LineSymbolizer stroke="%3" stroke-width="%4" stroke-linecap="round" stroke-linejoin="round"/></Rule>)")
                   .arg(kind)
                   .arg(kNearDenominator, colours[kind], nearWidths[kind]);
        if (!casing)
            xml += QStringLiteral(R"(<Rule><Filter>[class] = %1</Filter><MinScaleDenominator>%2</MinScaleDenominator>)"
                                  R"(<LineSymbolizer stroke="%3" stroke-width="%4"/></Rule>)")
                       .arg(kind)
                       .arg(kNearDenominator, farColours[kind], farWidths[kind]);
    }
    return xml;
}

QString mapXml(const QString& folder)
{
    const QString near = QStringLiteral("<MaxScaleDenominator>%1</MaxScaleDenominator>").arg(kNearDenominator);
    const QString far = QStringLiteral("<MinScaleDenominator>%1</MinScaleDenominator>").arg(kNearDenominator);
    const QString halo = QStringLiteral(R"(halo-fill="#ffffff" halo-radius="1")");
    QString xml = QStringLiteral(R"(<Map srs="%1" background-color="#f2efe9">)").arg(kPlane);
    xml += R"(<Style name="district"><Rule><PolygonSymbolizer fill="#f3e1c7"/><LineSymbolizer stroke="#ffffff" stroke-width="2"/></Rule></Style>)";
    xml += R"(<Style name="district2"><Rule><LineSymbolizer stroke="#a48bb8" stroke-width="1.5" stroke-dasharray="6,3"/></Rule></Style>)";
    xml += R"(<Style name="micro"><Rule><PolygonSymbolizer fill="#e6e2dc"/><LineSymbolizer stroke="#d4cdc4" stroke-width="1"/></Rule></Style>)";
    xml += R"(<Style name="water"><Rule><PolygonSymbolizer fill="#aad3df"/><LineSymbolizer stroke="#8cbccc" stroke-width="1"/></Rule></Style>)";
    xml += "<Style name=\"casing\">" + roadRules(true) + "</Style>";
    xml += "<Style name=\"road\">" + roadRules(false) + "</Style>";
    xml += R"(<Style name="rail"><Rule><LineSymbolizer stroke="#999999" stroke-width="2"/></Rule></Style>)";
    xml += "<Style name=\"building\"><Rule>" + near +
           R"(<PolygonSymbolizer fill="#d9d0c9"/><LineSymbolizer stroke="#b9a99c" stroke-width="1"/></Rule>)"
           "<Rule>" + far + R"(<PolygonSymbolizer fill="#d9d0c9"/></Rule></Style>)";
    xml += R"(<Style name="point"><Rule><MarkersSymbolizer width="14" height="14" fill="#1f5fb4" stroke="#ffffff"/></Rule></Style>)";
    xml += "<Style name=\"street-name\"><Rule>" + near +
           QStringLiteral(R"(<TextSymbolizer face-name="DejaVu Sans Book" size="13" fill="#333333" %1 placement="line" spacing="360">[name]</TextSymbolizer></Rule></Style>)")
               .arg(halo);
    xml += "<Style name=\"house-number\"><Rule>" + near +
           R"(<TextSymbolizer face-name="DejaVu Sans Book" size="13" fill="#5b4d42" placement="interior">[house]</TextSymbolizer></Rule></Style>)";
    xml += QStringLiteral(R"(<Style name="district-name"><Rule><TextSymbolizer face-name="DejaVu Sans Bold" size="18" fill="#73558c" %1 placement="interior">[name]</TextSymbolizer></Rule></Style>)")
               .arg(halo);
    xml += layer("districts", folder, otDistrict, {"district"});
    xml += layer("districts2", folder, otDistrict2, {"district2"});
    xml += layer("micro", folder, otMicrodistrict, {"micro"});
    xml += layer("water", folder, otWater, {"water"});
    xml += layer("roads", folder, otRoad, {"casing", "road"});
    xml += layer("rail", folder, otRailway, {"rail"});
    xml += layer("buildings", folder, otBuilding, {"building"});
    xml += layer("stops", folder, otStop, {"point"});
    xml += layer("signs", folder, otRoadSign, {"point"});
    xml += layer("labels", folder, otLabel, {"point"});
    xml += layer("district-names", folder, otDistrict, {"district-name"});
    xml += layer("street-names", folder, otRoad, {"street-name"});
    xml += layer("house-numbers", folder, otBuilding, {"house-number"});
    return xml + "</Map>";
}

} // namespace

struct MapnikCity::Impl {
    mapnik::Map map;
    mapnik::image_rgba8 image;
    Impl(int width, int height) : map(width, height), image(width, height) {}
};

MapnikCity::MapnikCity(const MapModel& model, const QString& folder, QSize size)
    : impl_(std::make_unique<Impl>(size.width(), size.height()))
{
    mapnik::datasource_cache::instance().register_datasources(kPluginFolder);
    mapnik::freetype_engine::register_fonts(kFontFolder, true);
    writeLayers(model, folder);
    mapnik::load_map_string(impl_->map, mapXml(folder).toStdString());
}

MapnikCity::~MapnikCity() = default;

void MapnikCity::render(const Viewport& view)
{
    const QRectF box = view.visibleMapRect();
    impl_->map.zoom_to_box(mapnik::box2d<double>(box.left(), box.top(), box.right(), box.bottom()));
    mapnik::agg_renderer<mapnik::image_rgba8> renderer(impl_->map, impl_->image);
    renderer.apply();
}

QImage MapnikCity::lastFrame() const
{
    const auto width = static_cast<int>(impl_->image.width());
    const auto height = static_cast<int>(impl_->image.height());
    return QImage(impl_->image.bytes(), width, height, qsizetype{width} * 4, QImage::Format_RGBA8888_Premultiplied).copy();
}

FrameTimesInTurns TimeInTurns(int runs, int framesPerRun, const std::function<double()>& drawOurs,
                              MapnikCity& mapnik, const Viewport& view)
{
    FrameTimesInTurns times;
    for (int run = 0; run < runs; ++run) {
        for (int i = 0; i < framesPerRun; ++i)
            times.ours.push_back(drawOurs());
        for (int i = 0; i < framesPerRun; ++i) {
            QElapsedTimer clock;
            clock.start();
            mapnik.render(view);
            times.mapnik.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        }
    }
    return times;
}
