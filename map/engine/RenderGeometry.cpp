#include "RenderGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

QRectF PixelTransform::toMap(const QRectF& pixels) const
{
    const double left = xWind_ + (pixels.left() - origin_.x()) / ppm_;
    const double right = xWind_ + (pixels.right() - origin_.x()) / ppm_;
    const double top = yWind_ - (pixels.top() - origin_.y()) / ppm_;
    const double bottom = yWind_ - (pixels.bottom() - origin_.y()) / ppm_;
    return QRectF(QPointF(left, bottom), QPointF(right, top)).normalized();
}

void projectSimplified(const std::vector<MapPoint>& points, const PixelTransform& transform, double tolerance,
                       QPolygonF& out)
{
    out.clear();
    if (points.empty())
        return;
    const double squaredTolerance = tolerance * tolerance;
    QPointF last = transform.toPixel(points.front());
    out.append(last);
    const std::size_t lastIndex = points.size() - 1;
    for (std::size_t i = 1; i < lastIndex; ++i) {
        const QPointF pixel = transform.toPixel(points[i]);
        const double dx = pixel.x() - last.x();
        const double dy = pixel.y() - last.y();
        if (dx * dx + dy * dy >= squaredTolerance) {
            out.append(pixel);
            last = pixel;
        }
    }
    if (lastIndex > 0)
        out.append(transform.toPixel(points[lastIndex]));
}

namespace {

// A root of the sum of squares: QLineF::length's hypot guards against an
// overflow that pixel lengths never come near, at several times the cost,
// and the street names sort their candidates by length.
double distanceBetween(QPointF a, QPointF b)
{
    const QPointF step = b - a;
    return std::sqrt(QPointF::dotProduct(step, step));
}

// A segment asked for the distances of many points from it: the division
// is made once, not for each point.
class SegmentDistances {
public:
    SegmentDistances(QPointF a, QPointF b) : a_(a), d_(b - a)
    {
        const double squaredLength = QPointF::dotProduct(d_, d_);
        inverse_ = squaredLength > 0 ? 1 / squaredLength : 0;
    }
    double squaredTo(QPointF p) const
    {
        const double t = std::clamp(QPointF::dotProduct(p - a_, d_) * inverse_, 0.0, 1.0);
        const QPointF off = p - (a_ + d_ * t);
        return QPointF::dotProduct(off, off);
    }

private:
    QPointF a_;
    QPointF d_;
    double inverse_;
};

} // namespace

int simplifyToTolerance(QPointF* line, int count, double tolerance)
{
    if (count < 3)
        return count;
    const double squaredTolerance = tolerance * tolerance;
    // Kept between calls: a frame straightens hundreds of thousands of small
    // shapes, and two allocations for each would cost more than the work.
    thread_local std::vector<char> keep;
    keep.assign(static_cast<std::size_t>(count), 0);
    keep.front() = keep.back() = 1;
    // Spans still to split, on a stack of their own: a coastline of tens of
    // thousands of points would run a recursion deep.
    thread_local std::vector<std::pair<int, int>> spans;
    spans.assign({{0, count - 1}});
    while (!spans.empty()) {
        const auto [first, last] = spans.back();
        spans.pop_back();
        double farthest = 0;
        int split = -1;
        const SegmentDistances chord(line[first], line[last]);
        for (int i = first + 1; i < last; ++i) {
            const double distance = chord.squaredTo(line[i]);
            if (distance > farthest) {
                farthest = distance;
                split = i;
            }
        }
        if (split < 0 || farthest <= squaredTolerance)
            continue;
        keep[static_cast<std::size_t>(split)] = 1;
        spans.push_back({first, split});
        spans.push_back({split, last});
    }
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (keep[static_cast<std::size_t>(i)])
            line[kept++] = line[i];
    return kept;
}

void simplifyToTolerance(QPolygonF& line, double tolerance)
{
    line.resize(simplifyToTolerance(line.data(), static_cast<int>(line.size()), tolerance));
}

double signedArea2(const QPolygonF& ring)
{
    double sum = 0;
    const qsizetype count = ring.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QPointF& a = ring[i];
        const QPointF& b = ring[(i + 1) % count];
        sum += a.x() * b.y() - b.x() * a.y();
    }
    return sum;
}

double LineStretch::length() const { return distanceBetween(start, end); }

double LineStretch::angleDegrees() const
{
    return std::atan2(end.y() - start.y(), end.x() - start.x()) * 180.0 / M_PI;
}

namespace {

double bendDegrees(double fromDegrees, double toDegrees)
{
    double bend = std::fmod(toDegrees - fromDegrees, 360.0);
    if (bend > 180)
        bend -= 360;
    if (bend < -180)
        bend += 360;
    return std::abs(bend);
}

double segmentAngle(const QPointF& a, const QPointF& b)
{
    return std::atan2(b.y() - a.y(), b.x() - a.x()) * 180.0 / M_PI;
}

} // namespace

LineStretch longestStraightStretch(const QPolygonF& line, double maxBendDegrees)
{
    LineStretch best;
    if (line.size() < 2)
        return best;
    best = {line.front(), line.front()};
    qsizetype runStart = 0;
    double runAngle = segmentAngle(line[0], line[1]);
    for (qsizetype i = 1; i < line.size(); ++i) {
        const bool lastPoint = i + 1 == line.size();
        const bool bends = !lastPoint && bendDegrees(runAngle, segmentAngle(line[i], line[i + 1])) >= maxBendDegrees;
        if (lastPoint || bends) {
            const LineStretch run{line[runStart], line[i]};
            if (run.length() > best.length())
                best = run;
            if (bends) {
                runStart = i;
                runAngle = segmentAngle(line[i], line[i + 1]);
            }
        }
    }
    return best;
}

