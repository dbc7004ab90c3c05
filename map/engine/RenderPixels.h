// Drawing straight into the pixels of the frame's image, for the many tiny
// shapes of a far-away frame: dots of buildings and thin roads. Going through
// the painter costs a call, a clip and a rasterizer set-up per shape, which
// for hundreds of thousands of shapes is most of the frame.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QRectF>

#include <algorithm>

// std::floor is a library call on the baseline x86-64 instruction set; pixel
// coordinates are small, so a truncation and a correction do.
inline int floorToInt(double value)
{
    const int truncated = static_cast<int>(value);
    return truncated > value ? truncated - 1 : truncated;
}

inline int ceilToInt(double value) { return -floorToInt(-value); }

// The smallest and largest coordinates of a ring of at least one point.
struct RingExtent {
    double minX, maxX, minY, maxY;
};
inline RingExtent ExtentOf(const QPointF* points, int count)
{
    RingExtent extent{points[0].x(), points[0].x(), points[0].y(), points[0].y()};
    for (int i = 1; i < count; ++i) {
        extent.minX = std::min(extent.minX, points[i].x());
        extent.maxX = std::max(extent.maxX, points[i].x());
        extent.minY = std::min(extent.minY, points[i].y());
        extent.maxY = std::max(extent.maxY, points[i].y());
    }
    return extent;
}

class PixelWriter {
public:
    // Writes into the painter's image when it is a plain 32-bit image drawn
    // without scaling; otherwise every call goes to the painter.
    PixelWriter(QPainter& painter, const QRectF& target);

    bool direct() const { return bits_ != nullptr; }
    // A rectangle of whole pixels (painter coordinates); inline, for the dot
    // loop of a whole-city frame runs it 200 000 times.
    void fill(const QRect& box, const QColor& color)
    {
        if (bits_ && color.alpha() == 255)
            fillOpaque(box, color.rgba());
        else
            painter_.fillRect(box, color);
    }
    // The whole pixels a small box touches, as QRectF::toAlignedRect gives
    // them, without leaving the inline code: the dot loop runs 200 000 times.
    static QRect alignedPixels(const QRectF& box)
    {
        const int left = floorToInt(box.left());
        const int top = floorToInt(box.top());
        const int right = -floorToInt(-box.right());
        const int bottom = -floorToInt(-box.bottom());
        return QRect(left, top, right - left, bottom - top);
    }
    // A solid line of the given thickness in whole pixels, without smoothing;
    // only for direct() writers with an opaque colour.
    void line(QPointF from, QPointF to, QRgb pixel, int thickness);
    // A smoothed line width pixels wide with round joins and caps, as the
    // painter strokes it, in an opaque colour; only for direct() writers.
    // The painter's stroker and smoothing rasterizer spend most of a street
    // level frame on the casings and fills of wide roads. A casing passes
    // the width of the opaque line that will be drawn over it along the same
    // points: the pixels that line covers whole are left alone.
    void stroke(const QPointF* points, int count, double width, QRgb pixel, double coveredWidth = 0);
    // Up to this width the joins of an outline cannot be seen: a round join
    // two pixels wide can hardly be told from where two thin lines meet,
    // which leave a notch of a pixel at the outside of a sharp corner.
    static constexpr double kJoinsUnseenUpTo = 2.0;
    // The outline of a closed ring, stroked as stroke does it, with a join
    // where the ring closes; only for direct() writers. Outlines up to
    // kJoinsUnseenUpTo wide are drawn as thin lines.
    void strokeRing(const QPointF* points, int count, double width, QRgb pixel);
    // A smoothed line at most a few pixels wide, with flat ends: across its
    // main direction, each column (or row) of pixels gets the share of the
    // line's width that lies on it, the end columns the share of the column
    // the line reaches into. Several times cheaper than stroke, whose
    // distances per pixel pay off only for wide lines and round joins.
    void thinLine(QPointF from, QPointF to, double width, QRgb pixel);
    // A ring filled in an opaque colour by the nonzero rule: smoothed by the
    // share of each pixel it covers, or whole pixels (those whose centres
    // lie inside, as the painter fills without smoothing); only for direct()
    // writers. The painter sets up its path, clip and rasterizer for each of
    // the tens of thousands of buildings of a frame, which costs many times
    // the few pixels of each.
    void fillRing(const QPointF* points, int count, QRgb pixel, bool smooth);
    // An image in premultiplied colours laid over the frame as the painter
    // lays it at topLeft (source over, at the whole pixel nearest); only for
    // direct() writers. The painter's set-up for each image costs more than
    // the few hundred pixels of an icon, and a city seen whole shows
    // hundreds of stops and signs.
    void blendImage(QPointF topLeft, const QImage& image);
    // fill for a direct() writer and an opaque colour.
    void fillOpaque(const QRect& box, QRgb pixel)
    {
        const int left = std::max(box.left() + shift_.x(), bounds_.left());
        const int right = std::min(box.right() + shift_.x(), bounds_.right());
        const int top = std::max(box.top() + shift_.y(), bounds_.top());
        const int bottom = std::min(box.bottom() + shift_.y(), bounds_.bottom());
        const int width = right - left + 1;
        for (int y = top; y <= bottom; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_) + left;
            // Dots are a few pixels wide: a vectorised loop would spend more
            // on getting started than on the pixels.
            switch (width) {
            case 3:
                row[2] = pixel;
                [[fallthrough]];
            case 2:
                row[1] = pixel;
                [[fallthrough]];
            case 1:
                row[0] = pixel;
                break;
            default:
                std::fill(row, row + std::max(width, 0), pixel);
            }
        }
    }

private:
    struct StrokeShape;
    struct SegmentNeighbours;
    void coverSegment(QPointF from, QPointF to, const SegmentNeighbours& segments, const StrokeShape& shape);
    void strokeSegments(const QPointF* points, int count, double width, QRgb pixel, double coveredWidth, bool closed);
    void sweepCoverage(const QRect& box, QRgb pixel);
    void fillCentres(const QPointF* points, int count, QRgb pixel);
    void fillFewCentres(const QPointF* points, int count, QRgb pixel);
    template <bool checked> void walkLine(QPointF from, QPointF to, QRgb pixel, int thickness);
    void put(int x, int y, QRgb pixel)
    {
        if (x >= bounds_.left() && x <= bounds_.right() && y >= bounds_.top() && y <= bounds_.bottom())
            reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_)[x] = pixel;
    }

    QPainter& painter_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    QPoint shift_;
    QRect bounds_;
};
