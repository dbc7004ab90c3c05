#include "RenderPixels.h"

#include "RenderGeometry.h"
#include "RenderPixelsBlend.h"
#include "VectorState.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include <emmintrin.h>

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
    settleVectorState();
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

// The edges of a thin line crossing columns at a slope: how much of a
// pixel lies below an edge that crosses it at some height, over the run of
// the pixel the line reaches, the integral over t from 0 to run of
// clamp(height + slope t, 0, 1). Without branches, and multiplying by the
// slope's inverse: a district's outlines cross tens of thousands of pixels.
class SlopedEdge {
public:
    explicit SlopedEdge(double slope)
        : slope_(slope), level_(std::abs(slope) < 1e-9), inverseSlope_(level_ ? 0 : 1 / slope)
    {
    }

    double shareBelow(double height, double run) const
    {
        if (level_)
            return run * lesserOf(greaterOf(height, 0.0), 1.0);
        return (belowArea(height + slope_ * run) - belowArea(height)) * inverseSlope_;
    }

private:
    // The integral of clamp(y, 0, 1) from 0 to y.
    static double belowArea(double y)
    {
        const double held = lesserOf(greaterOf(y, 0.0), 1.0);
        return held * held / 2 + greaterOf(y - 1, 0.0);
    }

    double slope_;
    bool level_;
    double inverseSlope_;
};

// What a line a pixel wide covers of three pixels of one column, from the
// pixel `first` on.
struct ColumnShares {
    int first;
    int count; // 2, or 3 where the line's edge crosses into the next pixel
    std::array<double, 3> share;
};

// A band a pixel high covers the pixel its lower edge is in by 1 - f, f
// being how far up that pixel the edge is, and the pixel above by f: shares
// that change in step with the edge's height as long as the edge stays in
// one pixel, so over a part of the column they are those of its mean
// height. The edge rises by `rise` over the `run` of the column from `low`,
// and crosses at most one pixel's border on the way: the column is taken in
// at most two such parts. The same as SlopedEdge's integrals, for a third of
// their work: the outlines of buildings are most of the smoothed lines of a
// frame.
ColumnShares pixelWideColumn(double low, double rise, double run)
{
    const double bottom = std::min(low, low + rise);
    const double top = std::max(low, low + rise);
    const int first = floorToInt(bottom);
    const double border = first + 1.0;
    ColumnShares shares{first, 2, {0, 0, 0}};
    const auto addPart = [&shares](int pixel, double part, double height) {
        const double up = height - (shares.first + pixel);
        shares.share[static_cast<std::size_t>(pixel)] += part * (1 - up);
        shares.share[static_cast<std::size_t>(pixel) + 1] += part * up;
    };
    if (top <= border) {
        addPart(0, run, (bottom + top) / 2);
        return shares;
    }
    shares.count = 3;
    const double belowBorder = run * (border - bottom) / (top - bottom);
    addPart(0, belowBorder, (bottom + border) / 2);
    addPart(1, run - belowBorder, (border + top) / 2);
    return shares;
}

} // namespace

void PixelWriter::strokeRing(const QPointF* points, int count, double width, QRgb pixel)
{
    if (width > kJoinsUnseenUpTo) {
        strokeSegments(points, count, width, pixel, 0, count > 2);
        return;
    }
    // The pieces of a corner both cover its pixel in part, together about
    // as much as the round join the painter would draw there.
    for (int i = 0; i < count; ++i)
        thinLine(points[i], points[(i + 1) % count], width, pixel);
}

