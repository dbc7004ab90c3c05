#include "RenderLayers.h"

#include "AreaBatch.h"
#include "LineChains.h"
#include "MapStyle.h"
#include "Render3D.h"
#include "RenderPixels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <map>

namespace {

// Shapes are simplified to this many pixels: below it the eye sees no corner.
constexpr double kAreaTolerance = 0.5;
constexpr double kLineTolerance = 0.6;
// What is left is straightened where it strays less than this from a straight
// line: a third of a pixel does not show even at a smoothed edge.
constexpr double kStraightTolerance = 0.3;
// A building smaller than this in both directions is drawn as a dot of its box.
constexpr double kDotBelowPixels = 3.0;
// Roads without a casing and narrower than this are written straight into
// the frame as lines of whole pixels.
constexpr double kPixelRoadBelow = 2.5;
// Plain buildings of up to this many corners are projected on the stack.
constexpr std::size_t kFewCorners = 32;
// Below this many pixels per metre the map is seen from far away: dashed
// outlines are drawn solid and the pale microdistricts without smoothing.
constexpr double kFarAwayBelowPixelsPerMetre = 0.25;

QPen outlinePen(const AreaStyle& style, double pixelsPerMetre)
{
    if (!style.outline.isValid())
        return QPen(Qt::NoPen);
    // Far away the dashes of a long outline are too fine to tell from a solid
    // line, yet they cost a stroke per dash: there the outline is drawn solid.
    const bool dashed = style.dashedOutline && pixelsPerMetre >= kFarAwayBelowPixelsPerMetre;
    QPen pen(style.outline, style.outlineWidth, dashed ? Qt::DashLine : Qt::SolidLine);
    // Outlines are a pixel or two wide, where a round join cannot be told
    // from a bevelled one; the painter draws each round one as curves.
    pen.setJoinStyle(Qt::BevelJoin);
    return pen;
}

// The pen and brush the paint hook gets: reset after a hook changed them, so
// that a change applies to the one object it was made for.
struct HookedStyle {
    QPen basePen;
    QBrush baseBrush;
    QPen pen;
    QBrush brush;

    HookedStyle(const QPen& pen, const QBrush& brush) : basePen(pen), baseBrush(brush), pen(pen), brush(brush) {}
    void apply(const PaintObjectHook& hook, const TPMXMapObjectMem& object)
    {
        if (!hook)
            return;
        if (!(pen == basePen))
            pen = basePen;
        if (!(brush == baseBrush))
            brush = baseBrush;
        hook(object, pen, brush);
    }
};

// A road's pixel line lives in the frame's one shared list of points, so
// that twenty thousand roads cost no allocation each.
struct ProjectedRoad {
    std::size_t first = 0;
    int count = 0;
    tPmxLine style;
    RoadStyle look;
};

struct ProjectedRoads {
    std::vector<QPointF> points;
    std::vector<ProjectedRoad> roads;
    const QPointF* line(const ProjectedRoad& road) const { return points.data() + road.first; }
};

bool sameLook(const ProjectedRoad& a, const ProjectedRoad& b)
{
    return a.style.Style == b.style.Style && a.style.Width == b.style.Width && a.style.Color == b.style.Color &&
           a.look.casingWidth == b.look.casingWidth && a.look.casing == b.look.casing;
}

// What of a line stroked penWidth wide must be kept to draw the frame as a
// whole: the frame and a little more than the pen, so that the cut ends and
// their caps stay out of sight.
QRectF strokeBox(const RenderFrame& frame, double penWidth)
{
    const double margin = penWidth + 2;
    return frame.pixels.adjusted(-margin, -margin, margin, margin);
}

// An area's ring in pixels; one reaching far out of the frame (a district
// at street level) is cut to it, so that its outline is not stroked for
// kilometres out of sight.
void projectArea(const RenderFrame& frame, int index, const QPen& outline, QPolygonF& ring, QPolygonF& scratch)
{
    const TPMXMapObjectMem& object = frame.object(index);
    projectSimplified(object.Geometry, frame.transform, kAreaTolerance, ring);
    const QRectF kept = strokeBox(frame, outline.style() == Qt::NoPen ? 0 : outline.widthF());
    // A cut ring would start its dashes elsewhere: a dashed outline is kept whole.
    const bool dashed = outline.style() != Qt::NoPen && outline.style() != Qt::SolidLine;
    if (!dashed && !kept.contains(frame.pixelBounds(index))) {
        clipRing(ring, kept, scratch);
        ring.swap(scratch);
    }
    // Straightened after the cut, as lines are in straightenPieces.
    simplifyToTolerance(ring, kStraightTolerance);
}

// Straightens each piece clipPolyline appended to points from `from` on,
// after the cut: a long line is cut to each band of a frame, and
// straightening all of it for every band would cost more than drawing the
// band. The pieces move up over the points straightening leaves out.
void straightenPieces(std::vector<QPointF>& points, std::size_t from, std::vector<ClippedPiece>& pieces)
{
    std::size_t end = from;
    for (ClippedPiece& piece : pieces) {
        if (piece.first != end) {
            const auto start = points.begin() + static_cast<std::ptrdiff_t>(piece.first);
            std::copy(start, start + piece.count, points.begin() + static_cast<std::ptrdiff_t>(end));
        }
        piece.first = end;
        piece.count = simplifyToTolerance(points.data() + end, piece.count, kStraightTolerance);
        end += static_cast<std::size_t>(piece.count);
    }
    points.resize(end);
}

} // namespace

