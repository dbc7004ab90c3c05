#include "AreaBatch.h"

#include "RenderGeometry.h"

#include <algorithm>

namespace {

// The smoothing rasterizer works in a fixed pool of memory: a path of too
// many rings overflows it and is then cut into bands and walked again and
// again, which costs far more than the calls a batch saves.
constexpr int kRingsPerBatch = 8;

} // namespace

AreaBatch::AreaBatch(QPainter& painter) : painter_(painter)
{
    // Rings running either way must not cancel where they overlap.
    path_.setFillRule(Qt::WindingFill);
}

bool AreaBatch::joinable(const QPen& pen, const QBrush& brush)
{
    // Overlaps in one path are painted once: the same only for opaque colours.
    // A dashed outline would take its dashes along the whole path.
    const bool penJoins = pen.style() == Qt::NoPen || (pen.style() == Qt::SolidLine && pen.color().alpha() == 255);
    const bool brushJoins = brush.style() == Qt::NoBrush ||
                            (brush.style() == Qt::SolidPattern && brush.color().alpha() == 255);
    return penJoins && brushJoins;
}

bool AreaBatch::outlineHidesEdge(const QPen& pen)
{
    return pen.style() == Qt::SolidLine && pen.color().alpha() == 255 && pen.widthF() >= 1;
}

void AreaBatch::add(const QPolygonF& ring, const QPen& pen, const QBrush& brush)
{
    if (!joinable(pen, brush)) {
        flush();
        painter_.setPen(pen);
        painter_.setBrush(brush);
        painter_.drawPolygon(ring);
        return;
    }
    if (!path_.isEmpty() && (!(pen == pen_) || !(brush == brush_)))
        flush();
    pen_ = pen;
    brush_ = brush;
    // All rings one way round, so that the winding rule fills each of them.
    if (signedArea2(ring) < 0) {
        ring_ = ring;
        std::reverse(ring_.begin(), ring_.end());
        path_.addPolygon(ring_);
    } else {
        path_.addPolygon(ring);
    }
    path_.closeSubpath();
    if (++rings_ == kRingsPerBatch)
        flush();
}

void AreaBatch::flush()
{
    if (path_.isEmpty())
        return;
    const bool smooth = painter_.testRenderHint(QPainter::Antialiasing);
    // Drawn smaller (a preview), the outline gets thinner than a pixel and
    // would no longer hide the unsmoothed edge.
    const QTransform& transform = painter_.deviceTransform();
    const bool unshrunk = transform.type() <= QTransform::TxScale && transform.m11() >= 1 && transform.m22() >= 1;
    if (smooth && unshrunk && brush_.style() != Qt::NoBrush && outlineHidesEdge(pen_)) {
        // The smoothed outline lies over the fill's edge: an unsmoothed fill,
        // many times cheaper, looks the same under it.
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.fillPath(path_, brush_);
        painter_.setRenderHint(QPainter::Antialiasing, true);
        painter_.strokePath(path_, pen_);
    } else {
        painter_.setPen(pen_);
        painter_.setBrush(brush_);
        painter_.drawPath(path_);
    }
    path_.clear();
    rings_ = 0;
}
