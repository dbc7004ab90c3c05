#include "AreaBatch.h"

#include "RenderGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// The smoothing rasterizer works in a fixed pool of memory: a path of too
// many rings overflows it and is then cut into bands and walked again and
// again, which costs far more than the calls a batch saves.
constexpr int kRingsPerBatch = 8;
// The most pixels of a ring's box in view for which the ring is filled
// straight in the frame's pixels.
constexpr double kDirectFillPixels = 24.0 * 24.0;
// The longest pieces, on average, of an outline stroked straight in the
// frame's pixels; pixels across plus down.
constexpr double kDirectOutlinePiece = 10;
// From this many points on, a thin outline is drawn straight into the
// frame's pixels whatever the length of its pieces.
constexpr int kManyJoins = 16;

} // namespace

AreaBatch::AreaBatch(QPainter& painter, const QRectF& target)
    : painter_(painter), pixels_(painter, target), target_(target)
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
    const bool straight = direct(pen, brush);
    // The rings of one batch go one way: the fills of all before their outlines.
    const bool otherWay = straight ? !path_.isEmpty() : !ringEnds_.empty();
    if (rings_ > 0 && (!(pen == pen_) || !(brush == brush_) || otherWay))
        flush();
    pen_ = pen;
    brush_ = brush;
    if (straight) {
        points_.insert(points_.end(), ring.cbegin(), ring.cend());
        ringEnds_.push_back(static_cast<int>(points_.size()));
        if (++rings_ == kRingsPerBatch)
            flush();
        return;
    }
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

bool AreaBatch::direct(const QPen& pen, const QBrush& brush) const
{
    // Only what joinable lets through reaches here: opaque solid colours.
    return pixels_.direct() && (pen.style() == Qt::NoPen || pen.style() == Qt::SolidLine) &&
           (brush.style() == Qt::NoBrush || brush.style() == Qt::SolidPattern);
}

bool AreaBatch::shortPieces(const QPointF* ring, int count)
{
    double perimeter = 0;
    for (int i = 0; i < count; ++i) {
        const QPointF step = ring[i + 1 < count ? i + 1 : 0] - ring[i];
        perimeter += std::abs(step.x()) + std::abs(step.y());
    }
    return perimeter <= kDirectOutlinePiece * count;
}

bool AreaBatch::smallInView(const QPointF* ring, int count) const
{
    const RingExtent extent = ExtentOf(ring, count);
    const QRectF shown =
        QRectF(QPointF(extent.minX, extent.minY), QPointF(extent.maxX, extent.maxY)).intersected(target_);
    return shown.width() * shown.height() <= kDirectFillPixels;
}

void AreaBatch::addToPath(const QPointF* ring, int count)
{
    ring_ = QPolygonF(QList<QPointF>(ring, ring + count));
    // All rings one way round, so that the winding rule fills each of them.
    if (signedArea2(ring_) < 0)
        std::reverse(ring_.begin(), ring_.end());
    path_.addPolygon(ring_);
    path_.closeSubpath();
}

void AreaBatch::flushDirect()
{
    // As the painter draws a path: every fill first, then every outline, so
    // that the wall two buildings share keeps its outline.
    const bool painterSmooth = painter_.testRenderHint(QPainter::Antialiasing);
    const bool smooth = painterSmooth && !outlineHidesEdge(pen_);
    const auto eachRing = [&](const auto& draw) {
        int first = 0;
        for (const int end : ringEnds_) {
            draw(points_.data() + first, end - first);
            first = end;
        }
    };
    if (brush_.style() != Qt::NoBrush) {
        // The painter smooths the inside of a large area faster than a pixel
        // at a time: what is saved is its set-up for each of many small ones.
        // Without smoothing a ring of any size is filled here, a row at a
        // time, faster than by the painter.
        const QRgb fill = brush_.color().rgba();
        eachRing([&](const QPointF* ring, int count) {
            if (!smooth || smallInView(ring, count))
                pixels_.fillRing(ring, count, fill, smooth);
            else
                addToPath(ring, count);
        });
        if (!path_.isEmpty()) {
            painter_.setRenderHint(QPainter::Antialiasing, smooth);
            painter_.fillPath(path_, brush_);
            painter_.setRenderHint(QPainter::Antialiasing, painterSmooth);
            path_.clear();
        }
    }
    if (pen_.style() != Qt::NoPen) {
        const QRgb outline = pen_.color().rgba();
        // A pen of width 0 is a line of one pixel.
        const double width = pen_.widthF() > 0 ? pen_.widthF() : 1;
        // The painter's cost is in its joins, ours in the pixels: an outline
        // of many short pieces (a small building) or, a little over a pixel
        // wide, of many pieces at all (a district) is cheaper here, one of a
        // few long sides (a house close up) there. A line of a pixel or less
        // the painter draws by a path of its own, without joins, cheaper than
        // ours unless its pieces are short. A wide outline is stroked here
        // only when its joins are round, as ours are.
        const bool thin = width <= PixelWriter::kJoinsUnseenUpTo;
        const bool painterLine = width <= 1;
        const bool roundJoins = thin || pen_.joinStyle() == Qt::RoundJoin;
        eachRing([&](const QPointF* ring, int count) {
            if ((thin && !painterLine && count > kManyJoins) || (roundJoins && shortPieces(ring, count)))
                pixels_.strokeRing(ring, count, width, outline);
            else
                addToPath(ring, count);
        });
        if (!path_.isEmpty()) {
            painter_.strokePath(path_, pen_);
            path_.clear();
        }
    }
    points_.clear();
    ringEnds_.clear();
    rings_ = 0;
}

void AreaBatch::flush()
{
    if (!ringEnds_.empty())
        flushDirect();
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
