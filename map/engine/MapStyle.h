// The look of the map: colours and sizes per object type and scale, in the
// manner of a printed city plan (light land, grey-brown buildings, white
// streets with grey casings, blue water, pastel districts).
//
// Sizes are given in pixels for a pixels-per-metre value (Viewport::
// pixelsPerMetre), so a style grows with the scale the way the real widths
// of streets do, within limits that keep thin streets visible when far away.
#pragma once

#include "MapObject.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <cstddef>
#include <cstdint>

// Road classes carried in a road's StyleCode: the map file marks main streets
// and avenues so that they are drawn wider and in colour.
enum RoadClass : std::uint8_t {
    rcStreet = 0,
    rcMainStreet = 1,
    rcAvenue = 2,
    rcPath = 3,     // footways, paths, cycleways, steps: a thin line, never a casing
    rcMotorway = 4, // motorways and trunk roads
};
inline constexpr std::size_t kRoadClassCount = 5;

// The icons the map draws for stops and road signs when such an object has no
// icon of its own; they live in the standard icon library.
inline const QString kStandardIconLibrary = QStringLiteral("ICONS.LIB");
inline const QString kStopIconName = QStringLiteral("STOP.BMP");
inline const QString kRoadSignIconName = QStringLiteral("SIGN.BMP");

struct AreaStyle {
    QColor fill;
    QColor outline;   // invalid: no outline
    double outlineWidth = 1;
    bool dashedOutline = false;
};

struct RoadStyle {
    QColor fill;
    QColor casing;
    double fillWidth = 1;   // pixels
    double casingWidth = 0; // pixels, 0: no casing at this scale
};

struct RailwayStyle {
    QColor line;
    QColor sleepers;
    double lineWidth = 1;
    double sleeperWidth = 0; // 0: too small for sleepers at this scale
};

namespace MapStyle {

QColor landColor();

// Areas: districts of both kinds, microdistricts, water and buildings. A
// microdistrict whose StyleCode is 1 is a park, 2 a forest.
AreaStyle areaStyle(const TPMXMapObjectMem& object, double pixelsPerMetre);

// A road of the given class; the widths follow the scale.
RoadStyle roadStyle(std::uint8_t roadClass, double pixelsPerMetre);
// Streets and paths are minor roads. Far away they are left out, as printed
// plans of a whole city leave them: drawn a few pixels apart they would cover
// the city in a grey mesh that hides its main roads.
bool isMinorRoad(std::uint8_t roadClass);
bool minorRoadsShown(double pixelsPerMetre);

// The default look of a railway and the one the polyline hook selects with
// the first byte of the line record set to 1 (dashed sleepers across a dark line).
RailwayStyle railwayStyle(bool sleeperStyle, double pixelsPerMetre);

// Buildings in the 3D view: the wall and roof colours.
QColor wallColor();
QColor roofColor();
// The height in metres of one storey, and of a building whose storeys are unknown.
inline constexpr double kStoreyHeight = 3.0;
inline constexpr int kDefaultFloors = 2;

// Texts.
QFont streetNameFont(double pixelsPerMetre);
QColor streetNameColor();
QFont districtNameFont(std::int32_t type, double pixelsPerMetre);
QColor districtNameColor(std::int32_t type);
QFont waterNameFont();
QColor waterNameColor();
QFont houseNumberFont(int pointSize);
QColor houseNumberColor();
QColor haloColor();

// The measured line and the zoom rectangle drawn over the map.
QColor measureColor();
QColor zoomRectangleColor();

// A route drawn over the streets, and the marks of its start and end.
QColor routeColor();
QColor routeStartColor();
QColor routeEndColor();

} // namespace MapStyle
