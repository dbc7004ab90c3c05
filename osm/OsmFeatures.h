// What an OpenStreetMap extract holds for a city edition, in degrees, before
// it is projected onto the map: buildings and other areas with their holes,
// lines by kind, points that become stops, signs, address points and firms.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct GeoPoint {
    double lon = 0;
    double lat = 0;
};

using GeoRing = std::vector<GeoPoint>; // closed, the first point not repeated

struct GeoPolygon {
    GeoRing outer;
    std::vector<GeoRing> holes;
};

struct OsmAddress {
    QString street; // addr:street, else addr:place
    QString house;  // addr:housenumber as written
    QString postcode;
    bool present() const { return !street.isEmpty() && !house.isEmpty(); }
};

enum class AreaKind { Building, Water, Park, Forest, District, Quarter };

struct OsmArea {
    AreaKind kind = AreaKind::Building;
    std::vector<GeoPolygon> polygons; // a multipolygon may have several outers
    QString name;
    OsmAddress address;
    int levels = 0;
};

enum class LineKind { Road, Railway, Tram, River, Stream, Coastline };

// The tags of a road that say who may use it and in which direction.
struct OsmRoadTags {
    QString oneway;
    QString access;
    QString foot;
    QString motorVehicle;
    QString junction;
};

struct OsmLine {
    LineKind kind = LineKind::Road;
    std::vector<GeoPoint> points;
    QString name;
    QString highway; // the highway value of a road
    OsmRoadTags road;
};

enum class PointKind { BusStop, TramStop, TrafficSignals, Crossing, GiveWay, StopSign, NoEntry, Parking };

struct OsmPoint {
    PointKind kind = PointKind::BusStop;
    GeoPoint where;
    QString name;
};

// A named shop, amenity, office, craft, tourism, leisure or healthcare object.
struct OsmFirm {
    char osmType = 'n'; // 'n', 'w' or 'r', with the id: how the report names it
    std::int64_t osmId = 0;
    GeoPoint where;         // the node, or a point inside the area
    QString name;
    QString tagKey; // e.g. "amenity"
    QString tagValue;
    QStringList phones;
    QString web;
    QString email;
    QString openingHours;
    OsmAddress address;
};

// An address drawn as a point of its own (often inside a building without one).
struct OsmAddressPoint {
    GeoPoint where;
    OsmAddress address;
};

struct OsmFeatures {
    // The box the extract was cut to, when its header names one.
    bool hasBounds = false;
    GeoPoint boundsMin;
    GeoPoint boundsMax;
    std::vector<OsmArea> areas;
    std::vector<OsmLine> lines;
    std::vector<OsmPoint> points;
    std::vector<OsmFirm> firms;
    std::vector<OsmAddressPoint> addressPoints;
    int incompleteWays = 0;      // lines dropped or cut because nodes are missing from the extract
    int unassembledAreas = 0;    // areas the assembler could not close (missing nodes or members, broken rings)
};