void PixelWriter::thinLine(QPointF from, QPointF to, double width, QRgb pixel)
{
    from += QPointF(shift_);
    to += QPointF(shift_);
    const double reach = width + 1;
    if (!clipSegmentToBox(from, to, QRectF(bounds_).adjusted(-reach, -reach, reach, reach)))
        return;
    // Worked in the line's main direction u and the one across it v.
    const bool steep = std::abs(to.y() - from.y()) > std::abs(to.x() - from.x());
    const auto along = [&](QPointF point) { return steep ? point.y() : point.x(); };
    const auto across = [&](QPointF point) { return steep ? point.x() : point.y(); };
    if (along(from) > along(to))
        std::swap(from, to);
    const double run = along(to) - along(from);
    if (run <= 0)
        return;
    const double slope = (across(to) - across(from)) / run;
    // A line w wide crossing the columns at an angle covers w / cos of it in
    // each; a line of a pixel or less covers w in each, as the painter's
    // lines of such pens do.
    const double half = width <= 1 ? width / 2 : width * std::sqrt(1 + slope * slope) / 2;
    // The columns the line reaches into, the end ones in part: a ring's
    // next piece takes up where this one ends.
    const double start = along(from);
    const double end = along(to);
    const int first = floorToInt(start);
    const int last = -floorToInt(-end) - 1;
    const int alongLow = steep ? bounds_.top() : bounds_.left();
    const int alongHigh = steep ? bounds_.bottom() : bounds_.right();
    const int acrossLow = steep ? bounds_.left() : bounds_.top();
    const int acrossHigh = steep ? bounds_.right() : bounds_.bottom();
    // How many pixels apart a step along the line and one across it land.
    const qsizetype row = stride_ / static_cast<qsizetype>(sizeof(QRgb));
    const qsizetype alongStep = steep ? row : 1;
    const qsizetype acrossStep = steep ? 1 : row;
    // A pixel the line covers by a share of 0 or less stays as it is.
    const auto cover = [&, image = reinterpret_cast<QRgb*>(bits_)](int u, int v, double share) {
        const std::uint32_t coverage = coverageOf(share);
        if (coverage == 0)
            return;
        QRgb& at = image[u * alongStep + v * acrossStep];
        at = mixOpaque(pixel, at, coverage);
    };
    const SlopedEdge edge(slope);
    const bool pixelWide = width == 1;
    for (int u = std::max(first, alongLow); u <= std::min(last, alongHigh); ++u) {
        // The part of the column the line reaches, and its edges there.
        const double enter = std::max(static_cast<double>(u), start);
        const double reached = std::min(u + 1.0, end) - enter;
        const double middle = across(from) + slope * (enter - start);
        const double low = middle - half;
        if (pixelWide) {
            const ColumnShares shares = pixelWideColumn(low, slope * reached, reached);
            for (int k = 0; k < shares.count; ++k)
                if (shares.first + k >= acrossLow && shares.first + k <= acrossHigh)
                    cover(u, shares.first + k, shares.share[static_cast<std::size_t>(k)]);
            continue;
        }
        const double high = middle + half;
        const double rise = slope * reached;
        const int firstAcross = std::max(floorToInt(std::min(low, low + rise)), acrossLow);
        const int lastAcross = std::min(floorToInt(std::max(high, high + rise)), acrossHigh);
        // The pixels between the edges all along the column's run are
        // covered by the run: a wide line's middle needs no areas worked out.
        const int firstWhole = ceilToInt(std::max(low, low + rise));
        const int lastWhole = floorToInt(std::min(high, high + rise)) - 1;
        for (int v = firstAcross; v <= lastAcross; ++v) {
            const bool whole = v >= firstWhole && v <= lastWhole;
            cover(u, v, whole ? reached : edge.shareBelow(high - v, reached) - edge.shareBelow(low - v, reached));
        }
    }
}

namespace {

// The coverage of a ring's box being worked out: per row, the change in
// covered area each pixel sees (the signed-area method of font
// rasterizers: a running sum along a row gives the covered share of every
// pixel), and the columns the edges touched. Kept zeroed between rings and
// kept between calls: a frame fills tens of thousands of rings, and a large
// one would pay for clearing its whole box.
struct CoverageRows {
    std::vector<float> shares;
    std::vector<int> low;  // per row, the first column changed
    std::vector<int> high; // per row, the last column changed; below low: none
    int stride = 0;
    int width = 0;
    int height = 0;

