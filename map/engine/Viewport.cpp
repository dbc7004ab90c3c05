#include "Viewport.h"

#include <cmath>

namespace {
// A scale of zero or below would make the view infinitely wide; the smallest
// scale the view accepts still shows a continent in a window.
constexpr double kSmallestScale = 1e-3;
} // namespace

void Viewport::SetScale(double scale)
{
    scale_ = (std::isfinite(scale) && scale > kSmallestScale) ? scale : kSmallestScale;
}

void Viewport::SetScaleAbout(double scale, QPointF pixel)
{
    const QPointF fixed = pixelToMap(pixel);
    SetScale(scale);
    const QPointF moved = pixelToMap(pixel);
    xWind_ += fixed.x() - moved.x();
    yWind_ += fixed.y() - moved.y();
}

QPointF Viewport::mapToPixel(double x, double y) const
{
    const double ppm = pixelsPerMetre();
    return {(x - xWind_) * ppm, (yWind_ - y) * ppm};
}

QPointF Viewport::pixelToMap(QPointF pixel) const
{
    const double ppm = pixelsPerMetre();
    return {xWind_ + pixel.x() / ppm, yWind_ - pixel.y() / ppm};
}

QRectF Viewport::visibleMapRect() const
{
    const double ppm = pixelsPerMetre();
    const double width = size_.width() / ppm;
    const double height = size_.height() / ppm;
    return {xWind_, yWind_ - height, width, height};
}

void Viewport::centreOn(double x, double y, double scale)
{
    SetScale(scale);
    const double ppm = pixelsPerMetre();
    xWind_ = x - size_.width() / 2.0 / ppm;
    yWind_ = y + size_.height() / 2.0 / ppm;
}

QPointF Viewport::centre() const
{
    return pixelToMap(QPointF(size_.width() / 2.0, size_.height() / 2.0));
}
