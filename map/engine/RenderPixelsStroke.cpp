// Wide smoothed lines with round joins and caps, written straight into the
// frame: the casings and fills of the roads of a street-level frame, tens
// of thousands of rows of pixels, where a few instructions more per row
// show in the time of the frame.
#include "RenderPixels.h"

#include "RenderGeometry.h"
#include "RenderPixelsBlend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include <emmintrin.h>

namespace {

constexpr double kUnbounded = std::numeric_limits<double>::infinity();

// An interval of x, held as the pair (low, -high) in one register: the
// hull of two is then one minimum of pairs, the part of one within another
// one maximum, and both ends move with one subtraction; a row of a stroke
// is cut at three radii tens of thousands of times a frame. An interval
// that is not there is NaN, which a minimum passes over when it comes
// first; one with low > high is empty, but not nothing to a hull.
class Span {
public:
    // Nothing: the hull of it and another is the other.
    Span() : pair_(_mm_set1_pd(kUnbounded)) {}
    static Span between(double low, double high) { return Span(_mm_setr_pd(low, -high)); }
    // From half before to half after the middle, given as the pair (x, -x).
    static Span around(__m128d middle, __m128d half) { return Span(_mm_sub_pd(middle, half)); }

    // This, other and what lies between; other is never NaN.
    Span hull(Span other) const { return Span(_mm_min_pd(pair_, other.pair_)); }
    // The part within limits, which are never NaN.
    Span within(Span limits) const { return Span(_mm_max_pd(limits.pair_, pair_)); }
    // NaN where empty, to be passed over by a hull.
    Span orNothing() const
    {
        const __m128d both = _mm_add_pd(pair_, _mm_shuffle_pd(pair_, pair_, 1)); // low - high
        return Span(_mm_or_pd(pair_, _mm_cmpgt_pd(both, _mm_setzero_pd())));
    }
    __m128d pair() const { return pair_; }

private:
    explicit Span(__m128d pair) : pair_(pair) {}
    __m128d pair_;
};

// The pair (x, -x) for a middle at x.
__m128d middlePair(double x) { return _mm_setr_pd(x, -x); }

// The three distances from a line's middle that its rows are cut at,
// largest first: beyond outer nothing is covered, within inner everything
// is, within hole the pixels are left to the line drawn over it (0 or
// less: none).
constexpr std::size_t kStrokeRadii = 3;
using StrokeRadii = std::array<double, kStrokeRadii>;
using RowSpans = std::array<Span, kStrokeRadii>;

// A run of columns; first > last: none.
struct PixelRun {
    int first;
    int last;
    bool empty() const { return first > last; }
};

// A row of a piece: the pixels it covers at all, those it covers whole and
// those it leaves to the line drawn over it, each inside the one before;
// the smoothed pixels are the covered ones outside the whole ones.
struct RowRuns {
    PixelRun covered;
    PixelRun solid;
    PixelRun hole;

    bool edgesOnly() const { return solid.empty(); }
    PixelRun leftEdge() const { return {covered.first, solid.first - 1}; }
    PixelRun rightEdge() const { return {solid.last + 1, covered.last}; }
};

// The columns [left, right] rows are drawn in, and the runs of pixels of
// them whose centres lie in a span: from the first centre at or right of
// its low end, ceil(low - 0.5), to the last at or left of its high end,
// floor(high - 0.5). The ends are held to the columns and counted from a
// bound they cannot pass, which makes a truncation of each a floor: both
// ends take a minimum, a maximum, a subtraction and a conversion of the
// pair, and an empty or missing span gives no run.
class Columns {
public:
    Columns(int left, int right)
        : highest_(_mm_setr_pd(right + 1.5, 0.5 - left)), lowest_(_mm_setr_pd(left, -right - 0.5)),
          offsets_(_mm_setr_pd(right + 2.5, 0.5 - left)), beyond_(right + 2), before_(1 - left)
    {
    }