    void start(int boxWidth, int boxHeight)
    {
        width = boxWidth;
        height = boxHeight;
        // Two columns more than the box: an edge on its right side adds to them.
        stride = boxWidth + 2;
        const auto cells = static_cast<std::size_t>(stride) * static_cast<std::size_t>(boxHeight);
        if (shares.size() < cells)
            shares.resize(cells, 0.0F);
        low.assign(static_cast<std::size_t>(boxHeight), std::numeric_limits<int>::max());
        high.assign(static_cast<std::size_t>(boxHeight), -1);
    }
    float* row(int y, int first, int last)
    {
        const auto at = static_cast<std::size_t>(y);
        low[at] = std::min(low[at], first);
        high[at] = std::max(high[at], last);
        return shares.data() + static_cast<qsizetype>(y) * stride;
    }
};

// Adds an edge of a ring to the coverage of the rows it crosses. Points are
// relative to the box; left of it an edge still covers the rows it spans,
// right of it it covers nothing in view.
void accumulateEdge(CoverageRows& rows, QPointF from, QPointF to)
{
    if (from.y() == to.y())
        return;
    float direction = 1;
    if (from.y() > to.y()) {
        std::swap(from, to);
        direction = -1;
    }
    const double slope = (to.x() - from.x()) / (to.y() - from.y());
    double top = from.y();
    double x = from.x();
    if (top < 0) {
        x -= top * slope;
        top = 0;
    }
    const double bottom = std::min(to.y(), static_cast<double>(rows.height));
    const double right = rows.width;
    for (int y = floorToInt(top); y < bottom; ++y) {
        const double rise = std::min(y + 1.0, to.y()) - std::max(static_cast<double>(y), top);
        const double xNext = x + slope * rise;
        const double d = rise * direction;
        const double a = std::clamp(x, 0.0, right);
        const double b = std::clamp(xNext, 0.0, right);
        x = xNext;
        const double low = std::min(a, b);
        const double high = std::max(a, b);
        const int lowPixel = floorToInt(low);
        const int highPixel = -floorToInt(-high);
        if (highPixel <= lowPixel + 1) {
            // Within one pixel: that pixel gets the area right of the edge's middle.
            float* row = rows.row(y, lowPixel, lowPixel + 1);
            const double share = 0.5 * (a + b) - lowPixel;
            row[lowPixel] += static_cast<float>(d - d * share);
            row[lowPixel + 1] += static_cast<float>(d * share);
            continue;
        }
        float* row = rows.row(y, lowPixel, highPixel);
        const double perPixel = 1 / (high - low);
        const double lowPart = low - lowPixel;
        const double first = 0.5 * perPixel * (1 - lowPart) * (1 - lowPart);
        const double highPart = high - highPixel + 1;
        const double lastShare = 0.5 * perPixel * highPart * highPart;
        row[lowPixel] += static_cast<float>(d * first);
        if (highPixel == lowPixel + 2) {
            row[lowPixel + 1] += static_cast<float>(d * (1 - first - lastShare));
        } else {
            const double second = perPixel * (1.5 - lowPart);
            row[lowPixel + 1] += static_cast<float>(d * (second - first));
            const auto step = static_cast<float>(d * perPixel);
            for (int column = lowPixel + 2; column < highPixel - 1; ++column)
                row[column] += step;
            const double beforeLast = second + (highPixel - lowPixel - 3) * perPixel;
            row[highPixel - 1] += static_cast<float>(d * (1 - beforeLast - lastShare));
        }
        row[highPixel] += static_cast<float>(d * lastShare);
    }
}

// Lays the colour over a pixel by the share of it the ring covers: the
// pixels along a ring's edges, a few for each of its rows.
inline void coverPixel(QRgb& at, float share, QRgb pixel)
{
    // share is not negative, where adding a half rounds right.
    // NOLINTNEXTLINE(bugprone-incorrect-roundings)
    const auto amount = static_cast<std::uint32_t>(share * 255 + 0.5F);
    if (amount >= 255)
        at = pixel;
    else if (amount > 0)
        at = mixOpaque(pixel, at, amount);
}

// Lays the colour over a run of pixels that the ring covers by the same share.
void coverRun(QRgb* from, QRgb* to, float share, QRgb pixel)
{
    // share is not negative, where adding a half rounds right.
    // NOLINTNEXTLINE(bugprone-incorrect-roundings)
    const auto amount = static_cast<std::uint32_t>(share * 255 + 0.5F);
    if (amount >= 255) {
        fillPixels(from, to, pixel);
        return;
    }
    if (amount == 0)
        return;
    for (QRgb* at = from; at != to; ++at)
        *at = mixOpaque(pixel, *at, amount);
}

// Nonzero winding: a pixel covered twice is covered once.
float coveredShare(float sum) { return std::min(std::abs(sum), 1.0F); }

thread_local CoverageRows ringCoverage;

// Where an edge crosses a row's line of pixel centres, and which way it runs.
struct Crossing {
    double x;
    int winding;
};

// An edge of a ring filled by pixel centres, from its top down (image
// coordinates), with the way the ring ran along it.
struct CentreEdge {
    double top;
    double bottom;
    double x; // at the top
    double slope; // x per row
    int winding;
};

// Kept between calls, as the coverage rows are.
thread_local std::vector<CentreEdge> centreEdges;
thread_local std::vector<const CentreEdge*> activeEdges;
thread_local std::vector<Crossing> rowCrossings;

// Rings of up to this many corners are filled without an edge table: each
// row looks at all their edges, which costs less than building, sorting and
// walking a table for a building a few pixels high.
constexpr int kFewEdges = 16;

CentreEdge centreEdge(QPointF a, QPointF b)
{
    const int winding = a.y() < b.y() ? 1 : -1;
    if (winding < 0)
        std::swap(a, b);
    return {a.y(), b.y(), a.x(), (b.x() - a.x()) / (b.y() - a.y()), winding};
}

// Hands `take` each edge of the ring that crosses rows, shifted into the image.
template <typename Take> void forEachCentreEdge(const QPointF* points, int count, QPoint shift, Take take)
{
    for (int i = 0; i < count; ++i) {
        const QPointF a = points[i] + QPointF(shift);
        const QPointF b = points[i + 1 < count ? i + 1 : 0] + QPointF(shift);
        if (a.y() != b.y())
            take(centreEdge(a, b));
    }
}

// The image rows, within bounds, whose centres lie in [minY, maxY) of the ring.
std::pair<int, int> centreRows(const QPointF* points, int count, QPoint shift, const QRect& bounds)
{
    const RingExtent extent = ExtentOf(points, count);
    return {std::max(bounds.top(), ceilToInt(extent.minY + shift.y() - 0.5)),
            std::min(bounds.bottom(), ceilToInt(extent.maxY + shift.y() - 0.5) - 1)};
}

// Sorts a row's handful of crossings in place, faster than by a call.
void sortCrossings(Crossing* crossings, std::size_t count)
{
    for (std::size_t i = 1; i < count; ++i)
        for (std::size_t j = i; j > 0 && crossings[j].x < crossings[j - 1].x; --j)
            std::swap(crossings[j], crossings[j - 1]);
}

// Fills the pixels of `row` whose centres lie inside the ring by nonzero
// winding, between its sorted crossings; only columns left..right are written.
void fillBetweenCrossings(QRgb* row, const Crossing* crossings, std::size_t count, int left, int right, QRgb pixel)
{
    int winding = 0;
    for (std::size_t k = 0; k + 1 < count; ++k) {
        winding += crossings[k].winding;
        if (winding == 0)
            continue;
        // The pixels whose centres lie in [this crossing, the next).
        const int first = std::max(left, ceilToInt(crossings[k].x - 0.5));
        const int last = std::min(right, ceilToInt(crossings[k + 1].x - 0.5) - 1);
        if (first <= last)
            fillPixels(row + first, row + last + 1, pixel);
    }
}

} // namespace

