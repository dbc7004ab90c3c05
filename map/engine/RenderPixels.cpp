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
    if (!clipSegmentToBox(from, to, QRectF(bounds_).adjusted(-thickness, -thickness, thickness, thickness)))
        return;
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
        for (int k = first; k < first + thickness; ++k)
            steep ? put(x0 + k, y0, pixel) : put(x0, y0 + k, pixel);
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
