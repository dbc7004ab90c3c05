// What the map shows: a scale and the map point at the view's top-left pixel.
//
// Scale semantics: larger is closer; the view shows scale / kPixelsPerMetreUnit
// pixels per metre. So scale 216 gives 0.1 px/m (a 10 km city across a
// 1000-pixel view) and scale 5000 about 2.3 px/m (a 1000-pixel view spans
// some 430 m: a few blocks with readable house numbers).
//
// XWind, YWind: the map point under the top-left pixel. Map y grows north and
// pixel y grows down, so the map point under pixel (px, py) is
// (XWind + px / ppm, YWind - py / ppm). Adding d to XWind adds d to the map X
// under every pixel.
#pragma once

#include "MapObject.h"

#include <QPointF>
#include <QRectF>
#include <QSize>

inline constexpr double kPixelsPerMetreUnit = 2160.0;

class Viewport {
public:
    double GetScale() const { return scale_; }
    // Keeps the top-left map point. A scale that is not a positive number
    // becomes a tiny positive one, so the view never divides by zero.
    void SetScale(double scale);
    void SetScaleAbout(double scale, QPointF pixel); // keeps the map point under pixel
    double GetXWind() const { return xWind_; }
    double GetYWind() const { return yWind_; }
    void SetXWind(double x) { xWind_ = x; }
    void SetYWind(double y) { yWind_ = y; }
    QSize size() const { return size_; }
    void setSize(QSize size) { size_ = size; }

    double pixelsPerMetre() const { return scale_ / kPixelsPerMetreUnit; }
    QPointF mapToPixel(double x, double y) const;
    QPointF pixelToMap(QPointF pixel) const;
    // The map area the view shows, as a box in map units (y up).
    QRectF visibleMapRect() const;
    // Centres the view on a map point at a scale.
    void centreOn(double x, double y, double scale);
    QPointF centre() const;

private:
    double scale_ = 216;
    double xWind_ = 0;
    double yWind_ = 0;
    QSize size_{1000, 700};
};