void PixelWriter::fillRing(const QPointF* points, int count, QRgb pixel, bool smooth)
{
    if (count < 3 || bounds_.isEmpty())
        return;
    if (!smooth) {
        fillCentres(points, count, pixel);
        return;
    }
    const RingExtent extent = ExtentOf(points, count);
    const int left = std::max(bounds_.left(), floorToInt(extent.minX + shift_.x()));
    const int right = std::min(bounds_.right(), -floorToInt(-(extent.maxX + shift_.x())) - 1);
    const int top = std::max(bounds_.top(), floorToInt(extent.minY + shift_.y()));
    const int bottom = std::min(bounds_.bottom(), -floorToInt(-(extent.maxY + shift_.y())) - 1);
    if (left > right || top > bottom)
        return;
    const QRect box(QPoint(left, top), QPoint(right, bottom));
    CoverageRows& rows = ringCoverage;
    rows.start(box.width(), box.height());
    const QPointF origin = QPointF(left, top) - QPointF(shift_);
    for (int i = 0; i < count; ++i)
        accumulateEdge(rows, points[i] - origin, points[i + 1 < count ? i + 1 : 0] - origin);
    sweepCoverage(box, pixel);
}

void PixelWriter::fillCentres(const QPointF* points, int count, QRgb pixel)
{
    if (count <= kFewEdges) {
        fillFewCentres(points, count, pixel);
        return;
    }
    // The edges from top to bottom, in the order their tops are reached:
    // a row looks only at those it crosses, a district's few among its thousands.
    std::vector<CentreEdge>& edges = centreEdges;
    edges.clear();
    forEachCentreEdge(points, count, shift_, [&](const CentreEdge& edge) { edges.push_back(edge); });
    std::sort(edges.begin(), edges.end(), [](const CentreEdge& x, const CentreEdge& y) { return x.top < y.top; });
    const auto [top, bottom] = centreRows(points, count, shift_, bounds_);
    std::vector<const CentreEdge*>& active = activeEdges;
    active.clear();
    std::vector<Crossing>& crossings = rowCrossings;
    std::size_t next = 0;
    for (int y = top; y <= bottom; ++y) {
        // An edge crosses the row when its centre line lies in [top, bottom).
        const double centreY = y + 0.5;
        for (; next < edges.size() && edges[next].top <= centreY; ++next)
            active.push_back(&edges[next]);
        std::erase_if(active, [&](const CentreEdge* edge) { return edge->bottom <= centreY; });
        crossings.clear();
        for (const CentreEdge* edge : active)
            crossings.push_back({edge->x + (centreY - edge->top) * edge->slope, edge->winding});
        sortCrossings(crossings.data(), crossings.size());
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
        fillBetweenCrossings(row, crossings.data(), crossings.size(), bounds_.left(), bounds_.right(), pixel);
    }
}