void drawAreas(RenderFrame& frame, std::int32_t type)
{
    QPainter& painter = frame.painter;
    // A microdistrict differs from the land by a shade only: far away its
    // smoothed edge cannot be told from a plain one, and costs most of its drawing.
    const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
    if (type == otMicrodistrict && frame.ppm < kFarAwayBelowPixelsPerMetre)
        painter.setRenderHint(QPainter::Antialiasing, false);
    QPolygonF ring;
    QPolygonF scratch;
    AreaBatch batch(painter, frame.pixels);
    for (int index : frame.visible[static_cast<std::size_t>(type)]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Geometry.size() < 3)
            continue;
        const AreaStyle style = MapStyle::areaStyle(object, frame.ppm);
        HookedStyle hooked(outlinePen(style, frame.ppm), QBrush(style.fill));
        hooked.apply(frame.scene.onPaintObject, object);
        projectArea(frame, index, hooked.pen, ring, scratch);
        if (ring.size() >= 3)
            batch.add(ring, hooked.pen, hooked.brush);
    }
    batch.flush();
    painter.setRenderHint(QPainter::Antialiasing, smooth);
}

namespace {

ProjectedRoads projectRoads(RenderFrame& frame)
{
    // The look depends only on the class: worked out once per frame, not per road.
    std::array<RoadStyle, kRoadClassCount> looks;
    for (std::size_t kind = 0; kind < looks.size(); ++kind)
        looks[kind] = MapStyle::roadStyle(static_cast<std::uint8_t>(kind), frame.ppm);
    ProjectedRoads projected;
    std::vector<ProjectedRoad>& roads = projected.roads;
    roads.reserve(frame.visible[otRoad].size());
    QPolygonF line;
    std::vector<ClippedPiece> pieces;
    for (int index : frame.visible[otRoad]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Geometry.size() < 2)
            continue;
        const RoadStyle& look = looks[std::min<std::size_t>(object.StyleCode, kRoadClassCount - 1)];
        tPmxLine style{0, look.fill, look.fillWidth};
        if (frame.scene.onPaintPolyLine)
            frame.scene.onPaintPolyLine(object, style);
        projectSimplified(object.Geometry, frame.transform, kLineTolerance, line);
        const QRectF kept = strokeBox(frame, std::max({style.Width, look.fillWidth, look.casingWidth}));
        if (kept.contains(frame.pixelBounds(index))) {
            simplifyToTolerance(line, kStraightTolerance);
            roads.push_back({projected.points.size(), static_cast<int>(line.size()), style, look});
            projected.points.insert(projected.points.end(), line.cbegin(), line.cend());
            continue;
        }
        pieces.clear();
        const std::size_t firstPiece = projected.points.size();
        clipPolyline(line.constData(), static_cast<int>(line.size()), kept, projected.points, pieces);
        straightenPieces(projected.points, firstPiece, pieces);
        for (const ClippedPiece& piece : pieces)
            roads.push_back({piece.first, piece.count, style, look});
    }
    return projected;
}

