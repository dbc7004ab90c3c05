#include "Render3D.h"

#include "MapStyle.h"

#include <algorithm>

namespace {

constexpr double kAreaTolerance = 0.5;
constexpr double kDotBelowPixels = 3.0;

struct Wall {
    QPolygonF quad;
    QColor color;
    double depth; // the lower screen edge of the wall: larger is nearer
};

struct RaisedBuilding {
    int index;
    double depth; // the lowest screen point of the footprint
};

// The walls a viewer sees: those whose outside faces against the direction
// in which roofs are shifted, shaded by the way they face.
std::vector<Wall> visibleWalls(const QPolygonF& ring, QPointF offset, const QColor& roof)
{
    std::vector<Wall> walls;
    const double orientation = signedArea2(ring) >= 0 ? 1.0 : -1.0;
    const qsizetype count = ring.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QPointF a = ring[i];
        const QPointF b = ring[(i + 1) % count];
        const QPointF normal = orientation * QPointF(b.y() - a.y(), a.x() - b.x());
        const double facing = -(normal.x() * offset.x() + normal.y() * offset.y());
        if (facing <= 0)
            continue;
        // Walls facing down the screen catch the light; walls facing left are in shade.
        const bool lit = normal.y() > std::abs(normal.x());
        const QColor color = roof.darker(lit ? 118 : 140);
        walls.push_back({QPolygonF({a, b, b + offset, a + offset}), color, std::max(a.y(), b.y())});
    }
    std::sort(walls.begin(), walls.end(), [](const Wall& x, const Wall& y) { return x.depth < y.depth; });
    return walls;
}

} // namespace

void drawRaisedBuildings(RenderFrame& frame)
{
    QPainter& painter = frame.painter;
    const PaintObjectHook& hook = frame.scene.onPaintObject;
    const QPen roofPen(MapStyle::wallColor().darker(115), 0.8);
    const QBrush roofBrush(MapStyle::roofColor());

    std::vector<RaisedBuilding> raised;
    for (int index : frame.visible[otBuilding]) {
        const QRectF box = frame.pixelBounds(index);
        if (frame.object(index).Geometry.size() >= 3 && std::max(box.width(), box.height()) >= kDotBelowPixels)
            raised.push_back({index, box.bottom()});
        else
            painter.fillRect(box.toAlignedRect(), MapStyle::roofColor());
    }
    std::sort(raised.begin(), raised.end(),
              [](const RaisedBuilding& a, const RaisedBuilding& b) { return a.depth < b.depth; });

    QPolygonF ring;
    for (const RaisedBuilding& building : raised) {
        const TPMXMapObjectMem& object = frame.object(building.index);
        QPen pen = roofPen;
        QBrush brush = roofBrush;
        if (hook)
            hook(object, pen, brush);
        projectSimplified(object.Geometry, frame.transform, kAreaTolerance, ring);
        const QPointF offset = frame.roofOffset(object);
        painter.setPen(QPen(brush.color().darker(160), 0.6));
        for (const Wall& wall : visibleWalls(ring, offset, brush.color())) {
            painter.setBrush(wall.color);
            painter.drawPolygon(wall.quad);
        }
        painter.setPen(pen);
        painter.setBrush(brush);
        painter.drawPolygon(ring.translated(offset));
    }
}
