// The street graph built from a map's roads and its file: junctions where
// roads meet, lengths and access, the shape kept for drawing, and files that
// are damaged, foreign or lie about their contents refused with a reason.
#include "GraphFormat.h"
#include "MapFormat.h"
#include "MapStyle.h"
#include "RouteFile_generated.h"

#include "Checksum.h"
#include "SyntheticCity.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

// Two streets crossing at (100, 0) and a footpath from the crossing's corner.
MapModel crossingMap()
{
    MapModel map;
    TPMXMapObjectMem lenina = lineObject(1, otRoad, {{0, 0}, {50, 0}, {100, 0}, {200, 0}});
    lenina.Street = QStringLiteral("улица Ленина");
    TPMXMapObjectMem mira = lineObject(2, otRoad, {{100, -100}, {100, 0}, {100, 100}});
    mira.Street = QStringLiteral("проспект Мира");
    mira.StyleCode = rcAvenue;
    TPMXMapObjectMem path = lineObject(3, otRoad, {{200, 0}, {200, 80}});
    path.StyleCode = rcPath;
    map.append(lenina);
    map.append(mira);
    map.append(path);
    map.append(lineObject(4, otRailway, {{0, 0}, {0, 500}}));
    map.append(squareObject(5, otBuilding, 50, 20, 10));
    return map;
}

TEST(StreetGraph, RoadsMeetWhereTheySharePoints)
{
    const StreetGraph graph = buildStreetGraph(roadLinesOf(crossingMap()));
    // Junctions: both ends of each road and the crossing; the bend at (50, 0)
    // stays a shape point.
    EXPECT_EQ(graph.nodes.size(), 6u);
    ASSERT_EQ(graph.edges.size(), 5u);
    const GraphEdge& west = graph.edges[0];
    EXPECT_FLOAT_EQ(west.length, 100);
    EXPECT_EQ(graph.streets[west.street], QStringLiteral("улица Ленина"));
    const std::vector<MapPoint> shape = graph.shape(west);
    ASSERT_EQ(shape.size(), 3u);
    EXPECT_EQ(shape[1], (MapPoint{50, 0}));
    EXPECT_EQ(west.access, eaCars | eaFoot);
    EXPECT_EQ(graph.edges[2].roadClass, rcAvenue);
    EXPECT_EQ(graph.edges[2].to, graph.edges[3].from);
    EXPECT_EQ(graph.edges[4].access, eaFoot);
    EXPECT_EQ(graph.edges[4].street, 0u);
}

TEST(GraphFile, KeepsEverythingItWasGiven)
{
    StreetGraph graph = buildStreetGraph(roadLinesOf(crossingMap()));
    graph.edges[1].access = eaCars | eaFoot | eaOneWay;
    const Result<StreetGraph> read = readGraphFile(writeGraphFile(graph));
    ASSERT_TRUE(read) << read.error().toStdString();
    const StreetGraph& back = read.value();
    EXPECT_EQ(back.nodes, graph.nodes);
    EXPECT_EQ(back.points, graph.points);
    EXPECT_EQ(back.streets, graph.streets);
    ASSERT_EQ(back.edges.size(), graph.edges.size());
    for (std::size_t i = 0; i < graph.edges.size(); ++i) {
        EXPECT_EQ(back.edges[i].from, graph.edges[i].from);
        EXPECT_EQ(back.edges[i].to, graph.edges[i].to);
        EXPECT_EQ(back.edges[i].length, graph.edges[i].length);
        EXPECT_EQ(back.edges[i].street, graph.edges[i].street);
        EXPECT_EQ(back.edges[i].firstPoint, graph.edges[i].firstPoint);
        EXPECT_EQ(back.edges[i].pointCount, graph.edges[i].pointCount);
        EXPECT_EQ(back.edges[i].roadClass, graph.edges[i].roadClass);
        EXPECT_EQ(back.edges[i].access, graph.edges[i].access);
    }
}

// A file whose envelope is sound around a body built here: a checksum that
// matches, so only the meaning checks can refuse it.
QByteArray sealedBody(const std::function<void(flatbuffers::FlatBufferBuilder&)>& build)
{
    flatbuffers::FlatBufferBuilder builder;
    build(builder);
    flatbuffers::FlatBufferBuilder envelope;
    envelope.ForceVectorAlignment(builder.GetSize(), 1, 8);
    const auto body = envelope.CreateVector(builder.GetBufferPointer(), builder.GetSize());
    VarindelRouteFile::FinishRouteFileBuffer(
        envelope, VarindelRouteFile::CreateRouteFile(envelope, kRouteFormatVersion,
                                                     contentChecksum(builder.GetBufferPointer(), builder.GetSize()),
                                                     body));
    return QByteArray(reinterpret_cast<const char*>(envelope.GetBufferPointer()), qsizetype(envelope.GetSize()));
}