// Appends a road to the list, as a piece of the last road there when it
// goes on where that one ended and looks the same.
void appendJoined(ProjectedRoads& joined, const ProjectedRoad& road, const QPointF* line)
{
    const bool goesOn =
        !joined.roads.empty() && sameLook(joined.roads.back(), road) && joined.points.back() == line[0];
    if (goesOn) {
        joined.points.insert(joined.points.end(), line + 1, line + road.count);
        joined.roads.back().count += road.count - 1;
        return;
    }
    joined.roads.push_back(road);
    joined.roads.back().first = joined.points.size();
    joined.points.insert(joined.points.end(), line, line + road.count);
}

// A line with round joins and caps: written straight into the frame when
// the frame is an image and the colour opaque, else through the painter.
void strokeRound(QPainter& painter, PixelWriter& pixels, const QPointF* line, int count, const QColor& color,
                 double width, double coveredWidth = 0)
{
    if (pixels.direct() && color.alpha() == 255) {
        pixels.stroke(line, count, width, color.rgba(), coveredWidth);
        return;
    }
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line, count);
}

bool writtenAsPixels(const ProjectedRoad& road, const PixelWriter& pixels)
{
    return pixels.direct() && road.look.casingWidth <= 0 && road.style.Width < kPixelRoadBelow &&
           road.style.Color.alpha() == 255;
}

// Whether a road is stroked with round caps and joins, where a piece
// costs most; the thin ones are many more, at a few pixels each.
bool strokedRound(const ProjectedRoad& road, const PixelWriter& pixels)
{
    return road.look.casingWidth > 0 || (road.style.Width > 1.5 && !writtenAsPixels(road, pixels));
}

// Appends the roads at positions as chains of those that meet end to end
// and look the same, each chain one road.
void appendChained(ProjectedRoads& joined, const ProjectedRoads& projected, const std::vector<int>& positions)
{
    const auto road = [&](int k) -> const ProjectedRoad& {
        return projected.roads[static_cast<std::size_t>(positions[static_cast<std::size_t>(k)])];
    };
    std::vector<LineEnds> ends;
    ends.reserve(positions.size());
    for (std::size_t k = 0; k < positions.size(); ++k) {
        const ProjectedRoad& one = road(static_cast<int>(k));
        const QPointF* line = projected.line(one);
        ends.push_back({line[0], line[one.count - 1]});
    }
    const LineChains chains = ChainLines(ends, [&](int a, int b) { return sameLook(road(a), road(b)); });
    std::size_t link = 0;
    for (const int end : chains.ends) {
        joined.roads.push_back(road(chains.links[link].line));
        ProjectedRoad& chained = joined.roads.back();
        chained.first = joined.points.size();
        chained.count = 0;
        for (; link < static_cast<std::size_t>(end); ++link) {
            const ChainLink& piece = chains.links[link];
            const ProjectedRoad& one = road(piece.line);
            const QPointF* line = projected.line(one);
            // Each piece after the first starts where the one before it ended.
            const int skipped = chained.count > 0 ? 1 : 0;
            if (piece.reversed)
                std::reverse_copy(line, line + one.count - skipped, std::back_inserter(joined.points));
            else
                joined.points.insert(joined.points.end(), line + skipped, line + one.count);
            chained.count += one.count - skipped;
        }
    }
}

// Minor roads first, so that the main ones run over their crossings; roads
// of one width keep their list order. A road that goes on where another
// ended, looking the same, joins it: a street is stored as many pieces, and
// each piece drawn on its own costs a call and two caps. Where the roads of
// a width are stroked round, those that meet at either end are chained;
// otherwise one joins only the road before it in the list.
ProjectedRoads layeredAndJoined(const ProjectedRoads& projected, const PixelWriter& pixels)
{
    const std::vector<ProjectedRoad>& roads = projected.roads;
    // Roads come in a handful of widths: dealt out by width, they are in
    // order at once, where sorting twenty thousand of them would not be cheap.
    std::map<double, std::vector<int>> byWidth;
    for (std::size_t i = 0; i < roads.size(); ++i)
        byWidth[roads[i].look.fillWidth].push_back(static_cast<int>(i));
    ProjectedRoads joined;
    joined.points.reserve(projected.points.size());
    joined.roads.reserve(roads.size());
    for (const auto& [width, positions] : byWidth) {
        const auto stroked = [&](int position) {
            return strokedRound(roads[static_cast<std::size_t>(position)], pixels);
        };
        if (std::all_of(positions.cbegin(), positions.cend(), stroked)) {
            appendChained(joined, projected, positions);
            continue;
        }
        for (int position : positions) {
            const ProjectedRoad& road = roads[static_cast<std::size_t>(position)];
            appendJoined(joined, road, projected.line(road));
        }
    }
    return joined;
}

} // namespace

