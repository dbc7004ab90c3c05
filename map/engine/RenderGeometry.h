// Geometry of one frame: from map units (metres, y north) to the pixels of
// the target, with the simplification that keeps far-away shapes cheap.
#pragma once

#include "MapObject.h"
#include "Viewport.h"

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

#include <cstddef>
#include <vector>

class PixelTransform {
public:
    PixelTransform(const Viewport& view, QPointF origin)
        : xWind_(view.GetXWind()), yWind_(view.GetYWind()), ppm_(view.pixelsPerMetre()), origin_(origin)
    {
    }

    double pixelsPerMetre() const { return ppm_; }
    QPointF toPixel(double x, double y) const
    {
        return {origin_.x() + (x - xWind_) * ppm_, origin_.y() + (yWind_ - y) * ppm_};
    }
    QPointF toPixel(MapPoint point) const { return toPixel(point.x, point.y); }
    // A box in map units (y up, as MapModel::bounds gives it) as a pixel rectangle.
    QRectF toPixel(const QRectF& mapBox) const
    {
        // Map y grows up and pixel y down, so these corners are already in order.
        return QRectF(toPixel(mapBox.left(), mapBox.bottom()), toPixel(mapBox.right(), mapBox.top()));
    }
    // The map box under a pixel rectangle.
    QRectF toMap(const QRectF& pixels) const;

private:
    double xWind_;
    double yWind_;
    double ppm_;
    QPointF origin_;
};

// Projects points into pixels and drops every point closer than tolerance
// pixels to the last one kept (radial-distance simplification); the last
// point is always kept so that lines end where they should. out is cleared first.
void projectSimplified(const std::vector<MapPoint>& points, const PixelTransform& transform, double tolerance,
                       QPolygonF& out);

// Drops the points of a pixel polyline that lie within tolerance pixels of
// the line through the points kept around them (Douglas-Peucker); both ends
// stay. Radial simplification keeps every point of a long, gently bending
// road that is a pixel from the last; each costs the stroker a join.
void simplifyToTolerance(QPolygonF& line, double tolerance);
// The same in place over count points; returns how many are kept, at the front.
int simplifyToTolerance(QPointF* line, int count, double tolerance);

// Twice the signed area of a pixel ring (positive when it runs clockwise on
// screen, where y grows downwards).
double signedArea2(const QPolygonF& ring);

// A straight stretch of a pixel polyline: where a text along the line may go.
struct LineStretch {
    QPointF start;
    QPointF end;
    double length() const;
    double angleDegrees() const; // direction from start to end, screen angle
};

// Splits a polyline into runs whose direction bends by less than
// maxBendDegrees in total and returns the longest one; an empty line gives a
// zero-length stretch.
LineStretch longestStraightStretch(const QPolygonF& line, double maxBendDegrees);

// Cuts the segment a-b to the box (Liang-Barsky); false when nothing of it is inside.
bool clipSegmentToBox(QPointF& a, QPointF& b, const QRectF& box);

// One run of a polyline left inside a box: out[first, first + count) of
// clipPolyline's points, starting startLength pixels along the whole line
// (what a dash pattern needs to go on in step).
struct ClippedPiece {
    std::size_t first = 0;
    int count = 0;
    double startLength = 0;
};

// Appends to out the parts of the polyline inside the box, each as a piece of
// pieces, cut where the line leaves the box. A line kept a stroke's width
// beyond the view is drawn the same inside it, for a fraction of the cost of
// stroking kilometres outside at street level.
void clipPolyline(const QPointF* line, int count, const QRectF& box, std::vector<QPointF>& out,
                  std::vector<ClippedPiece>& pieces);

// The ring cut to the box (Sutherland-Hodgman): it fills the same pixels
// inside the box, with new edges along the box's sides. A ring kept an
// outline's width beyond the view is drawn the same inside it. out is cleared first.
void clipRing(const QPolygonF& ring, const QRectF& box, QPolygonF& out);

// Where a frame drawn for the kept view lands when shown for the view now:
// every map point of the kept frame falls on its pixel of the current view.
QRectF keptFrameTarget(const Viewport& kept, const Viewport& now);