    RowRuns runs(const RowSpans& spans) const { return {run(spans[0]), run(spans[1]), run(spans[2])}; }

private:
    // A span's runs inside those of a larger span are inside its runs:
    // the runs of a row's spans, one inside the other, nest.
    PixelRun run(Span span) const
    {
        // A NaN span takes the highest ends first, which give no run.
        const __m128d held = _mm_max_pd(_mm_min_pd(span.pair(), highest_), lowest_);
        const __m128i counts = _mm_cvttpd_epi32(_mm_sub_pd(offsets_, held));
        return {beyond_ - _mm_cvtsi128_si32(counts), _mm_cvtsi128_si32(_mm_shuffle_epi32(counts, 1)) - before_};
    }

    __m128d highest_;
    __m128d lowest_;
    __m128d offsets_;
    int beyond_;
    int before_;
};

// The heights of the row centres from top to bottom; top > bottom: none.
struct RowRange {
    double top = kUnbounded;
    double bottom = -kUnbounded;
    bool contains(double y) const { return (y >= top) & (y <= bottom); }
};

// What crosses a row of a piece: its band alone, clear of the band's ends
// (plain) or cut by them, or a disc or the wedge too.
enum class RowKind { Plain, Band, Ends };

// The distance of the pixel centres of one row from a line: |offset - x step| at column x.
struct AcrossRow {
    double offset;
    double step;
    double distance(int x) const { return std::abs(offset - x * step); }
};

// The points within each of the stroke's radii of a segment: two end discs
// and the band between them, or without the disc at its start, which the
// piece before it covers as the disc at its end. Where another piece goes
// on from its end, only the wedge of the end disc that neither band covers
// is kept, the outside of the bend: a street of short pieces would
// otherwise go over most of its pixels again with the disc of every piece.
// What depends only on the segment is worked out once, and a row is cut at
// all three radii in one pass: they share the band's middle and ends and
// the wedge's sides.
class Capsule {
public:
    Capsule(QPointF a, QPointF b, const StrokeRadii& radii, bool startDisc, std::optional<QPointF> nextDirection)
        : a_(a), b_(b), length_(std::sqrt(QPointF::dotProduct(b - a, b - a))), startDisc_(startDisc)
    {
        if (length_ > 0) {
            ux_ = (b.x() - a.x()) / length_;
            uy_ = (b.y() - a.y()) / length_;
        }
        // Rows divide by these tens of thousands of times a frame:
        // multiplying by the inverse is several times cheaper.
        inverseUx_ = inverseOf(ux_);
        const double inverseUy = inverseOf(uy_);
        acrossParallel_ = inverseUy == 0;
        for (std::size_t i = 0; i < kStrokeRadii; ++i) {
            radii_[i] = radii[i] > 0 ? radii[i] : kNone;
            squaredRadii_[i] = radii[i] > 0 ? radii[i] * radii[i] : kNone;
            // A row's band is centred at h ux / uy from the start, h below
            // it, and radius / |uy| wide each side.
            halfWidths_[i] = _mm_set1_pd(radii_[i] * std::abs(inverseUy));
        }
        outerAndInnerSquared_ = _mm_setr_pd(squaredRadii_[0], squaredRadii_[1]);
        const double middleSlope = ux_ * inverseUy;
        middleStart_ = middlePair(a.x());
        middleSlope_ = middlePair(middleSlope);
        // Where cut by its ends, within 0 <= x' ux + h uy <= length (x' = x - a.x).
        const double alongSlope = -uy_ * inverseUx_;
        const double alongLength = length_ * inverseUx_;
        alongStart_ = _mm_setr_pd(a.x() + std::min(alongLength, 0.0), -a.x() - std::max(alongLength, 0.0));
        alongSlope_ = middlePair(alongSlope);
        if (nextDirection && length_ > 0) {
            next_ = *nextDirection;
            inverseNextX_ = inverseOf(next_->x());
        }
        findRowKinds();
    }

    // The rows the points within the outer radius reach.
    double top() const { return std::min({bandTop(), startRows_.top, endRows_.top}); }
    double bottom() const { return std::max({bandBottom(), startRows_.bottom, endRows_.bottom}); }

    RowKind kind(double y) const
    {
        if (discsOnly_ || startRows_.contains(y) || endRows_.contains(y))
            return RowKind::Ends;
        return plainRows_.contains(y) ? RowKind::Plain : RowKind::Band;
    }

