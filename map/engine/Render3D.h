// Buildings in the 3D view: each footprint extruded by its storeys in an
// oblique projection (roofs shifted up and to the right), drawn from the
// back of the screen to the front so that near buildings hide far ones.
#pragma once

#include "RenderFrame.h"

void drawRaisedBuildings(RenderFrame& frame);
