// Who may use an OpenStreetMap road and in which direction, for the route
// graph: the highway value gives the default (footways, paths, steps and
// pedestrian streets are for people on foot, motorways for cars), and the
// access, foot, motor_vehicle, oneway and junction tags say otherwise.
#pragma once

#include "OsmFeatures.h"
#include "StreetGraph.h"

struct RoadUse {
    std::uint8_t access = eaCars | eaFoot; // EdgeAccess bits
    bool reversed = false; // oneway=-1: cars go against the way's direction
};

RoadUse roadUseOf(const QString& highway, const OsmRoadTags& tags);
