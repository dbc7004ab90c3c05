#include "GraphFormat.h"

#include "Checksum.h"
#include "MapStyle.h"
#include "RouteFile_generated.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>

namespace {

using namespace VarindelRouteFile;

constexpr float kFarthestCoordinate = 1e6f;
constexpr qsizetype kFileAlignment = 8;
constexpr std::uint8_t kKnownAccess = eaCars | eaFoot | eaOneWay;

QString broken(const QString& reason) { return QStringLiteral("Файл маршрутов повреждён: %1").arg(reason); }

bool isSaneCoordinate(float value) { return std::isfinite(value) && std::abs(value) <= kFarthestCoordinate; }

bool readPoints(const flatbuffers::Vector<const Point*>* source, std::vector<MapPoint>& target)
{
    const std::size_t count = source ? source->size() : 0;
    target.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Point* point = source->Get(static_cast<flatbuffers::uoffset_t>(i));
        if (!isSaneCoordinate(point->x()) || !isSaneCoordinate(point->y()))
            return false;
        target[i] = {point->x(), point->y()};
    }
    return true;
}

// The reason an edge cannot be used, or nothing.
QString checkEdge(const GraphEdge& edge, const StreetGraph& graph)
{
    if (edge.from >= graph.nodes.size() || edge.to >= graph.nodes.size())
        return QStringLiteral("неверный перекрёсток");
    const double straight = std::hypot(double(graph.nodes[edge.from].x) - graph.nodes[edge.to].x,
                                       double(graph.nodes[edge.from].y) - graph.nodes[edge.to].y);
    // A piece is never shorter than the straight line between its ends: the
    // route search counts on that.
    if (!std::isfinite(edge.length) || edge.length < 0 || edge.length > 2 * kFarthestCoordinate ||
        edge.length + 0.5 < straight * 0.999)
        return QStringLiteral("неверная длина участка");
    if (edge.street >= graph.streets.size())
        return QStringLiteral("неверное название улицы");
    if (std::uint64_t(edge.firstPoint) + edge.pointCount > graph.points.size())
        return QStringLiteral("неверная форма участка");
    if (edge.roadClass >= kRoadClassCount || (edge.access & ~kKnownAccess) != 0)
        return QStringLiteral("неверный вид участка");
    return {};
}

Result<const Graph*> openEnvelope(const QByteArray& blob)
{
    using Opened = Result<const Graph*>;
    const auto* data = reinterpret_cast<const std::uint8_t*>(blob.constData());
    if (blob.size() < 8 || !RouteFileBufferHasIdentifier(data))
        return Opened::failure(QStringLiteral("Это не файл маршрутов"));
    if (blob.size() % kFileAlignment != 0)
        return Opened::failure(broken(QStringLiteral("файл обрезан")));
    flatbuffers::Verifier envelopeVerifier(data, static_cast<std::size_t>(blob.size()));
    if (!VerifyRouteFileBuffer(envelopeVerifier))
        return Opened::failure(broken(QStringLiteral("нарушена структура файла")));
    const auto* envelope = GetRouteFile(data);
    if (envelope->format_version() != kRouteFormatVersion)
        return Opened::failure(
            QStringLiteral("Версия файла маршрутов %1 не поддерживается").arg(envelope->format_version()));
    const auto* body = envelope->body();
    if (!body || !checksumMatches(*body, envelope->checksum()))
        return Opened::failure(broken(QStringLiteral("не сходится контрольная сумма")));
    flatbuffers::Verifier bodyVerifier(body->data(), body->size(), 16, 50'000'000);
    if (!bodyVerifier.VerifyBuffer<Graph>(nullptr))
        return Opened::failure(broken(QStringLiteral("нарушена структура графа")));
    return flatbuffers::GetRoot<Graph>(body->data());
}

} // namespace

Result<StreetGraph> readGraphFile(const QByteArray& blob)
{
    Result<const Graph*> opened = openEnvelope(blob);
    if (!opened)
        return Result<StreetGraph>::failure(opened.error());
    const Graph* file = opened.value();
    StreetGraph graph;
    if (const auto* pool = file->strings())
        for (flatbuffers::uoffset_t i = 1; i < pool->size(); ++i)
            graph.streets.push_back(QString::fromUtf8(pool->Get(i)->c_str(), static_cast<qsizetype>(pool->Get(i)->size())));
    if (!readPoints(file->nodes(), graph.nodes) || !readPoints(file->points(), graph.points))
        return Result<StreetGraph>::failure(broken(QStringLiteral("неверные координаты")));
    if (const auto* edges = file->edges()) {
        graph.edges.reserve(edges->size());
        for (const Edge* record : *edges) {
            const GraphEdge edge{record->from(),        record->to(),          record->length(),
                                 record->street(),      record->first_point(), record->point_count(),
                                 record->road_class(),  record->access()};
            const QString reason = checkEdge(edge, graph);
            if (!reason.isEmpty())
                return Result<StreetGraph>::failure(broken(reason));
            graph.edges.push_back(edge);
        }
    }
    return graph;
}

QByteArray writeGraphFile(const StreetGraph& graph)
{
    flatbuffers::FlatBufferBuilder builder(1 << 20);
    std::vector<flatbuffers::Offset<flatbuffers::String>> names;
    names.reserve(graph.streets.size());
    for (const QString& name : graph.streets) {
        const QByteArray utf8 = name.toUtf8();
        names.push_back(builder.CreateString(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
    const auto strings = builder.CreateVector(names);
    const auto points = [&builder](const std::vector<MapPoint>& source) {
        std::vector<Point> converted;
        converted.reserve(source.size());
        for (const MapPoint& point : source)
            converted.emplace_back(point.x, point.y);
        return builder.CreateVectorOfStructs(converted);
    };
    const auto nodes = points(graph.nodes);
    const auto shapes = points(graph.points);
    std::vector<Edge> records;
    records.reserve(graph.edges.size());
    for (const GraphEdge& edge : graph.edges)
        records.emplace_back(edge.from, edge.to, edge.length, edge.street, edge.firstPoint, edge.pointCount,
                             edge.roadClass, edge.access);
    const auto edges = builder.CreateVectorOfStructs(records);
    builder.Finish(CreateGraph(builder, strings, nodes, edges, shapes));

    flatbuffers::FlatBufferBuilder envelope(builder.GetSize() + 64);
    envelope.ForceVectorAlignment(builder.GetSize(), sizeof(std::uint8_t), 8);
    const auto body = envelope.CreateVector(builder.GetBufferPointer(), builder.GetSize());
    FinishRouteFileBuffer(envelope, CreateRouteFile(envelope, kRouteFormatVersion,
                                                    contentChecksum(builder.GetBufferPointer(), builder.GetSize()),
                                                    body));
    return QByteArray(reinterpret_cast<const char*>(envelope.GetBufferPointer()),
                      static_cast<qsizetype>(envelope.GetSize()));
}

Result<StreetGraph> loadGraphFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<StreetGraph>::failure(
            QStringLiteral("Не удалось открыть файл маршрутов %1: %2").arg(path, file.errorString()));
    Result<StreetGraph> graph = readGraphFile(file.readAll());
    if (!graph)
        return Result<StreetGraph>::failure(QStringLiteral("%1 (%2)").arg(graph.error(), path));
    return graph;
}

Status saveGraphFile(const StreetGraph& graph, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(writeGraphFile(graph)) < 0 || !file.commit())
        return Status::failure(
            QStringLiteral("Не удалось записать файл маршрутов %1: %2").arg(path, file.errorString()));
    return success();
}