    // Where the row at height y crosses the points within each radius.
    RowSpans spans(double y, RowKind kind) const
    {
        if (kind == RowKind::Plain)
            return bandSpans(y - a_.y());
        if (kind == RowKind::Band)
            return cut(bandSpans(y - a_.y()), along(y - a_.y()));
        return endsSpans(y);
    }

    // The distances from the segment's line along the row at height y: on
    // a row of the band alone, those from the segment.
    AcrossRow across(double y) const { return {(y - a_.y()) * ux_ + (a_.x() - 0.5) * uy_, uy_}; }

private:
    // Below this a unit direction's component counts as zero: the segment
    // runs along the other axis.
    static constexpr double kAxisParallel = 1e-12;
    // The wedge reaches this far into both bands: a pixel centre on its
    // edge, as near to one piece as to the other, is then drawn by this
    // piece, which wins such ties.
    static constexpr double kWedgeOverlap = 0.5;
    // A radius that covers nothing.
    static constexpr double kNone = -1;

    static double inverseOf(double component) { return std::abs(component) < kAxisParallel ? 0 : 1 / component; }

    // Most rows of a piece cross its band alone, whose pixels lie across
    // the segment from a point on it; the band's ends lie across the
    // segment too, and most rows of a steep piece are clear of them. Beside
    // a piece at least its radius long, the half of an end disc within the
    // band's ends lies inside the band: only the half beyond reaches rows
    // of its own.
    // A level segment's band and a point's disc take the rows of the discs
    // at its ends.
    void findRowKinds()
    {
        const bool halfDiscsBeyond = !acrossParallel_ && length_ >= radii_[0];
        if (startDisc_ || length_ == 0)
            startRows_ = halfDiscsBeyond ? halfDiscRows(a_, {-ux_, -uy_}) : discRows(a_);
        if (next_)
            endRows_ = wedgeRows();
        else
            endRows_ = halfDiscsBeyond ? halfDiscRows(b_, {ux_, uy_}) : discRows(b_);
        discsOnly_ = acrossParallel_ || length_ == 0;
        if (!discsOnly_)
            plainRows_ = {std::min(a_.y(), b_.y()) + bandReach(), std::max(a_.y(), b_.y()) - bandReach()};
    }

    double bandReach() const { return radii_[0] * std::abs(ux_); }
    double bandTop() const { return std::min(a_.y(), b_.y()) - bandReach(); }
    double bandBottom() const { return std::max(a_.y(), b_.y()) + bandReach(); }
    RowRange discRows(QPointF centre) const { return {centre.y() - radii_[0], centre.y() + radii_[0]}; }

    // The rows of the half of the disc around centre on the side facing points to.
    RowRange halfDiscRows(QPointF centre, QPointF facing) const
    {
        const double radius = radii_[0];
        const double side = radius * std::abs(facing.x());
        return facing.y() >= 0 ? RowRange{centre.y() - side, centre.y() + radius}
                               : RowRange{centre.y() - radius, centre.y() + side};
    }

    // The wedge lies in the half of the end disc beyond this band and in
    // the half before the next band; but for the overlap, which a pixel
    // either side covers.
    RowRange wedgeRows() const
    {
        const RowRange beyond = halfDiscRows(b_, {ux_, uy_});
        const RowRange before = halfDiscRows(b_, -*next_);
        constexpr double kMargin = 1;
        return {std::max(beyond.top, before.top) - kMargin, std::min(beyond.bottom, before.bottom) + kMargin};
    }

    // The band's rows h below the segment's start, uncut by its ends.
    RowSpans bandSpans(double h) const
    {
        const __m128d middle = _mm_add_pd(middleStart_, _mm_mul_pd(_mm_set1_pd(h), middleSlope_));
        return {Span::around(middle, halfWidths_[0]), Span::around(middle, halfWidths_[1]),
                Span::around(middle, halfWidths_[2])};
    }

