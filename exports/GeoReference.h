// Where an edition's map lies on the Earth. An edition imported from
// OpenStreetMap keeps the plane its map was projected onto as a content
// item; the demo cities have none, and nothing may invent coordinates
// for them.
#pragma once

#include "MapObject.h"

#include <QByteArray>
#include <QString>

#include <optional>

class TQuery;

// The content item that holds the reference: "latitude longitude x y" of
// the plane's centre, in degrees and in map metres.
inline constexpr int kGeoReferenceContent = 37;

inline constexpr const char* kNoGeoReference =
    "У этого издания нет географической привязки: широту и долготу его объектов узнать нельзя.";

struct GeoCoordinate {
    double latitude = 0;
    double longitude = 0;
};

// An equirectangular plane touching the globe at the centre, with y
// pointing north: the projection the importer builds its maps on.
class GeoReference {
public:
    GeoReference(GeoCoordinate centre, MapPoint centreOnMap);

    GeoCoordinate toGeo(MapPoint point) const;
    GeoCoordinate centre() const { return centre_; }

    QByteArray toData() const;
    // None for anything that is not four numbers with a latitude and
    // longitude on the globe.
    static std::optional<GeoReference> fromData(const QByteArray& data);

private:
    GeoCoordinate centre_;
    MapPoint centreOnMap_;
    double metresPerDegreeLatitude_;
    double metresPerDegreeLongitude_;
};

// The reference of the edition whose content items the query reads.
std::optional<GeoReference> ReadGeoReference(TQuery& content);

// Degrees as written into exchange files: a point, seven decimals (about a centimetre).
QString DegreesText(double degrees);