void drawRoads(RenderFrame& frame)
{
    QPainter& painter = frame.painter;
    painter.setBrush(Qt::NoBrush);
    PixelWriter pixels(painter, frame.pixels);
    const ProjectedRoads projected = layeredAndJoined(projectRoads(frame), pixels);
    const std::vector<ProjectedRoad>& roads = projected.roads;
    for (const ProjectedRoad& road : roads) {
        if (road.look.casingWidth <= 0)
            continue;
        // The road's own fill, opaque and drawn the same way, hides most of its casing.
        const bool filledOver = road.style.Color.alpha() == 255 && road.style.Width > 1.5;
        strokeRound(painter, pixels, projected.line(road), road.count, road.look.casing, road.look.casingWidth,
                    filledOver ? road.style.Width : 0);
    }
    // Lines a pixel wide or less need no joins: those of one colour go to the
    // painter in one call, which saves most of the cost of a far-away frame.
    QVector<QLineF> thin;
    QPen thinPen;
    const auto flushThin = [&] {
        if (thin.isEmpty())
            return;
        painter.setPen(thinPen);
        painter.drawLines(thin);
        thin.clear();
    };
    for (const ProjectedRoad& road : roads) {
        if (writtenAsPixels(road, pixels)) {
            flushThin();
            const int thickness = std::max(1, static_cast<int>(std::lround(road.style.Width)));
            const QRgb pixel = road.style.Color.rgba();
            const QPointF* line = projected.line(road);
            for (int i = 1; i < road.count; ++i)
                pixels.line(line[i - 1], line[i], pixel, thickness);
            continue;
        }
        if (road.style.Width <= 1) {
            const QPen pen(road.style.Color, road.style.Width, Qt::SolidLine, Qt::FlatCap);
            if (!(pen == thinPen))
                flushThin();
            thinPen = pen;
            const QPointF* line = projected.line(road);
            for (int i = 1; i < road.count; ++i)
                thin.append(QLineF(line[i - 1], line[i]));
            continue;
        }
        flushThin();
        if (road.style.Width > 1.5) {
            strokeRound(painter, pixels, projected.line(road), road.count, road.style.Color, road.style.Width);
            continue;
        }
        painter.setPen(QPen(road.style.Color, road.style.Width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        painter.drawPolyline(projected.line(road), road.count);
    }
    flushThin();
}

void drawRailways(RenderFrame& frame)
{
    QPainter& painter = frame.painter;
    painter.setBrush(Qt::NoBrush);
    PixelWriter pixels(painter, frame.pixels);
    QPolygonF line;
    std::vector<QPointF> clipped;
    std::vector<ClippedPiece> pieces;
    for (int index : frame.visible[otRailway]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Geometry.size() < 2)
            continue;
        const RailwayStyle plain = MapStyle::railwayStyle(false, frame.ppm);
        tPmxLine style{0, plain.line, plain.lineWidth};
        if (frame.scene.onPaintPolyLine)
            frame.scene.onPaintPolyLine(object, style);
        projectSimplified(object.Geometry, frame.transform, kLineTolerance, line);
        const RailwayStyle look = MapStyle::railwayStyle(style.Style == 1, frame.ppm);
        const QColor color = style.Style == 1 ? look.line : style.Color;
        const double width = style.Style == 1 ? look.lineWidth : style.Width;
        clipped.clear();
        pieces.clear();
        clipPolyline(line.constData(), static_cast<int>(line.size()),
                     strokeBox(frame, std::max(width, look.sleeperWidth)), clipped, pieces);
        straightenPieces(clipped, 0, pieces);
        for (const ClippedPiece& piece : pieces) {
            const QPointF* points = clipped.data() + piece.first;
            if (look.sleeperWidth > 0) {
                // Sleepers are a wide pen dashed into thin strokes across the
                // line; a cut piece takes the dashes up where the line had them.
                QPen sleepers(look.sleepers, look.sleeperWidth, Qt::CustomDashLine, Qt::FlatCap);
                sleepers.setDashPattern({1.5 / look.sleeperWidth, 5.0 / look.sleeperWidth});
                sleepers.setDashOffset(piece.startLength / look.sleeperWidth);
                painter.setPen(sleepers);
                painter.drawPolyline(points, piece.count);
            }
            strokeRound(painter, pixels, points, piece.count, color, width);
        }
    }
}

void drawFlatBuildings(RenderFrame& frame)
{
    QPainter& painter = frame.painter;
    TPMXMapObjectMem building;
    building.ObjType = otBuilding;
    const AreaStyle style = MapStyle::areaStyle(building, frame.ppm);
    HookedStyle hooked(outlinePen(style, frame.ppm), QBrush(style.fill));
    const PaintObjectHook& hook = frame.scene.onPaintObject;

    // Dots first, without antialiasing: they are whole pixels anyway, and the
    // unsmoothed fill of a small rectangle is many times cheaper.
    const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    std::vector<int> shapes;
    PixelWriter dots(painter, frame.pixels);
    const bool plainDots = dots.direct() && style.fill.alpha() == 255;
    const QRgb plainPixel = style.fill.rgba();
    const VisibleObjects& buildings = frame.visible[otBuilding];
    for (std::size_t k = 0; k < buildings.size(); ++k) {
        const int index = buildings.positions[k];
        const QRectF box = frame.pixelBounds(buildings.boxes[k]);
        if (std::max(box.width(), box.height()) >= kDotBelowPixels && frame.object(index).Geometry.size() >= 3) {
            shapes.push_back(index);
            continue;
        }
        // The object itself is looked at only when a hook wants it: a
        // whole-city frame of dots then never leaves the list of boxes.
        if (hook) {
            hooked.apply(hook, frame.object(index));
            dots.fill(PixelWriter::alignedPixels(box), hooked.brush.color());
        } else if (plainDots) {
            dots.fillOpaque(PixelWriter::alignedPixels(box), plainPixel);
        } else {
            dots.fill(PixelWriter::alignedPixels(box), style.fill);
        }
    }
    // Far away a building is a few pixels of a shade close to the land's,
    // where a smoothed edge cannot be told from a plain one and costs most
    // of the drawing of the tens of thousands in view.
    const bool smoothShapes = smooth && frame.ppm >= kFarAwayBelowPixelsPerMetre;
    painter.setRenderHint(QPainter::Antialiasing, smoothShapes);
    // Such plain buildings, of one colour without an outline, are filled
    // straight from their points: the batch's copies and path, made for
    // outlines and smoothing, would cost several times their few pixels.
    const bool plainShapes = plainDots && !hook && !smoothShapes && !style.outline.isValid();
    std::array<QPointF, kFewCorners> corners;
    QPolygonF ring;
    QPolygonF scratch;
    AreaBatch batch(painter, frame.pixels);
    for (std::size_t k = 0; k < shapes.size(); ++k) {
        // The record is fetched two steps ahead of its points, which it says where to find.
        if (k + 2 * kReadAhead < shapes.size())
            __builtin_prefetch(&frame.object(shapes[k + 2 * kReadAhead]).Geometry);
        if (k + kReadAhead < shapes.size())
            __builtin_prefetch(frame.object(shapes[k + kReadAhead]).Geometry.data());
        const int index = shapes[k];
        const TPMXMapObjectMem& object = frame.object(index);
        const std::vector<MapPoint>& points = object.Geometry;
        if (plainShapes && points.size() <= corners.size()) {
            for (std::size_t i = 0; i < points.size(); ++i)
                corners[i] = frame.transform.toPixel(points[i]);
            dots.fillRing(corners.data(), static_cast<int>(points.size()), plainPixel, false);
            continue;
        }
        hooked.apply(hook, object);
        projectArea(frame, index, hooked.pen, ring, scratch);
        if (ring.size() >= 3)
            batch.add(ring, hooked.pen, hooked.brush);
    }
    batch.flush();
    painter.setRenderHint(QPainter::Antialiasing, smooth);
}

void drawGround(RenderFrame& frame)
{
    frame.painter.fillRect(frame.pixels, MapStyle::landColor());
    drawAreas(frame, otDistrict);
    drawAreas(frame, otDistrict2);
    drawAreas(frame, otMicrodistrict);
    drawAreas(frame, otWater);
    drawRoads(frame);
    drawRailways(frame);
    if (frame.scene.options.View3D)
        drawRaisedBuildings(frame);
    else
        drawFlatBuildings(frame);
}
