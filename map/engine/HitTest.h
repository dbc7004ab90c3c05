// Which object a click picks. Labels and point objects win over buildings,
// buildings over roads and railways, and those over the areas beneath them
// (microdistricts, districts, water). Among points the nearest wins; among
// areas the smallest, so a click inside a microdistrict picks it rather than
// the district around it. Types the filters hide are never picked.
#pragma once

#include "MapModel.h"
#include "MapRenderer.h"
#include "Viewport.h"

#include <QPointF>

// How close, in pixels, a click must come to a point object's position or to
// a line to pick it: about the size of an icon and of a finger's error.
inline constexpr double kPointPickRadius = 10;
inline constexpr double kLinePickDistance = 4;

// The index of the picked object, or -1.
int hitTest(const MapModel& model, const Viewport& view, const MapFilters& filters, QPointF pixel);

// Whether a map point lies inside a closed ring (the ring's first point is
// not repeated at its end).
bool ringContains(const std::vector<MapPoint>& ring, double x, double y);
// The distance from a map point to an open polyline.
double distanceToPolyline(const std::vector<MapPoint>& line, double x, double y);