QRectF keptFrameTarget(const Viewport& kept, const Viewport& now)
{
    // A map point at kept pixel p lies at p * zoom + shift in the view now.
    const double zoom = now.GetScale() / kept.GetScale();
    const double ppm = now.pixelsPerMetre();
    const QPointF shift((kept.GetXWind() - now.GetXWind()) * ppm, (now.GetYWind() - kept.GetYWind()) * ppm);
    return QRectF(shift, QSizeF(kept.size()) * zoom);
}

namespace {

// The part of a-b inside the box as parameters t0 <= t1 along it; false when none.
bool clipParameters(QPointF a, QPointF b, const QRectF& box, double& t0, double& t1)
{
    t0 = 0;
    t1 = 1;
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

QPointF along(QPointF a, QPointF b, double t) { return a + (b - a) * t; }

} // namespace

bool clipSegmentToBox(QPointF& a, QPointF& b, const QRectF& box)
{
    double t0 = 0;
    double t1 = 1;
    if (!clipParameters(a, b, box, t0, t1))
        return false;
    const QPointF start = a;
    a = along(start, b, t0);
    b = along(start, b, t1);
    return true;
}

namespace {

// Which sides of the box a point lies beyond, a bit for each.
int sidesBeyond(QPointF point, const QRectF& box)
{
    return (point.x() < box.left() ? 1 : 0) | (point.x() > box.right() ? 2 : 0) | (point.y() < box.top() ? 4 : 0) |
           (point.y() > box.bottom() ? 8 : 0);
}

} // namespace

void clipPolyline(const QPointF* line, int count, const QRectF& box, std::vector<QPointF>& out,
                  std::vector<ClippedPiece>& pieces)
{
    // A line cut to each band of a frame lies mostly outside the band: a
    // segment beyond one side of the box, or wholly in it, needs no cut, and
    // the length walked is summed only up to where a piece starts.
    double walked = 0;
    int measured = 0; // walked covers the segments before line[measured]
    const auto walkedTo = [&](int point) {
        for (; measured < point; ++measured)
            walked += distanceBetween(line[measured], line[measured + 1]);
        return walked;
    };
    // Whether the last piece ends at line[i - 1] itself, so that the next
    // segment goes on with it.
    bool open = false;
    int beyondA = count > 0 ? sidesBeyond(line[0], box) : 0;
    for (int i = 1; i < count; ++i) {
        const QPointF a = line[i - 1];
        const QPointF b = line[i];
        const int beyondB = sidesBeyond(b, box);
        const int beyondBoth = beyondA & beyondB;
        const bool inside = (beyondA | beyondB) == 0;
        beyondA = beyondB;
        double t0 = 0;
        double t1 = 1;
        if (beyondBoth != 0 || (!inside && !clipParameters(a, b, box, t0, t1))) {
            open = false;
            continue;
        }
        if (!open || t0 > 0) {
            pieces.push_back({out.size(), 1, walkedTo(i - 1) + distanceBetween(a, b) * t0});
            out.push_back(t0 > 0 ? along(a, b, t0) : a);
        }
        // Exact ends where the segment is not cut: the next one must meet it.
        out.push_back(t1 < 1 ? along(a, b, t1) : b);
        ++pieces.back().count;
        open = t1 >= 1;
    }
}

namespace {

// One pass of the ring clipper: keeps what lies on the inner side of one
// side of the box. inside(p) tells the side; cross(a, b) where a-b crosses it.
template <typename Inside, typename Cross>
void clipRingBySide(const QPolygonF& from, QPolygonF& into, Inside inside, Cross cross)
{
    into.clear();
    const qsizetype count = from.size();
    for (qsizetype i = 0; i < count; ++i) {
        const QPointF& a = from[i == 0 ? count - 1 : i - 1];
        const QPointF& b = from[i];
        const bool aIn = inside(a);
        const bool bIn = inside(b);
        if (aIn != bIn)
            into.append(cross(a, b));
        if (bIn)
            into.append(b);
    }
}

QPointF crossAtX(QPointF a, QPointF b, double x) { return {x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x())}; }
QPointF crossAtY(QPointF a, QPointF b, double y) { return {a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y}; }

} // namespace

void clipRing(const QPolygonF& ring, const QRectF& box, QPolygonF& out)
{
    QPolygonF half;
    const double left = box.left();
    const double right = box.right();
    const double top = box.top();
    const double bottom = box.bottom();
    clipRingBySide(ring, out, [&](QPointF p) { return p.x() >= left; },
                   [&](QPointF a, QPointF b) { return crossAtX(a, b, left); });
    clipRingBySide(out, half, [&](QPointF p) { return p.x() <= right; },
                   [&](QPointF a, QPointF b) { return crossAtX(a, b, right); });
    clipRingBySide(half, out, [&](QPointF p) { return p.y() >= top; },
                   [&](QPointF a, QPointF b) { return crossAtY(a, b, top); });
    clipRingBySide(out, half, [&](QPointF p) { return p.y() <= bottom; },
                   [&](QPointF a, QPointF b) { return crossAtY(a, b, bottom); });
    out.swap(half);
}
