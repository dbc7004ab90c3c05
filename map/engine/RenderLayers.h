// The geometry layers of a frame, drawn bottom to top: areas, roads and
// railways, flat buildings. The 3D buildings are in Render3D.h, texts and
// icons in RenderLabels.h.
#pragma once

#include "RenderFrame.h"

// The land and everything lying on it, bottom to top; below the route and
// the labels.
void drawGround(RenderFrame& frame);
// Districts, microdistricts, water: the areas of one type, filled and outlined.
void drawAreas(RenderFrame& frame, std::int32_t type);
// Roads: every casing below every road, minor roads below main ones.
void drawRoads(RenderFrame& frame);
void drawRailways(RenderFrame& frame);
// Buildings seen from above; those only a few pixels large become dots.
void drawFlatBuildings(RenderFrame& frame);
