// Feeds arbitrary bytes to the OpenStreetMap import as an .osm (XML) file:
// whatever comes in, the reading must give the extract's features or a
// message, never crash; and an extract that reads must become a city (its
// map, its directory, the import's report and the street graph of its
// roads) without a crash either, with every firm's address in a building the
// map has and every edge of the graph between nodes it has.
#include "OsmImport.h"

#include <QFile>

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const QString& extractPath()
{
    static const QString path = QStringLiteral("/dev/shm/varindel-osm-fuzz-%1.osm").arg(getpid());
    return path;
}

void writeExtract(const std::uint8_t* data, std::size_t size)
{
    FILE* file = std::fopen(QFile::encodeName(extractPath()).constData(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    // The data reaches the file only when it is closed: a failure here would leave a short input.
    if (std::fclose(file) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeExtract(data, size);
    const Result<ImportedCity> city = ImportOsmCity(extractPath(), QString());
    if (!city.ok()) {
        if (city.error().isEmpty())
            __builtin_trap();
        return 0;
    }
    const ImportedCity& imported = city.value();
    for (const DirectoryAddress& address : imported.directory.addresses)
        if (imported.map.model.FindObjectID(address.objectId) < 0)
            __builtin_trap();
    if (ImportReportLines(imported).isEmpty())
        __builtin_trap();
    // The routes of the edition are built from the same roads.
    const StreetGraph graph = buildStreetGraph(imported.map.roadLines);
    for (const GraphEdge& edge : graph.edges)
        if (edge.from >= graph.nodes.size() || edge.to >= graph.nodes.size() ||
            std::uint64_t(edge.firstPoint) + edge.pointCount > graph.points.size())
            __builtin_trap();
    return 0;
}
