#include "RenderPixels.h"

#include "RenderGeometry.h"

#include <algorithm>
#include <cstdlib>

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
