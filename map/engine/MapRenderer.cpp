#include "MapRenderer.h"

#include "MapStyle.h"
#include "Render3D.h"
#include "RenderFrame.h"
#include "RenderLabels.h"
#include "RenderLayers.h"

namespace {

void drawMeasureLine(RenderFrame& frame)
{
    const std::vector<MapPoint>& points = frame.scene.measureLine;
    if (points.empty())
        return;
    QPolygonF line;
    for (const MapPoint& point : points)
        line.append(frame.transform.toPixel(point));
    QPainter& painter = frame.painter;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(MapStyle::haloColor(), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    painter.setPen(QPen(MapStyle::measureColor(), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(MapStyle::measureColor(), 2));
    for (const QPointF& vertex : line)
        painter.drawEllipse(vertex, 4, 4);
}

void drawZoomRectangle(RenderFrame& frame)
{
    if (!frame.scene.zoomRectangle)
        return;
    const QRectF box = frame.scene.zoomRectangle->normalized().translated(frame.pixels.topLeft());
    QColor fill = MapStyle::zoomRectangleColor();
    fill.setAlpha(40);
    frame.painter.setBrush(fill);
    frame.painter.setPen(QPen(MapStyle::zoomRectangleColor(), 1.5, Qt::DashLine));
    frame.painter.drawRect(box);
}

} // namespace

MapRenderer::MapRenderer() : caches_(std::make_unique<LabelCaches>()) {}
MapRenderer::~MapRenderer() = default;
MapRenderer::MapRenderer(MapRenderer&&) noexcept = default;
MapRenderer& MapRenderer::operator=(MapRenderer&&) noexcept = default;

void MapRenderer::render(const RenderScene& scene, QPainter& painter, const QRect& target)
{
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(target, MapStyle::landColor());

    RenderFrame frame(scene, painter, target);
    collectVisible(frame);
    drawAreas(frame, otDistrict);
    drawAreas(frame, otDistrict2);
    drawAreas(frame, otMicrodistrict);
    drawAreas(frame, otWater);
    drawRoads(frame);
    drawRailways(frame);
    if (scene.options.View3D)
        drawRaisedBuildings(frame);
    else
        drawFlatBuildings(frame);
    drawLabels(frame, *caches_);
    drawMeasureLine(frame);
    drawZoomRectangle(frame);
    painter.restore();
}
