// Collects the rings of areas drawn alike (buildings, microdistricts) into
// one path, so the painter sets up its rasterizer once for many areas
// instead of once per area.
#pragma once

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

class AreaBatch {
public:
    explicit AreaBatch(QPainter& painter);
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
    QPainter& painter_;
    QPainterPath path_;
    QPolygonF ring_;
    QPen pen_;
    QBrush brush_;
    int rings_ = 0;
};
