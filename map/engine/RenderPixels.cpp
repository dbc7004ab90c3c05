#include "RenderPixels.h"

#include "RenderGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

PixelWriter::PixelWriter(QPainter& painter, const QRectF& target) : painter_(painter)
{
    auto* image = dynamic_cast<QImage*>(painter.device());
    const QTransform& transform = painter.deviceTransform();
    if (image && transform.type() <= QTransform::TxTranslate && image->devicePixelRatio() == 1 &&
        (image->format() == QImage::Format_ARGB32_Premultiplied || image->format() == QImage::Format_RGB32 ||
         image->format() == QImage::Format_ARGB32)) {
        bits_ = image->bits();
        stride_ = image->bytesPerLine();
        shift_ = QPoint(qRound(transform.dx()), qRound(transform.dy()));
        bounds_ = target.toAlignedRect().translated(shift_).intersected(image->rect());
    }
}

void PixelWriter::line(QPointF from, QPointF to, QRgb pixel, int thickness)
{
    // Pixel centres sit at half coordinates, as the painter has them.
    from += QPointF(shift_) - QPointF(0.5, 0.5);
    to += QPointF(shift_) - QPointF(0.5, 0.5);
    // Most segments of a far-away frame lie well inside it: those are
    // written without cutting them or checking each of their pixels.
    const double left = bounds_.left() + thickness;
    const double top = bounds_.top() + thickness;
    const double right = bounds_.right() - thickness;
    const double bottom = bounds_.bottom() - thickness;
    const auto inside = [&](QPointF point) {
        return point.x() >= left && point.x() <= right && point.y() >= top && point.y() <= bottom;
    };
    if (inside(from) && inside(to)) {
        walkLine<false>(from, to, pixel, thickness);
        return;
    }
    if (!clipSegmentToBox(from, to, QRectF(bounds_).adjusted(-thickness, -thickness, thickness, thickness)))
        return;
    walkLine<true>(from, to, pixel, thickness);
}

template <bool checked> void PixelWriter::walkLine(QPointF from, QPointF to, QRgb pixel, int thickness)
{
    int x0 = floorToInt(from.x() + 0.5);
    int y0 = floorToInt(from.y() + 0.5);
    const int x1 = floorToInt(to.x() + 0.5);
    const int y1 = floorToInt(to.y() + 0.5);
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int stepX = x0 < x1 ? 1 : -1;
    const int stepY = y0 < y1 ? 1 : -1;
    // A thick line repeats its pixels across the main direction, centred.
    const bool steep = -dy > dx;
    const int first = -(thickness - 1) / 2;
    int error = dx + dy;
    for (;;) {
        for (int k = first; k < first + thickness; ++k) {
            const int x = steep ? x0 + k : x0;
            const int y = steep ? y0 : y0 + k;
            if constexpr (checked)
                put(x, y, pixel);
            else
                reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_)[x] = pixel;
        }
        if (x0 == x1 && y0 == y1)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
}

namespace {

// An interval of x; low > high: empty.
struct Span {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    bool empty() const { return low > high; }
    void add(double from, double to)
    {
        low = std::min(low, from);
        high = std::max(high, to);
    }
};

// The points within some radius of a segment: two end discs and the band
// between them. Its rows are asked for thousands of times a frame, so what
// depends only on the segment is worked out once.
class Capsule {
public:
    Capsule(QPointF a, QPointF b) : a_(a), b_(b), length_(std::sqrt(QPointF::dotProduct(b - a, b - a)))
    {
        if (length_ > 0) {
            ux_ = (b.x() - a.x()) / length_;
            uy_ = (b.y() - a.y()) / length_;
        }
    }