QByteArray graphWithEdge(VarindelRouteFile::Edge edge)
{
    return sealedBody([&](flatbuffers::FlatBufferBuilder& builder) {
        const std::vector<VarindelRouteFile::Point> nodes = {{0, 0}, {100, 0}};
        const auto nodeVector = builder.CreateVectorOfStructs(nodes);
        const std::vector<VarindelRouteFile::Edge> edges = {edge};
        const auto edgeVector = builder.CreateVectorOfStructs(edges);
        builder.Finish(VarindelRouteFile::CreateGraph(builder, 0, nodeVector, edgeVector, 0));
    });
}

TEST(GraphFile, RefusesDamagedForeignAndLyingFiles)
{
    const QByteArray good = writeGraphFile(buildStreetGraph(roadLinesOf(crossingMap())));
    const auto reason = [](const QByteArray& blob) {
        const Result<StreetGraph> read = readGraphFile(blob);
        return read ? QString() : read.error();
    };
    EXPECT_EQ(reason(QByteArray()), QStringLiteral("Это не файл маршрутов"));
    EXPECT_EQ(reason(QByteArray("not a graph at all, just text....")), QStringLiteral("Это не файл маршрутов"));
    EXPECT_EQ(reason(writeMapFile(crossingMap())), QStringLiteral("Это не файл маршрутов"));
    EXPECT_EQ(reason(good.left(good.size() - 8)), QStringLiteral("Файл маршрутов повреждён: нарушена структура файла"));
    EXPECT_EQ(reason(good.left(good.size() - 3)), QStringLiteral("Файл маршрутов повреждён: файл обрезан"));
    QByteArray flipped = good;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x10);
    EXPECT_TRUE(reason(flipped).startsWith(QStringLiteral("Файл маршрутов повреждён")));

    EXPECT_TRUE(reason(graphWithEdge({0, 1, 100, 0, 0, 0, 0, eaFoot})).isEmpty());
    EXPECT_EQ(reason(graphWithEdge({0, 7, 100, 0, 0, 0, 0, eaFoot})),
              QStringLiteral("Файл маршрутов повреждён: неверный перекрёсток"));
    EXPECT_EQ(reason(graphWithEdge({0, 1, 10, 0, 0, 0, 0, eaFoot})),
              QStringLiteral("Файл маршрутов повреждён: неверная длина участка"));
    EXPECT_EQ(reason(graphWithEdge({0, 1, NAN, 0, 0, 0, 0, eaFoot})),
              QStringLiteral("Файл маршрутов повреждён: неверная длина участка"));
    EXPECT_EQ(reason(graphWithEdge({0, 1, 100, 3, 0, 0, 0, eaFoot})),
              QStringLiteral("Файл маршрутов повреждён: неверное название улицы"));
    EXPECT_EQ(reason(graphWithEdge({0, 1, 100, 0, 0, 2, 0, eaFoot})),
              QStringLiteral("Файл маршрутов повреждён: неверная форма участка"));
    EXPECT_EQ(reason(graphWithEdge({0, 1, 100, 0, 0, 0, 9, eaFoot})),
              QStringLiteral("Файл маршрутов повреждён: неверный вид участка"));
}

TEST(GraphFile, LoadsFromDiskOrSaysWhyNot)
{
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("demoomk.graph"));
    const StreetGraph graph = buildStreetGraph(roadLinesOf(crossingMap()));
    ASSERT_TRUE(saveGraphFile(graph, path));
    const Result<StreetGraph> loaded = loadGraphFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.value().edges.size(), graph.edges.size());

    const Result<StreetGraph> missing = loadGraphFile(path + QStringLiteral(".none"));
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().startsWith(QStringLiteral("Не удалось открыть файл маршрутов")));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2);
    file.write("XXXXXXXX");
    file.close();
    const Result<StreetGraph> damaged = loadGraphFile(path);
    ASSERT_FALSE(damaged);
    EXPECT_TRUE(damaged.error().startsWith(QStringLiteral("Файл маршрутов повреждён")));
    EXPECT_TRUE(damaged.error().contains(path));
}

} // namespace
