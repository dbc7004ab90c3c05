// The route graph file: our own format, a FlatBuffers buffer (schema in
// RouteFile.fbs) marked "VRTG" with a format version and a checksum. Reading
// checks the structure with the verifier and then the meaning (junctions and
// shape points in range, finite lengths and coordinates, known road classes),
// so a damaged or foreign file gives a clear reason and never a graph that
// could lead a route astray.
#pragma once

#include "StreetGraph.h"

#include "Result.h"

#include <QByteArray>

inline constexpr std::uint32_t kRouteFormatVersion = 1;

Result<StreetGraph> readGraphFile(const QByteArray& blob);
QByteArray writeGraphFile(const StreetGraph& graph);

// The graph file at path, or the reason it cannot be used.
Result<StreetGraph> loadGraphFile(const QString& path);
// Writes the graph of a map's roads to path.
Status saveGraphFile(const StreetGraph& graph, const QString& path);