    // Where the row h below the segment's start lies between the band's ends.
    Span along(double h) const
    {
        if (inverseUx_ != 0)
            return Span::around(_mm_add_pd(alongStart_, _mm_mul_pd(_mm_set1_pd(h), alongSlope_)), _mm_setzero_pd());
        // Across an upright segment, a row is between its ends whole or not at all.
        const double reached = h * uy_;
        return reached >= 0 && reached <= length_ ? Span::between(-kUnbounded, kUnbounded) : Span();
    }

    static RowSpans cut(const RowSpans& spans, Span limits)
    {
        return {spans[0].within(limits), spans[1].within(limits), spans[2].within(limits)};
    }

    // A row crossing a disc or the wedge: the hull of all the parts it
    // crosses, which overlap or touch.
    RowSpans endsSpans(double y) const
    {
        RowSpans spans;
        const double h = y - a_.y();
        if (acrossParallel_)
            addLevelBand(h, spans);
        else if (length_ > 0)
            add(cut(bandSpans(h), along(h)), spans);
        if (startRows_.contains(y))
            add(discSpans(a_, y, Span::between(-kUnbounded, kUnbounded)), spans);
        if (!endRows_.contains(y))
            return spans;
        if (next_)
            add(discSpans(b_, y, wedgeLimits(y - b_.y())), spans);
        else
            add(discSpans(b_, y, Span::between(-kUnbounded, kUnbounded)), spans);
        return spans;
    }

    static void add(const RowSpans& parts, RowSpans& spans)
    {
        for (std::size_t i = 0; i < kStrokeRadii; ++i)
            spans[i] = parts[i].orNothing().hull(spans[i]);
    }

    // A level segment covers a row whole or not at all.
    void addLevelBand(double h, RowSpans& spans) const
    {
        if (length_ == 0)
            return;
        const Span band = along(h);
        for (std::size_t i = 0; i < kStrokeRadii && std::abs(h * ux_) <= radii_[i]; ++i)
            spans[i] = band.hull(spans[i]);
    }

    // The disc around centre within limits; NaN where the row passes it
    // by. Most strokes have no hole, which then takes no root.
    RowSpans discSpans(QPointF centre, double y, Span limits) const
    {
        const double squaredH = (y - centre.y()) * (y - centre.y());
        const __m128d middle = middlePair(centre.x());
        const __m128d halves = _mm_sqrt_pd(_mm_sub_pd(outerAndInnerSquared_, _mm_set1_pd(squaredH)));
        RowSpans spans{Span::around(middle, _mm_unpacklo_pd(halves, halves)).within(limits),
                       Span::around(middle, _mm_unpackhi_pd(halves, halves)).within(limits), Span()};
        if (radii_[2] > 0)
            spans[2] = Span::around(middle, _mm_sqrt_pd(_mm_set1_pd(squaredRadii_[2] - squaredH))).within(limits);
        return spans;
    }

    // Where the row h below the end lies beyond this band's end and before the next band's start.
    Span wedgeLimits(double h) const
    {
        double low = -kUnbounded;
        double high = kUnbounded;
        // x' = x - b.x: x' ux + h uy >= -overlap, and x' nx + h ny <= overlap.
        if (!narrow(inverseUx_, -h * uy_ - kWedgeOverlap, kUnbounded, low, high) ||
            !narrow(inverseNextX_, -kUnbounded, kWedgeOverlap - h * next_->y(), low, high))
            return Span();
        return Span::between(b_.x() + low, b_.x() + high);
    }

    // Narrows [low, high] to the x for which x / inverse lies in [from, to]
    // (inverse 0: the factor is zero); false when none do.
    static bool narrow(double inverse, double from, double to, double& low, double& high)
    {
        if (inverse == 0)
            return from <= 0 && 0 <= to;
        double first = from * inverse;
        double second = to * inverse;
        if (first > second)
            std::swap(first, second);
        low = std::max(low, first);
        high = std::min(high, second);
        return low <= high;
    }

