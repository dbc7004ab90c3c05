// The city map file: our own format, a FlatBuffers buffer (schema in
// MapFile.fbs) marked "VMAP" and carrying a format version. Reading checks the
// buffer's structure with the FlatBuffers verifier and then its meaning (known
// object types, finite coordinates, enough points per shape, unique IDs, texts
// in range), so a damaged, truncated or foreign file gives a clear reason and
// never a half-loaded map.
#pragma once

#include "MapModel.h"

#include "Result.h"

#include <QByteArray>

inline constexpr std::uint32_t kMapFormatVersion = 1;
inline constexpr int kLongestHouse = 255;

// attribution, when given, receives the map's attribution line (empty for
// maps of our own).
Result<MapModel> readMapFile(const QByteArray& blob, QString* attribution = nullptr);
QByteArray writeMapFile(const MapModel& model, const QString& attribution = QString());