    // Where the horizontal line at height y crosses the points within radius.
    Span row(double radius, double y) const
    {
        Span span;
        for (const QPointF end : {a_, b_}) {
            const double h = y - end.y();
            if (std::abs(h) <= radius) {
                const double half = std::sqrt(radius * radius - h * h);
                span.add(end.x() - half, end.x() + half);
            }
        }
        if (length_ == 0)
            return span;
        const double h = y - a_.y();
        double low = -std::numeric_limits<double>::infinity();
        double high = std::numeric_limits<double>::infinity();
        // Along the segment: 0 <= x' ux + h uy <= length; across it:
        // |h ux - x' uy| <= radius, where x' = x - a.x.
        if (narrow(ux_, -h * uy_, length_ - h * uy_, low, high) &&
            narrow(uy_, h * ux_ - radius, h * ux_ + radius, low, high))
            span.add(a_.x() + low, a_.x() + high);
        return span;
    }

private:
    // Narrows [low, high] to the x for which factor * x lies in [from, to]; false when none do.
    static bool narrow(double factor, double from, double to, double& low, double& high)
    {
        if (std::abs(factor) < 1e-12)
            return from <= 0 && 0 <= to;
        double first = from / factor;
        double second = to / factor;
        if (first > second)
            std::swap(first, second);
        low = std::max(low, first);
        high = std::min(high, second);
        return low <= high;
    }