    QPointF a_;
    QPointF b_;
    double length_;
    bool startDisc_;
    StrokeRadii radii_{};
    StrokeRadii squaredRadii_{};
    double ux_ = 0;
    double uy_ = 0;
    double inverseUx_ = 0;
    bool acrossParallel_ = false;
    __m128d halfWidths_[kStrokeRadii];
    __m128d outerAndInnerSquared_;
    __m128d middleStart_;
    __m128d middleSlope_;
    __m128d alongStart_;
    __m128d alongSlope_;
    std::optional<QPointF> next_; // the next piece's direction, a unit vector
    double inverseNextX_ = 0;
    RowRange startRows_; // none without a start disc
    RowRange endRows_;
    RowRange plainRows_;
    bool discsOnly_ = false; // every row worked out as one by the discs
};

// A segment asked for the distance of many pixels from it.
class Segment {
public:
    Segment(QPointF a, QPointF b) : a_(a), d_(b - a)
    {
        const double squaredLength = QPointF::dotProduct(d_, d_);
        inverseSquaredLength_ = squaredLength > 0 ? 1 / squaredLength : 0;
    }
    QPointF start() const { return a_; }
    // The unit vector along the segment; none for a segment of no length.
    std::optional<QPointF> direction() const
    {
        if (inverseSquaredLength_ == 0)
            return std::nullopt;
        return d_ * std::sqrt(inverseSquaredLength_);
    }
    // Whether a point at height y can lie within radius of the segment.
    bool reachesRow(double y, double radius) const
    {
        return y >= std::min(a_.y(), a_.y() + d_.y()) - radius && y <= std::max(a_.y(), a_.y() + d_.y()) + radius;
    }
    // The squared distances from the segment of two points at height y, side by side.
    __m128d squaredDistances(__m128d x, double y) const
    {
        const __m128d px = _mm_sub_pd(x, _mm_set1_pd(a_.x()));
        const __m128d py = _mm_set1_pd(y - a_.y());
        const __m128d dx = _mm_set1_pd(d_.x());
        const __m128d dy = _mm_set1_pd(d_.y());
        const __m128d along = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(px, dx), _mm_mul_pd(py, dy)),
                                         _mm_set1_pd(inverseSquaredLength_));
        const __m128d t = _mm_min_pd(_mm_max_pd(along, _mm_setzero_pd()), _mm_set1_pd(1));
        const __m128d ex = _mm_sub_pd(px, _mm_mul_pd(t, dx));
        const __m128d ey = _mm_sub_pd(py, _mm_mul_pd(t, dy));
        return _mm_add_pd(_mm_mul_pd(ex, ex), _mm_mul_pd(ey, ey));
    }

private:
    QPointF a_;
    QPointF d_;
    double inverseSquaredLength_;
};

// No pixels, after every column.
constexpr PixelRun kNoPixels{std::numeric_limits<int>::max(), std::numeric_limits<int>::max() - 1};

// The pairs of neighbouring pixels of two runs, taken from both in turn,
// each as the pixels of its run from its first on; then none.
class EdgePairs {
public:
    EdgePairs(PixelRun first, PixelRun second) : runs_{first, second} {}

    bool done() const { return runs_[0].empty() && runs_[1].empty(); }
    PixelRun take()
    {
        if (runs_[turn_].empty())
            turn_ ^= 1;
        PixelRun& run = runs_[turn_];
        turn_ ^= 1;
        if (run.empty())
            return kNoPixels;
        const PixelRun pair = run;
        run.first += 2;
        return pair;
    }

private:
    std::array<PixelRun, 2> runs_;
    std::size_t turn_ = 0;
};

// The smoothed pixels of a row of a piece by a disc or the wedge, or with
// a neighbour near: four at a time, two pairs of neighbouring pixels side
// by side. There a pixel's distance takes a root, or the neighbours' as
// well, which the lanes share, and a loop over an edge's pixel or two
// would end in a branch mispredicted as often as not. The pairs are taken
// in turn from both edges, so that a long edge, as along the top of a
// level piece or a cap, does not go on alone beside one used up. Each
// pixel is laid down by the piece nearest to it, of this one and the
// neighbours that come near the row; the one before wins a tie, for a
// piece after another leaves the disc at its start to it. A pair reaching
// past its edge writes the pixel outside back as it was; it starts early
// enough to end by the right of the columns.
class EdgeRow {
public:
    EdgeRow(QRgb* row, double centreY, double outer, QRgb pixel, int left, int right, const Segment* previous,
            const Segment* next)
        : row_(row), centreY_(centreY), outer_(_mm_set1_pd(outer)), pixel_(_mm_set1_epi32(static_cast<int>(pixel))),
          left_(left), lastStart_(std::max(left, right - 1)), oneColumn_(left == right), previous_(previous),
          next_(next)
    {
    }

