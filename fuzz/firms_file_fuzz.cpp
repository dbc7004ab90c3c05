// Feeds arbitrary bytes to the reader of the publisher's firm file (CSV) and
// places the rows it gives in a small imported city: whatever comes in, the
// reading must give rows or a message naming the line, never crash; and the
// placing of any rows must keep every address in a building of the map.
#include "OsmDirectory.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

GeoRing square(double lon, double lat)
{
    const double side = 0.0002;
    return {{lon, lat}, {lon + side, lat}, {lon + side, lat + side}, {lon, lat + side}};
}

// Four addressed buildings along two streets and a pharmacy of the extract.
OsmFeatures smallCity()
{
    OsmFeatures features;
    const struct {
        const char* street;
        const char* house;
        double lon;
    } buildings[] = {{"улица Мира", "12", 30.3010},
                     {"улица Мира", "12к1", 30.3015},
                     {"Невский проспект", "1А", 30.3020},
                     {"Невский проспект", "3 стр. 2", 30.3025}};
    for (const auto& building : buildings) {
        OsmArea area;
        area.kind = AreaKind::Building;
        area.polygons.push_back({square(building.lon, 59.9310), {}});
        area.address = {QString::fromUtf8(building.street), QString::fromUtf8(building.house), QStringLiteral("190000")};
        features.areas.push_back(area);
    }
    OsmFirm pharmacy;
    pharmacy.osmId = 7;
    pharmacy.where = {30.3011, 59.9311};
    pharmacy.name = QStringLiteral("Аптека «Здоровье»");
    pharmacy.tagKey = QStringLiteral("amenity");
    pharmacy.tagValue = QStringLiteral("pharmacy");
    features.firms.push_back(pharmacy);
    return features;
}

// The folder the file's logos are looked for in: one small picture.
const QString& logoFolder()
{
    static const QString folder = QStringLiteral("/dev/shm/varindel-firms-fuzz-%1").arg(getpid());
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QDir().mkpath(logoFolder());
    QFile logo(logoFolder() + QStringLiteral("/logo.png"));
    if (!logo.open(QIODevice::WriteOnly) || logo.write("\x89PNG\r\n\x1a\n") != 8)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const OsmFeatures features = smallCity();
    static const OsmMap map = BuildOsmMap(features);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Result<std::vector<FirmsFileRow>> rows =
        ParseFirmsFile(bytes, QStringLiteral("firms.csv"), logoFolder());
    if (!rows.ok()) {
        if (rows.error().isEmpty())
            __builtin_trap();
        return 0;
    }
    for (const FirmsFileRow& row : rows.value())
        if (row.name.isEmpty() || row.line < 2)
            __builtin_trap();
    const OsmDirectory directory = BuildOsmDirectory(features, map, rows.value());
    for (const DirectoryAddress& address : directory.addresses)
        if (map.model.FindObjectID(address.objectId) < 0)
            __builtin_trap();
    return 0;
}
