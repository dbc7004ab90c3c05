#include "RenderLayers.h"

#include "MapStyle.h"

#include <algorithm>
#include <array>

namespace {

// Shapes are simplified to this many pixels: below it the eye sees no corner.
constexpr double kAreaTolerance = 0.5;
constexpr double kLineTolerance = 0.6;
// A building smaller than this in both directions is drawn as a dot of its box.
constexpr double kDotBelowPixels = 3.0;

QPen outlinePen(const AreaStyle& style)
{
    if (!style.outline.isValid())
        return QPen(Qt::NoPen);
    QPen pen(style.outline, style.outlineWidth, style.dashedOutline ? Qt::DashLine : Qt::SolidLine);
    pen.setJoinStyle(Qt::RoundJoin);
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

// Writes small opaque rectangles straight into the target image when the
// painter draws into a plain 32-bit image without scaling: for the hundreds
// of thousands of dots of a whole-city frame this is many times faster than
// a fill call each. Otherwise the painter fills them.
class DotWriter {
public:
    DotWriter(QPainter& painter, const QRectF& target) : painter_(painter)
    {
        auto* image = dynamic_cast<QImage*>(painter.device());
        const QTransform& transform = painter.deviceTransform();
        if (image && transform.type() <= QTransform::TxTranslate && image->devicePixelRatio() == 1 &&
            (image->format() == QImage::Format_ARGB32_Premultiplied || image->format() == QImage::Format_RGB32 ||
             image->format() == QImage::Format_ARGB32)) {
            image_ = image;
            shift_ = QPoint(qRound(transform.dx()), qRound(transform.dy()));
            bounds_ = target.toAlignedRect().translated(shift_).intersected(image->rect());
        }
    }
    void fill(const QRect& box, const QColor& color)
    {
        if (!image_ || color.alpha() != 255) {
            painter_.fillRect(box, color);
            return;
        }
        const QRect area = box.translated(shift_).intersected(bounds_);
        const QRgb pixel = color.rgba();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
            std::fill(line + area.left(), line + area.right() + 1, pixel);
        }
    }

private:
    QPainter& painter_;
    QImage* image_ = nullptr;
    QPoint shift_;
    QRect bounds_;
};

struct ProjectedRoad {
    QPolygonF line;
    tPmxLine style;
    RoadStyle look;
};

} // namespace

void drawAreas(RenderFrame& frame, std::int32_t type)
{
    QPainter& painter = frame.painter;
    QPolygonF ring;
    for (int index : frame.visible[static_cast<std::size_t>(type)]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Geometry.size() < 3)
            continue;
        const AreaStyle style = MapStyle::areaStyle(object, frame.ppm);
        HookedStyle hooked(outlinePen(style), QBrush(style.fill));
        hooked.apply(frame.scene.onPaintObject, object);
        projectSimplified(object.Geometry, frame.transform, kAreaTolerance, ring);
        painter.setPen(hooked.pen);
        painter.setBrush(hooked.brush);
        painter.drawPolygon(ring);
    }
}

void drawRoads(RenderFrame& frame)
{
    std::vector<ProjectedRoad> roads;
    roads.reserve(frame.visible[otRoad].size());
    for (int index : frame.visible[otRoad]) {
        const TPMXMapObjectMem& object = frame.object(index);
        if (object.Geometry.size() < 2)
            continue;
        const RoadStyle look = MapStyle::roadStyle(object.StyleCode, frame.ppm);
        tPmxLine style{0, look.fill, look.fillWidth};
        if (frame.scene.onPaintPolyLine)
            frame.scene.onPaintPolyLine(object, style);
        ProjectedRoad road{{}, style, look};
        projectSimplified(object.Geometry, frame.transform, kLineTolerance, road.line);
        roads.push_back(std::move(road));
    }
    // Minor roads first, so that the main ones run over their crossings.
    std::stable_sort(roads.begin(), roads.end(),
                     [](const ProjectedRoad& a, const ProjectedRoad& b) { return a.look.fillWidth < b.look.fillWidth; });
    QPainter& painter = frame.painter;
    painter.setBrush(Qt::NoBrush);
    for (const ProjectedRoad& road : roads) {
        if (road.look.casingWidth <= 0)
            continue;
        painter.setPen(QPen(road.look.casing, road.look.casingWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(road.line);
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
        if (road.style.Width <= 1) {
            const QPen pen(road.style.Color, road.style.Width, Qt::SolidLine, Qt::FlatCap);
            if (!(pen == thinPen))
                flushThin();
            thinPen = pen;
            for (qsizetype i = 1; i < road.line.size(); ++i)
                thin.append(QLineF(road.line[i - 1], road.line[i]));
            continue;
        }
        flushThin();
        const Qt::PenCapStyle cap = road.style.Width > 1.5 ? Qt::RoundCap : Qt::FlatCap;
        painter.setPen(QPen(road.style.Color, road.style.Width, Qt::SolidLine, cap, Qt::RoundJoin));
        painter.drawPolyline(road.line);
    }
    flushThin();
}

void drawRailways(RenderFrame& frame)
{
    QPainter& painter = frame.painter;
    painter.setBrush(Qt::NoBrush);
    QPolygonF line;
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
        if (look.sleeperWidth > 0) {
            // Sleepers are a wide pen dashed into thin strokes across the line.
            QPen sleepers(look.sleepers, look.sleeperWidth, Qt::CustomDashLine, Qt::FlatCap);
            sleepers.setDashPattern({1.5 / look.sleeperWidth, 5.0 / look.sleeperWidth});
            painter.setPen(sleepers);
            painter.drawPolyline(line);
        }
        const QColor color = style.Style == 1 ? look.line : style.Color;
        const double width = style.Style == 1 ? look.lineWidth : style.Width;
        painter.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        painter.drawPolyline(line);
    }
}

void drawFlatBuildings(RenderFrame& frame)
{
    QPainter& painter = frame.painter;
    TPMXMapObjectMem building;
    building.ObjType = otBuilding;
    const AreaStyle style = MapStyle::areaStyle(building, frame.ppm);
    HookedStyle hooked(outlinePen(style), QBrush(style.fill));
    const PaintObjectHook& hook = frame.scene.onPaintObject;

    // Dots first, without antialiasing: they are whole pixels anyway, and the
    // unsmoothed fill of a small rectangle is many times cheaper.
    const bool smooth = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing, false);
    std::vector<int> shapes;
    DotWriter dots(painter, frame.pixels);
    for (int index : frame.visible[otBuilding]) {
        const QRectF box = frame.pixelBounds(index);
        if (std::max(box.width(), box.height()) >= kDotBelowPixels && frame.object(index).Geometry.size() >= 3) {
            shapes.push_back(index);
            continue;
        }
        // The object itself is looked at only when a hook wants it: a
        // whole-city frame of dots then never leaves the list of boxes.
        if (hook)
            hooked.apply(hook, frame.object(index));
        dots.fill(box.toAlignedRect(), hooked.brush.color());
    }
    painter.setRenderHint(QPainter::Antialiasing, smooth);

    QPolygonF ring;
    for (int index : shapes) {
        const TPMXMapObjectMem& object = frame.object(index);
        hooked.apply(hook, object);
        projectSimplified(object.Geometry, frame.transform, kAreaTolerance, ring);
        painter.setPen(hooked.pen);
        painter.setBrush(hooked.brush);
        painter.drawPolygon(ring);
    }
}