    // The edges of the row's runs, at the distances distances gives a pair of columns.
    template <typename Distances> void blend(const RowRuns& runs, Distances distances) const
    {
        EdgePairs pairs =
            runs.edgesOnly() ? EdgePairs(runs.covered, kNoPixels) : EdgePairs(runs.leftEdge(), runs.rightEdge());
        while (!pairs.done()) {
            const PixelRun one = pairs.take();
            blendPairs(one, pairs.take(), distances);
        }
    }

    // The distances of a pair of pixels and their squares, which a
    // neighbour's are held against: the square of a root is not always
    // what it was the root of, and ties at a join must fall as they do for
    // a neighbour measured the same way.
    struct PairDistances {
        __m128d distances;
        __m128d squares;
    };

    // Distances along the band: from its line, without a root.
    static auto alongBand(AcrossRow across)
    {
        return [offset = _mm_set1_pd(across.offset), step = _mm_set1_pd(across.step)](__m128d columns) {
            const __m128d distances = _mm_andnot_pd(_mm_set1_pd(-0.0), _mm_sub_pd(offset, _mm_mul_pd(columns, step)));
            return PairDistances{distances, _mm_mul_pd(distances, distances)};
        };
    }
    // Distances by a disc or the wedge: from the whole segment.
    auto nearSegment(const Segment& own) const
    {
        return [&own, y = centreY_](__m128d columns) {
            const __m128d squares = own.squaredDistances(_mm_add_pd(columns, _mm_set1_pd(0.5)), y);
            return PairDistances{_mm_sqrt_pd(squares), squares};
        };
    }

private:
    // The pair of pixels from the start of each run, where they are in it:
    // the first in the low lanes, the second in the high ones. Two pairs
    // overlap only where one of them starts past the last pair of the
    // columns, or has no pixel at all: that one is stored first, for the
    // other to hold every pixel it changes.
    template <typename Distances> void blendPairs(PixelRun left, PixelRun right, Distances distances) const
    {
        const int leftStart = start(left.first);
        const int rightStart = start(right.first);
        const __m128d leftColumns = columnPair(leftStart);
        const __m128d rightColumns = columnPair(rightStart);
        const PairDistances leftDistances = distances(leftColumns);
        const PairDistances rightDistances = distances(rightColumns);
        const __m128i lanes = _mm_setr_epi32(leftStart, leftStart + 1, rightStart, rightStart + 1);
        const __m128i firsts = _mm_setr_epi32(left.first, left.first, right.first, right.first);
        const __m128i lasts = _mm_setr_epi32(left.last, left.last, right.last, right.last);
        __m128i kept = _mm_or_si128(_mm_cmplt_epi32(lanes, firsts), _mm_cmpgt_epi32(lanes, lasts));
        if (previous_ || next_)
            kept = _mm_or_si128(kept, _mm_packs_epi32(_mm_castpd_si128(nearerNeighbour(leftColumns, leftDistances)),
                                                      _mm_castpd_si128(nearerNeighbour(rightColumns, rightDistances))));
        QRgb* leftPixels = row_ + leftStart;
        QRgb* rightPixels = row_ + rightStart;
        const __m128i under = _mm_unpacklo_epi64(load(leftPixels), load(rightPixels));
        const __m128i coverages = _mm_unpacklo_epi64(coveragesOf(_mm_sub_pd(outer_, leftDistances.distances)),
                                                     coveragesOf(_mm_sub_pd(outer_, rightDistances.distances)));
        const __m128i mixed = mixOpaqueFour(pixel_, under, coverages);
        const __m128i result = _mm_or_si128(_mm_and_si128(kept, under), _mm_andnot_si128(kept, mixed));
        if (left.first > right.first) {
            store(leftPixels, result);
            store(rightPixels, _mm_unpackhi_epi64(result, result));
        } else {
            store(rightPixels, _mm_unpackhi_epi64(result, result));
            store(leftPixels, result);
        }
    }