    QPointF a_;
    QPointF b_;
    double length_;
    double ux_ = 0;
    double uy_ = 0;
};

// A segment asked for the distance of many pixels from it.
class Segment {
public:
    Segment(QPointF a, QPointF b) : a_(a), d_(b - a)
    {
        const double squaredLength = QPointF::dotProduct(d_, d_);
        inverseSquaredLength_ = squaredLength > 0 ? 1 / squaredLength : 0;
    }
    double squaredDistance(double x, double y) const
    {
        const double px = x - a_.x();
        const double py = y - a_.y();
        const double t = std::clamp((px * d_.x() + py * d_.y()) * inverseSquaredLength_, 0.0, 1.0);
        const double ex = px - t * d_.x();
        const double ey = py - t * d_.y();
        return ex * ex + ey * ey;
    }

private:
    QPointF a_;
    QPointF d_;
    double inverseSquaredLength_;
};

// The pixels whose centres lie in the span, as a run of columns inside [left, right].
void pixelRun(const Span& span, int left, int right, int& first, int& last)
{
    first = std::max(left, static_cast<int>(std::ceil(std::max(span.low - 0.5, left - 1.0))));
    last = std::min(right, static_cast<int>(std::floor(std::min(span.high - 0.5, right + 1.0))));
}

// An opaque colour laid over an opaque pixel with coverage 0..255.
QRgb mixOpaque(QRgb colour, QRgb under, std::uint32_t coverage)
{
    const std::uint32_t rest = 255 - coverage;
    std::uint32_t redBlue = (colour & 0xff00ff) * coverage + (under & 0xff00ff) * rest;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    std::uint32_t alphaGreen = ((colour >> 8) & 0xff00ff) * coverage + ((under >> 8) & 0xff00ff) * rest;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

} // namespace

// The distances from a line's middle that matter to its pixels: beyond
// outer nothing is covered, within inner everything is, within hole the
// pixels are left to the line drawn over it (0: none).
// A piece of a line and the pieces before and after it, which share its joins.
struct PixelWriter::SegmentNeighbours {
    Segment own;
    std::optional<Segment> previous;
    std::optional<Segment> next;
};

struct PixelWriter::StrokeShape {
    double outer;
    double inner;
    double hole;
    QRgb pixel;
};

void PixelWriter::stroke(const QPointF* points, int count, double width, QRgb pixel, double coveredWidth)
{
    if (count < 1 || width <= 0 || bounds_.isEmpty())
        return;
    const double radius = width / 2;
    const StrokeShape shape{radius + 0.5, radius - 0.5, std::min(coveredWidth / 2 - 0.5, radius - 0.5), pixel};
    const QRectF reach = QRectF(bounds_).adjusted(-radius - 1, -radius - 1, radius + 1, radius + 1);
    const int segments = std::max(count - 1, 1);
    const auto segment = [&](int i) {
        return Segment(points[i] + QPointF(shift_), points[std::min(i + 1, count - 1)] + QPointF(shift_));
    };
    for (int i = 0; i < segments; ++i) {
        QPointF from = points[i] + QPointF(shift_);
        QPointF to = points[std::min(i + 1, count - 1)] + QPointF(shift_);
        // What lies far outside is cut off first: the rows below work in whole
        // pixels. Within reach of the frame the cut segment is the whole one.
        if (!clipSegmentToBox(from, to, reach))
            continue;
        const std::optional<Segment> previous = i > 0 ? std::optional(segment(i - 1)) : std::nullopt;
        const std::optional<Segment> next = i + 1 < segments ? std::optional(segment(i + 1)) : std::nullopt;
        coverSegment(from, to, {segment(i), previous, next}, shape);
    }
}

void PixelWriter::coverSegment(QPointF from, QPointF to, const SegmentNeighbours& segments, const StrokeShape& shape)
{
    const double topEdge = std::min(from.y(), to.y()) - shape.outer;
    const double bottomEdge = std::max(from.y(), to.y()) + shape.outer;
    const int top = std::max(bounds_.top(), static_cast<int>(std::floor(topEdge)));
    const int bottom = std::min(bounds_.bottom(), static_cast<int>(std::ceil(bottomEdge)));
    const Capsule capsule(from, to);
    // A smoothed edge pixel is laid down by the one piece nearest to it, so
    // that at a join it gets the larger share, not both; whole pixels are
    // written by every piece, which changes nothing the second time.
    const double squaredOuter = shape.outer * shape.outer;
    const auto edge = [&](QRgb* row, double centreY, int first, int last) {
        for (int x = first; x <= last; ++x) {
            const double centreX = x + 0.5;
            const double distance = segments.own.squaredDistance(centreX, centreY);
            if (distance >= squaredOuter)
                continue;
            if (segments.previous && segments.previous->squaredDistance(centreX, centreY) <= distance)
                continue;
            if (segments.next && segments.next->squaredDistance(centreX, centreY) < distance)
                continue;
            const double share = std::min(shape.outer - std::sqrt(distance), 1.0);
            // share is positive, where adding a half rounds right; lround would be a call in this loop.
            // NOLINTNEXTLINE(bugprone-incorrect-roundings)
            const auto coverage = static_cast<std::uint32_t>(share * 255 + 0.5);
            row[x] = coverage >= 255 ? shape.pixel : mixOpaque(shape.pixel, row[x], coverage);
        }
    };
    // The run of pixels whose centres lie within radius on this row, inside [low, high]; empty: from > to.
    const auto within = [&](double radius, double centreY, int low, int high, int& from, int& to) {
        from = high + 1;
        to = high;
        if (radius <= 0)
            return;
        const Span span = capsule.row(radius, centreY);
        if (!span.empty())
            pixelRun(span, low, high, from, to);
    };
    for (int y = top; y <= bottom; ++y) {
        const double centreY = y + 0.5;
        int first = 0;
        int last = 0;
        within(shape.outer, centreY, bounds_.left(), bounds_.right(), first, last);
        if (first > last)
            continue;
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
        int solidFirst = 0;
        int solidLast = 0;
        within(shape.inner, centreY, first, last, solidFirst, solidLast);
        if (solidFirst > solidLast) {
            edge(row, centreY, first, last);
            continue;
        }
        edge(row, centreY, first, solidFirst - 1);
        edge(row, centreY, solidLast + 1, last);
        int holeFirst = 0;
        int holeLast = 0;
        within(shape.hole, centreY, solidFirst, solidLast, holeFirst, holeLast);
        if (holeFirst > holeLast) {
            std::fill(row + solidFirst, row + solidLast + 1, shape.pixel);
            continue;
        }
        std::fill(row + solidFirst, row + holeFirst, shape.pixel);
        std::fill(row + holeLast + 1, row + solidLast + 1, shape.pixel);
    }
}
