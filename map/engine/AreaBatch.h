// Collects the rings of areas drawn alike (buildings, microdistricts) into
// one path, so the painter sets up its rasterizer once for many areas
// instead of once per area; into a frame that is a plain image the rings go
// straight to its pixels, which is cheaper still.
#pragma once

#include "RenderPixels.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <vector>

class AreaBatch {
public:
    // Nothing is drawn outside target (painter coordinates).
    AreaBatch(QPainter& painter, const QRectF& target);
    ~AreaBatch() { flush(); }
    AreaBatch(const AreaBatch&) = delete;
    AreaBatch& operator=(const AreaBatch&) = delete;

    // Draws the ring with the pen and brush: at once when the look cannot be
    // drawn as part of a whole (translucent, dashed), else with the rings
    // before it that look the same.
    void add(const QPolygonF& ring, const QPen& pen, const QBrush& brush);
    // Draws what has been collected.
    void flush();

    // Whether areas of this look give the same pixels drawn as one path.
    static bool joinable(const QPen& pen, const QBrush& brush);
    // Whether the outline covers the edge of the fill, which then needs no smoothing.
    static bool outlineHidesEdge(const QPen& pen);

private:
    // Whether the rings can be written straight into the frame's pixels.
    bool direct(const QPen& pen, const QBrush& brush) const;
    bool smallInView(const QPointF* ring, int count) const;
    static bool shortPieces(const QPointF* ring, int count);
    void addToPath(const QPointF* ring, int count);
    void flushDirect();

    QPainter& painter_;
    PixelWriter pixels_;
    QRectF target_;
    // The rings to be written straight into the frame: points and where each ring ends.
    std::vector<QPointF> points_;
    std::vector<int> ringEnds_;
    QPainterPath path_;
    QPolygonF ring_;
    QPen pen_;
    QBrush brush_;
    int rings_ = 0;
};
