#include "MapRenderer.h"

#include "MapStyle.h"
#include "RenderBands.h"
#include "RenderFrame.h"
#include "RenderLabels.h"
#include "RenderLayers.h"
#include "VectorState.h"

#include <QFontMetricsF>

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

// Above the roads and buildings and below the labels, so street names stay
// readable along it; its ends are marked, the start green, the end red.
void drawRoute(RenderFrame& frame)
{
    const std::vector<MapPoint>& points = frame.scene.route;
    if (points.empty())
        return;
    QPolygonF line;
    for (const MapPoint& point : points)
        line.append(frame.transform.toPixel(point));
    // Only the runs of pieces that touch the frame are stroked: a long route
    // seen close up would otherwise cost its whole length in every frame.
    const QRectF shown = QRectF(frame.pixels).adjusted(-10, -10, 10, 10);
    std::vector<QPolygonF> runs;
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (!shown.intersects(QRectF(line[i], line[i + 1]).normalized().adjusted(-1, -1, 1, 1)))
            continue;
        if (runs.empty() || runs.back().back() != line[i])
            runs.push_back({line[i]});
        runs.back().append(line[i + 1]);
    }
    QPainter& painter = frame.painter;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(MapStyle::haloColor(), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPolygonF& run : runs)
        painter.drawPolyline(run);
    painter.setPen(QPen(MapStyle::routeColor(), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPolygonF& run : runs)
        painter.drawPolyline(run);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(MapStyle::routeStartColor());
    painter.drawEllipse(line.front(), 6, 6);
    painter.setBrush(MapStyle::routeEndColor());
    painter.drawEllipse(line.back(), 6, 6);
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

// Where the map's data comes from, on a pale ground so it reads on any map.
void drawAttribution(RenderFrame& frame)
{
    if (frame.scene.attribution.isEmpty())
        return;
    QPainter& painter = frame.painter;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QRectF box(0, 0, metrics.horizontalAdvance(frame.scene.attribution) + 8, metrics.height() + 2);
    const QRectF placed = box.translated(frame.pixels.right() - box.width(), frame.pixels.bottom() - box.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(MapStyle::haloColor());
    painter.drawRect(placed);
    painter.setPen(MapStyle::streetNameColor());
    painter.drawText(placed, Qt::AlignCenter, frame.scene.attribution);
}

// Draws over the rows of the frame above the band at its bottom the calling
// thread drew over itself.
void drawOverTheRest(RenderFrame& frame, const QRect& drawnOver, const std::function<void(RenderFrame&)>& draw)
{
    const QRectF whole = frame.pixels;
    const QRectF rest(whole.topLeft(), QPointF(whole.right(), drawnOver.top()));
    if (rest.height() <= 0)
        return;
    frame.painter.save();
    frame.painter.setClipRect(rest, Qt::IntersectClip);
    frame.pixels = rest;
    draw(frame);
    frame.pixels = whole;
    frame.painter.restore();
}

} // namespace

// What the last frame leaves to the next: its lists of visible objects,
// kept for their room (a whole city's frame lists a million objects, and
// the next frame would otherwise take fresh memory for them, a fault per
// page), and what its bands took to draw.
struct FrameLists {
    VisibleByType whole;
    std::vector<VisibleByType> bands;
    BandBalance balance;
};

MapRenderer::MapRenderer()
    : caches_(std::make_unique<LabelCaches>()), lists_(std::make_unique<FrameLists>())
{
}
MapRenderer::~MapRenderer() = default;
MapRenderer::MapRenderer(MapRenderer&&) noexcept = default;
MapRenderer& MapRenderer::operator=(MapRenderer&&) noexcept = default;

void MapRenderer::render(const RenderScene& scene, QPainter& painter, const QRect& target)
{
    settleVectorState();
    const int threads = bandThreadsFor(painter, target);
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    RenderFrame frame(scene, painter, target);
    frame.visible = std::move(lists_->whole);
    collectVisible(frame);
    PlacedLabels placed;
    // Placing the labels, and making the pictures of the names, needs no
    // pixels: it goes on while the ground is drawn.
    const auto placeAll = [&] {
        placed = placeLabels(frame, *caches_);
        if (namesDrawnAsPictures(painter))
            makeNamePictures(placed, *caches_);
    };
    // The route and the labels go over the ground, each part of the frame
    // as soon as its ground is drawn.
    const auto drawOver = [&](RenderFrame& part, IconThreads icons) {
        drawRoute(part);
        drawLabels(part, placed, *caches_, icons);
    };
    if (threads > 1) {
        const BandWork work{drawGround, placeAll, [&](RenderFrame& band) { drawOver(band, IconThreads::One); }};
        const QRect own = drawInBands(frame, threads, work, lists_->bands, lists_->balance);
        drawOverTheRest(frame, own, [&](RenderFrame& rest) { drawOver(rest, IconThreads::Shared); });
    } else {
        drawGround(frame);
        placeAll();
        drawOver(frame, IconThreads::Shared);
    }
    drawMeasureLine(frame);
    drawZoomRectangle(frame);
    drawAttribution(frame);
    painter.restore();
    lists_->whole = std::move(frame.visible);
}
