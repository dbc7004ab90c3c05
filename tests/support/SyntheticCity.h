// A made-up city for tests and benchmarks: a grid of blocks with buildings
// numbered along their streets, named streets of three classes, districts,
// neighbourhoods and microdistricts, a river and a lake, a railway, bus stops
// and road signs. The same options always give the same city.
#pragma once

#include "IconLibrary.h"
#include "MapModel.h"

#include <cstdint>
#include <vector>

struct SyntheticCityOptions {
    int buildings = 2000;
    int roadSegments = 200;
    int otherObjects = 60;
    std::uint32_t seed = 1;
};

// Distances of the city's grid, in metres: a block and the street around it.
inline constexpr double kSyntheticBlockPitch = 120;
inline constexpr double kSyntheticStreetWidth = 20;
// Buildings per block along each side.
inline constexpr int kSyntheticBuildingsPerSide = 4;

std::vector<TPMXMapObjectMem> syntheticCityObjects(const SyntheticCityOptions& options);
MapModel syntheticCity(const SyntheticCityOptions& options);

// "ICONS.LIB" with "OK.BMP" (the label icon), "STOP.BMP" and "SIGN.BMP".
IconLibrary syntheticIcons();

// Single objects for small hand-made maps: an axis-aligned square area of
// the given type around (x, y), a line of the given type through `points`
// (its X, Y at the first point), and a category label at (x, y).
TPMXMapObjectMem squareObject(std::int32_t id, std::int32_t type, double x, double y, double side);
TPMXMapObjectMem lineObject(std::int32_t id, std::int32_t type, std::vector<MapPoint> points);
// A road of the class (its StyleCode) along the points.
TPMXMapObjectMem roadObject(std::int32_t id, std::uint8_t roadClass, std::vector<MapPoint> points);
TPMXMapObjectMem labelObject(std::int32_t id, double x, double y);
