// A generated city: the map objects in the map engine's record form, and
// what the directory needs to know about them (streets with their transport
// routes, addressed buildings, districts and post indexes).
#pragma once

#include "MapObject.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

struct CityStreet {
    QString name;
    bool main = false;
    QStringList busRoutes;     // route numbers of the buses that run along it
    QStringList minibusRoutes; // and of the minibuses
};

// One building with an address: where it is in the city, for the directory.
struct AddressedBuilding {
    std::int32_t objectId = 0;
    int street = 0;   // index into City::streets
    int district = 0; // index into City::districtNames
    int floors = 1;
    bool central = false; // in the city centre, where most firms are
};

struct PostLink {
    std::int32_t objectId = 0;
    int postIndexId = 0; // 1-based position in City::postIndexes
};

struct City {
    std::vector<TPMXMapObjectMem> objects;
    std::vector<CityStreet> streets;
    QStringList districtNames;
    std::vector<AddressedBuilding> addressed;
    QStringList postIndexes;
    std::vector<PostLink> postLinks;
    QRectF extent; // map units, y north
};

// The city's parameters for one edition.
struct CityPlan {
    int edition = 1;
    std::uint64_t seed = 0;
    double scale = 1; // how many times the area of the city at scale 1
};

// Builds the whole city of a plan. The same plan always gives the same city.
City BuildCity(const CityPlan& plan);