    int start(int first) const { return std::max(left_, std::min(first, lastStart_)); }
    // A pair of pixels, or in columns one wide the one of them there is.
    __m128i load(const QRgb* at) const
    {
        return oneColumn_ ? _mm_cvtsi32_si128(static_cast<int>(*at))
                          : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(at));
    }
    void store(QRgb* at, __m128i pixels) const
    {
        if (oneColumn_)
            *at = static_cast<QRgb>(_mm_cvtsi128_si32(pixels));
        else
            _mm_storel_epi64(reinterpret_cast<__m128i*>(at), pixels);
    }
    static __m128d columnPair(int x) { return _mm_add_pd(_mm_set1_pd(x), _mm_setr_pd(0, 1)); }

    // The coverages 0..255 of two pixels by an edge the given shares of a
    // pixel beyond their centres, in the low 32-bit lanes.
    static __m128i coveragesOf(__m128d shares)
    {
        const __m128d share = _mm_min_pd(_mm_max_pd(shares, _mm_setzero_pd()), _mm_set1_pd(1));
        // Positive, where adding a half before the truncation rounds right.
        return _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(share, _mm_set1_pd(255)), _mm_set1_pd(0.5)));
    }

    // The lanes of the pair whose pixels a neighbour is nearer to.
    __m128d nearerNeighbour(__m128d columns, const PairDistances& distances) const
    {
        const __m128d centres = _mm_add_pd(columns, _mm_set1_pd(0.5));
        const __m128d squared = distances.squares;
        __m128d nearer = _mm_setzero_pd();
        if (previous_)
            nearer = _mm_or_pd(nearer, _mm_cmple_pd(previous_->squaredDistances(centres, centreY_), squared));
        if (next_)
            nearer = _mm_or_pd(nearer, _mm_cmplt_pd(next_->squaredDistances(centres, centreY_), squared));
        return nearer;
    }

    QRgb* row_;
    double centreY_;
    __m128d outer_;
    __m128i pixel_;
    int left_;
    int lastStart_;
    bool oneColumn_;
    const Segment* previous_;
    const Segment* next_;
};

// The edges of a row of the band alone, no neighbour near, a pixel at a
// time at its distance from the line: so cheap a distance that EdgeRow's
// pairs cost more than they save.
void blendAlongBand(QRgb* row, const RowRuns& runs, AcrossRow across, double outer, QRgb pixel)
{
    const auto blend = [&](PixelRun run) {
        for (int x = run.first; x <= run.last; ++x)
            row[x] = mixOpaque(pixel, row[x], coverageOf(outer - across.distance(x)));
    };
    if (runs.edgesOnly()) {
        blend(runs.covered);
        return;
    }
    blend(runs.leftEdge());
    blend(runs.rightEdge());
}

// The whole pixels of a row of a piece, but for its hole.
void fillSolid(QRgb* row, const RowRuns& runs, QRgb pixel)
{
    if (runs.hole.empty()) {
        fillPixels(row + runs.solid.first, row + runs.solid.last + 1, pixel);
        return;
    }
    fillPixels(row + runs.solid.first, row + runs.hole.first, pixel);
    fillPixels(row + runs.hole.last + 1, row + runs.solid.last + 1, pixel);
}

} // namespace

// A piece of a line and the pieces before and after it, which share its joins.
struct PixelWriter::SegmentNeighbours {
    Segment own;
    std::optional<Segment> previous;
    std::optional<Segment> next;
};

// The distances from a line's middle that matter to its pixels: beyond
// outer nothing is covered, within inner everything is, within hole the
// pixels are left to the line drawn over it (0 or less: none).
struct PixelWriter::StrokeShape {
    double outer;
    double inner;
    double hole;
    QRgb pixel;
};

