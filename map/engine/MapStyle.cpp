#include "MapStyle.h"

#include <algorithm>
#include <array>

namespace {

// Districts are told apart by soft colours, as on a wall plan of the city.
constexpr std::array<QRgb, 8> kDistrictPalette{
    0xf3e1c7, 0xdcebd2, 0xe4dcef, 0xf6d9d9, 0xd6e6ef, 0xefeccb, 0xe0efe6, 0xf0dde8,
};

// Real widths in metres of the road classes.
constexpr std::array<double, kRoadClassCount> kRoadWidthMetres{7, 10, 14, 2, 18};
// The narrowest a road may get when far away, in pixels, so that the street
// net stays visible at the scale of the whole city.
constexpr std::array<double, kRoadClassCount> kRoadMinimumPixels{0.7, 1.1, 1.6, 0.5, 1.8};
// Below this width a casing would swallow the road; the road is drawn as a line.
constexpr double kCasingFromPixels = 3.5;

QColor paletteColor(std::int32_t id)
{
    const auto slot = static_cast<std::uint32_t>(id) * 2654435761u >> 29; // Knuth's hash, top 3 bits
    return QColor::fromRgb(kDistrictPalette[slot % kDistrictPalette.size()]);
}

} // namespace

namespace MapStyle {

QColor landColor() { return QColor(0xf2, 0xef, 0xe9); }

AreaStyle areaStyle(const TPMXMapObjectMem& object, double pixelsPerMetre)
{
    switch (object.ObjType) {
    case otBuilding:
        return {QColor(0xd9, 0xd0, 0xc9), pixelsPerMetre > 0.6 ? QColor(0xb9, 0xa9, 0x9c) : QColor(), 1, false};
    case otMicrodistrict:
        if (object.StyleCode == 1)
            return {QColor(0xc8, 0xe8, 0xbc), QColor(0xa8, 0xd0, 0x9a), 1, false};
        if (object.StyleCode == 2)
            return {QColor(0xad, 0xd1, 0x9e), QColor(0x8f, 0xbb, 0x80), 1, false};
        return {QColor(0xe6, 0xe2, 0xdc), QColor(0xd4, 0xcd, 0xc4), 1, false};
    case otDistrict:
        return {paletteColor(object.ID), QColor(0xff, 0xff, 0xff), 2, false};
    case otDistrict2:
        return {QColor(0, 0, 0, 0), QColor(0xa4, 0x8b, 0xb8), 1.5, true};
    case otWater:
        return {QColor(0xaa, 0xd3, 0xdf), QColor(0x8c, 0xbc, 0xcc), 1, false};
    default:
        return {QColor(0xdd, 0xdd, 0xdd), QColor(0x99, 0x99, 0x99), 1, false};
    }
}

RoadStyle roadStyle(std::uint8_t roadClass, double pixelsPerMetre)
{
    const std::size_t kind = std::min<std::size_t>(roadClass, kRoadWidthMetres.size() - 1);
    double width = std::max(kRoadWidthMetres[kind] * pixelsPerMetre, kRoadMinimumPixels[kind]);
    // Lines up to a pixel wide take the painter's fast thin-line path; a
    // little more width would cost several times as much and show nothing.
    if (width > 1 && width < 1.5)
        width = 1;
    static const std::array<QColor, kRoadClassCount> fills{QColor(0xff, 0xff, 0xff), QColor(0xfc, 0xd6, 0xa4),
                                                           QColor(0xf9, 0xb2, 0x9c), QColor(0xe0, 0x8a, 0x78),
                                                           QColor(0xe8, 0x92, 0xa2)};
    static const std::array<QColor, kRoadClassCount> casings{QColor(0xbd, 0xb3, 0xa8), QColor(0xc8, 0x9b, 0x5a),
                                                             QColor(0xc4, 0x6a, 0x4f), QColor(0xe0, 0x8a, 0x78),
                                                             QColor(0xc2, 0x44, 0x6a)};
    if (kind == rcPath)
        return {fills[kind], QColor(), std::min(width, 2.0), 0};
    if (width < kCasingFromPixels) {
        // A thin white line would vanish on the light land: far away a road is
        // drawn in the colour of its casing, the main ones a little lighter.
        const QColor line = kind == rcStreet ? QColor(0xc9, 0xc0, 0xb6) : casings[kind].lighter(115);
        return {line, QColor(), width, 0};
    }
    return {fills[kind], casings[kind], width, width + 2};
}

bool isMinorRoad(std::uint8_t roadClass) { return roadClass == rcStreet || roadClass == rcPath; }

// A block of a city is some hundred metres across: below this its streets
// would be drawn less than five pixels apart.
bool minorRoadsShown(double pixelsPerMetre) { return pixelsPerMetre >= 0.05; }

RailwayStyle railwayStyle(bool sleeperStyle, double pixelsPerMetre)
{
    const double width = std::clamp(2.0 * pixelsPerMetre, 1.0, 4.0);
    if (!sleeperStyle)
        return {QColor(0x99, 0x99, 0x99), QColor(), width, 0};
    const double sleepers = pixelsPerMetre >= 0.3 ? std::max(width * 3, 5.0) : 0;
    return {QColor(0x55, 0x55, 0x55), QColor(0x55, 0x55, 0x55), width, sleepers};
}

QColor wallColor() { return QColor(0xbc, 0xae, 0xa2); }
QColor roofColor() { return QColor(0xdf, 0xd6, 0xce); }

QFont streetNameFont(double pixelsPerMetre)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::clamp(static_cast<int>(4.5 * pixelsPerMetre + 6), 9, 14));
    return font;
}

QColor streetNameColor() { return QColor(0x33, 0x33, 0x33); }

QFont districtNameFont(std::int32_t type, double pixelsPerMetre)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    const bool large = type == otDistrict;
    font.setPixelSize(std::clamp(static_cast<int>((large ? 30 : 20) * pixelsPerMetre + (large ? 12 : 10)),
                                 large ? 12 : 10, large ? 22 : 16));
    font.setBold(large);
    font.setCapitalization(QFont::AllUppercase);
    font.setLetterSpacing(QFont::PercentageSpacing, large ? 112 : 108);
    return font;
}

QColor districtNameColor(std::int32_t type)
{
    return type == otMicrodistrict ? QColor(0x6e, 0x66, 0x5e) : QColor(0x73, 0x55, 0x8c);
}

QFont waterNameFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setItalic(true);
    return font;
}

QColor waterNameColor() { return QColor(0x2d, 0x6a, 0x8c); }

QFont houseNumberFont(int pointSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(std::max(pointSize, 1));
    return font;
}

QColor houseNumberColor() { return QColor(0x5b, 0x4d, 0x42); }
QColor haloColor() { return QColor(0xff, 0xff, 0xff, 0xd0); }
QColor measureColor() { return QColor(0xd0, 0x20, 0x20); }
QColor routeColor() { return QColor(0x6a, 0x2c, 0xc8); }
QColor routeStartColor() { return QColor(0x1e, 0x9e, 0x3a); }
QColor routeEndColor() { return QColor(0xd0, 0x20, 0x20); }
QColor zoomRectangleColor() { return QColor(0x20, 0x60, 0xc0); }

} // namespace MapStyle
