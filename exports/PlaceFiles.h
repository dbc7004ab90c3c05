// Places for GPS receivers and map programs: GPX 1.1 waypoints and KML 2.2
// placemarks.
#pragma once

#include "GeoReference.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct GeoPlace {
    QString name;
    QString description;
    GeoCoordinate where;
};

// A named building of the map, e.g. a bookmark.
struct MapPlace {
    QString name;
    std::int32_t objectId = 0;
};

struct PlacedOnEarth {
    std::vector<GeoPlace> places;
    QStringList notOnMap; // names of the places whose building is gone from the map
};

class MapModel;

// The places with latitude and longitude, described by their street and
// house; nothing without a reference.
PlacedOnEarth PlaceOnEarth(const std::vector<MapPlace>& places, const MapModel& map, const GeoReference& reference);

QByteArray PlacesGpx(const std::vector<GeoPlace>& places);
QByteArray PlacesKml(const std::vector<GeoPlace>& places, const QString& documentName);