void PixelWriter::stroke(const QPointF* points, int count, double width, QRgb pixel, double coveredWidth)
{
    strokeSegments(points, count, width, pixel, coveredWidth, false);
}

void PixelWriter::strokeSegments(const QPointF* points, int count, double width, QRgb pixel, double coveredWidth,
                                 bool closed)
{
    if (count < 1 || width <= 0 || bounds_.isEmpty())
        return;
    const double radius = width / 2;
    const StrokeShape shape{radius + 0.5, radius - 0.5, std::min(coveredWidth / 2 - 0.5, radius - 0.5), pixel};
    const QRectF reach = QRectF(bounds_).adjusted(-radius - 1, -radius - 1, radius + 1, radius + 1);
    // A closed ring has a piece from its last point back to its first.
    const int segments = closed ? count : std::max(count - 1, 1);
    const auto end = [&](int i) { return points[closed ? (i + 1) % count : std::min(i + 1, count - 1)]; };
    const auto segment = [&](int i) { return Segment(points[i] + QPointF(shift_), end(i) + QPointF(shift_)); };
    for (int i = 0; i < segments; ++i) {
        QPointF from = points[i] + QPointF(shift_);
        QPointF to = end(i) + QPointF(shift_);
        // What lies far outside is cut off first: the rows below work in whole
        // pixels. Within reach of the frame the cut segment is the whole one.
        if (!clipSegmentToBox(from, to, reach))
            continue;
        const bool first = i == 0;
        const bool last = i + 1 == segments;
        std::optional<Segment> previous;
        if (!first || closed)
            previous = segment(first ? segments - 1 : i - 1);
        std::optional<Segment> next;
        if (!last || closed)
            next = segment(last ? 0 : i + 1);
        coverSegment(from, to, {segment(i), previous, next}, shape);
    }
}

void PixelWriter::coverSegment(QPointF from, QPointF to, const SegmentNeighbours& segments, const StrokeShape& shape)
{
    // A smoothed edge pixel is laid down by the one piece nearest to it, so
    // that at a join it gets the larger share, not both, and the one before
    // wins a tie: a piece after another leaves the disc at its start to it.
    // Whole pixels are written by every piece, which changes nothing the
    // second time. Lines of a city's real streets bend every few pixels,
    // where the discs would be most of what each piece covers.
    // A piece cut short at the frame's reach ends out of sight, not where the next one starts.
    const bool joined = segments.next && segments.next->start() == to;
    const Capsule capsule(from, to, {shape.outer, shape.inner, shape.hole}, !segments.previous.has_value(),
                          joined ? segments.next->direction() : std::nullopt);
    const int top = std::max(bounds_.top(), floorToInt(capsule.top()));
    const int bottom = std::min(bounds_.bottom(), -floorToInt(-capsule.bottom()));
    const Columns columns(bounds_.left(), bounds_.right());
    // On most rows a neighbouring piece is too far away to be nearer to any pixel.
    const auto neighbourOnRow = [&](const std::optional<Segment>& neighbour, double centreY) -> const Segment* {
        return neighbour && neighbour->reachesRow(centreY, shape.outer) ? &*neighbour : nullptr;
    };
    for (int y = top; y <= bottom; ++y) {
        const double centreY = y + 0.5;
        const RowKind kind = capsule.kind(centreY);
        const RowRuns runs = columns.runs(capsule.spans(centreY, kind));
        if (runs.covered.empty())
            continue;
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_);
        const Segment* previous = neighbourOnRow(segments.previous, centreY);
        const Segment* next = neighbourOnRow(segments.next, centreY);
        if (kind != RowKind::Ends && !previous && !next) {
            blendAlongBand(row, runs, capsule.across(centreY), shape.outer, shape.pixel);
        } else {
            const EdgeRow edge(row, centreY, shape.outer, shape.pixel, bounds_.left(), bounds_.right(), previous,
                               next);
            if (kind == RowKind::Ends)
                edge.blend(runs, edge.nearSegment(segments.own));
            else
                edge.blend(runs, EdgeRow::alongBand(capsule.across(centreY)));
        }
        if (!runs.edgesOnly())
            fillSolid(row, runs, shape.pixel);
    }
}