void PixelWriter::fillFewCentres(const QPointF* points, int count, QRgb pixel)
{
    std::array<CentreEdge, kFewEdges> edges;
    std::size_t edgeCount = 0;
    forEachCentreEdge(points, count, shift_, [&](const CentreEdge& edge) { edges[edgeCount++] = edge; });
    const auto [top, bottom] = centreRows(points, count, shift_, bounds_);
    std::array<Crossing, kFewEdges> crossings;
    for (int y = top; y <= bottom; ++y) {
        const double centreY = y + 0.5;
        std::size_t crossed = 0;
        for (std::size_t i = 0; i < edgeCount; ++i) {
            const CentreEdge& edge = edges[i];
            if (edge.top <= centreY && centreY < edge.bottom)
                crossings[crossed++] = {edge.x + (centreY - edge.top) * edge.slope, edge.winding};
        }
        sortCrossings(crossings.data(), crossed);
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
        fillBetweenCrossings(row, crossings.data(), crossed, bounds_.left(), bounds_.right(), pixel);
    }
}

void PixelWriter::sweepCoverage(const QRect& box, QRgb pixel)
{
    CoverageRows& rows = ringCoverage;
    for (int y = 0; y < box.height(); ++y) {
        const int first = rows.low[static_cast<std::size_t>(y)];
        const int last = rows.high[static_cast<std::size_t>(y)];
        if (first > last)
            continue;
        float* shares = rows.shares.data() + static_cast<qsizetype>(y) * rows.stride;
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(box.top() + y) * stride_) + box.left();
        const int end = std::min(last + 1, box.width());
        float sum = 0;
        int x = first;
        while (x < end) {
            if (shares[x] != 0) {
                sum += shares[x];
                shares[x] = 0;
                coverPixel(row[x], coveredShare(sum), pixel);
                ++x;
                continue;
            }
            // Between the edges the share stays the same: the inside of a
            // large area is filled a run at a time.
            int runEnd = x + 1;
            const __m128 zero = _mm_setzero_ps();
            while (runEnd + 4 <= end && _mm_movemask_ps(_mm_cmpneq_ps(_mm_loadu_ps(shares + runEnd), zero)) == 0)
                runEnd += 4;
            while (runEnd < end && shares[runEnd] == 0)
                ++runEnd;
            coverRun(row + x, row + runEnd, coveredShare(sum), pixel);
            x = runEnd;
        }
        // Right of the box the edges changed nothing in view; cleared for the next ring.
        std::fill(shares + std::max(end, first), shares + last + 1, 0.0F);
    }
}
