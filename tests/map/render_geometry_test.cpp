// The pixel geometry of frames: the transform against the view's own,
// simplification, straight stretches for names, and the label placer
// checked against a plain scan over random boxes.
#include "LabelPlacer.h"
#include "RenderGeometry.h"

#include <gtest/gtest.h>

#include <QLineF>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

TEST(RenderGeometry, TransformAgreesWithTheViewAndShiftsByTheOrigin)
{
    Viewport view;
    view.setSize(QSize(800, 600));
    view.centreOn(1234.5, -987.25, 3100);
    const PixelTransform transform(view, QPointF(10, 20));
    for (const QPointF point : {QPointF(1234.5, -987.25), QPointF(1000, -1100), QPointF(1400, -900)}) {
        const QPointF expected = view.mapToPixel(point.x(), point.y()) + QPointF(10, 20);
        const QPointF actual = transform.toPixel(point.x(), point.y());
        EXPECT_NEAR(actual.x(), expected.x(), 1e-6);
        EXPECT_NEAR(actual.y(), expected.y(), 1e-6);
    }
    const QRectF pixels(10, 20, 800, 600);
    const QRectF map = transform.toMap(pixels);
    const QRectF visible = view.visibleMapRect();
    EXPECT_NEAR(map.left(), visible.left(), 1e-6);
    EXPECT_NEAR(map.top(), visible.top(), 1e-6);
    EXPECT_NEAR(map.width(), visible.width(), 1e-6);
    EXPECT_NEAR(map.height(), visible.height(), 1e-6);
    const QRectF back = transform.toPixel(map);
    EXPECT_NEAR(back.left(), 10, 1e-6);
    EXPECT_NEAR(back.bottom(), 620, 1e-6);
}

TEST(RenderGeometry, SimplificationDropsNearPointsButKeepsBothEnds)
{
    Viewport view;
    view.setSize(QSize(100, 100));
    view.centreOn(0, 0, 2160); // one pixel per metre
    const PixelTransform transform(view, QPointF());
    const std::vector<MapPoint> points{{0, 0}, {0.2f, 0}, {0.4f, 0}, {5, 0}, {5.1f, 0}, {5.2f, 0}};
    QPolygonF out;
    projectSimplified(points, transform, 1.0, out);
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out.front(), transform.toPixel(0, 0));
    EXPECT_EQ(out[1], transform.toPixel(5, 0));
    EXPECT_EQ(out.back(), transform.toPixel(points.back()));
    projectSimplified({}, transform, 1.0, out);
    EXPECT_TRUE(out.isEmpty());
    projectSimplified({{3, 3}}, transform, 1.0, out);
    EXPECT_EQ(out.size(), 1);
}

TEST(RenderGeometry, LongestStraightStretchFollowsTheLongerLegOfABend)
{
    const QPolygonF bent({QPointF(0, 0), QPointF(50, 0), QPointF(100, 1), QPointF(100, 40)});
    const LineStretch stretch = longestStraightStretch(bent, 20);
    EXPECT_EQ(stretch.start, QPointF(0, 0));
    EXPECT_EQ(stretch.end, QPointF(100, 1));
    const LineStretch up = longestStraightStretch(QPolygonF({QPointF(0, 0), QPointF(0, -80)}), 20);
    EXPECT_NEAR(up.angleDegrees(), -90, 1e-9);
    EXPECT_EQ(longestStraightStretch(QPolygonF(), 20).length(), 0);
    const QPolygonF zigzag({QPointF(0, 0), QPointF(10, 10), QPointF(20, 0), QPointF(30, 10)});
    EXPECT_NEAR(longestStraightStretch(zigzag, 20).length(), std::sqrt(200.0), 1e-9);
}

TEST(LabelPlacer, AgreesWithAPlainScanOnRandomBoxes)
{
    const QRectF area(0, 0, 1000, 700);
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> position(-50, 1000);
    std::uniform_real_distribution<double> extent(1, 120);
    LabelPlacer placer(area, 48);
    std::vector<QRectF> kept;
    for (int i = 0; i < 3000; ++i) {
        const QRectF box(position(random), position(random), extent(random), extent(random) / 3);
        const bool expected = area.contains(box) && std::none_of(kept.begin(), kept.end(), [&](const QRectF& other) {
                                  return other.intersects(box);
                              });
        ASSERT_EQ(placer.tryPlace(box), expected) << "box " << i;
        if (expected)
            kept.push_back(box);
    }
    EXPECT_EQ(placer.placedCount(), static_cast<int>(kept.size()));
    EXPECT_GT(kept.size(), 20u);
}

TEST(LabelPlacer, PlacesBentTextsWholeOrNotAtAll)
{
    LabelPlacer placer(QRectF(0, 0, 200, 200));
    ASSERT_TRUE(placer.tryPlace(QRectF(50, 50, 10, 10)));
    const std::vector<QRectF> blocked{QRectF(10, 50, 10, 10), QRectF(45, 45, 10, 10)};
    EXPECT_FALSE(placer.tryPlace(blocked));
    EXPECT_TRUE(placer.isFree(QRectF(10, 50, 10, 10))) << "nothing of a refused text stays";
    EXPECT_TRUE(placer.tryPlace(std::vector<QRectF>{QRectF(10, 50, 10, 10), QRectF(20, 52, 10, 10)}));
    EXPECT_EQ(placer.placedCount(), 3);
}

TEST(RenderGeometry, KeptFrameMovedPutsEveryMapPointOnItsPixelOfTheNewView)
{
    Viewport kept;
    kept.setSize(QSize(640, 480));
    kept.centreOn(500, 300, 2000);
    Viewport now = kept;
    now.SetScaleAbout(3100, QPointF(100, 400));
    now.SetXWind(now.GetXWind() + 37.5);
    now.SetYWind(now.GetYWind() - 12.25);
    const QRectF target = keptFrameTarget(kept, now);
    const double zoom = target.width() / kept.size().width();
    EXPECT_NEAR(target.height() / kept.size().height(), zoom, 1e-12);
    for (const QPointF map : {QPointF(500, 300), QPointF(420, 350), QPointF(610, 210)}) {
        const QPointF keptPixel = kept.mapToPixel(map.x(), map.y());
        const QPointF shown = target.topLeft() + keptPixel * zoom;
        const QPointF expected = now.mapToPixel(map.x(), map.y());
        EXPECT_NEAR(shown.x(), expected.x(), 1e-6);
        EXPECT_NEAR(shown.y(), expected.y(), 1e-6);
    }
    const QRectF still = keptFrameTarget(kept, kept);
    EXPECT_EQ(still, QRectF(0, 0, 640, 480));
}

namespace {

// The point at the given arc length along a polyline.
QPointF pointAlong(const std::vector<QPointF>& line, double length)
{
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double segment = QLineF(line[i - 1], line[i]).length();
        if (length <= segment || i + 1 == line.size())
            return segment > 0 ? line[i - 1] + (line[i] - line[i - 1]) * (length / segment) : line[i - 1];
        length -= segment;
    }
    return line.front();
}

double distanceToSegment(QPointF p, QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double squared = QPointF::dotProduct(d, d);
    const double t = squared > 0 ? std::clamp(QPointF::dotProduct(p - a, d) / squared, 0.0, 1.0) : 0.0;
    return QLineF(p, a + d * t).length();
}

} // namespace

TEST(RenderGeometry, ClippedPolylineKeepsExactlyWhatLiesInTheBox)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-300, 700);
    const QRectF box(0, 0, 400, 300);
    for (int round = 0; round < 200; ++round) {
        std::vector<QPointF> line(2 + round % 9);
        for (QPointF& point : line)
            point = QPointF(coordinate(random), coordinate(random));
        std::vector<QPointF> out{QPointF(-1, -1)}; // appended to, not replaced
        std::vector<ClippedPiece> pieces;
        clipPolyline(line.data(), static_cast<int>(line.size()), box, out, pieces);
        ASSERT_EQ(out.front(), QPointF(-1, -1));

        double insideLength = 0;
        for (std::size_t i = 1; i < line.size(); ++i) {
            QPointF a = line[i - 1];
            QPointF b = line[i];
            if (clipSegmentToBox(a, b, box))
                insideLength += QLineF(a, b).length();
        }
        double keptLength = 0;
        for (const ClippedPiece& piece : pieces) {
            ASSERT_GE(piece.count, 2);
            ASSERT_LE(piece.first + static_cast<std::size_t>(piece.count), out.size());
            EXPECT_LT(QLineF(out[piece.first], pointAlong(line, piece.startLength)).length(), 1e-6)
                << "a piece starts where the line is that far along";
            for (int k = 0; k < piece.count; ++k) {
                const QPointF point = out[piece.first + static_cast<std::size_t>(k)];
                EXPECT_TRUE(box.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(point));
                if (k > 0)
                    keptLength += QLineF(out[piece.first + static_cast<std::size_t>(k) - 1], point).length();
            }
        }
        EXPECT_NEAR(keptLength, insideLength, 1e-6) << "round " << round;

        // Every point of the line well inside the box lies on a kept piece.
        for (std::size_t i = 1; i < line.size(); ++i)
            for (int step = 0; step <= 20; ++step) {
                const QPointF sample = line[i - 1] + (line[i] - line[i - 1]) * (step / 20.0);
                if (!box.adjusted(1e-6, 1e-6, -1e-6, -1e-6).contains(sample))
                    continue;
                double nearest = 1e9;
                for (const ClippedPiece& piece : pieces)
                    for (int k = 1; k < piece.count; ++k)
                        nearest = std::min(nearest, distanceToSegment(sample, out[piece.first + k - 1],
                                                                      out[piece.first + k]));
                EXPECT_LT(nearest, 1e-6) << "round " << round;
            }
    }
}

TEST(RenderGeometry, ClippedPolylineGoesOnThroughTheBoxAsOnePieceAndSplitsWhereItLeaves)
{
    const QRectF box(0, 0, 100, 100);
    // In, out across the right edge, back in: two pieces, the joints inside kept exactly.
    const std::vector<QPointF> line{QPointF(-50, 50), QPointF(30, 50), QPointF(60, 40), QPointF(200, 40),
                                    QPointF(200, 60), QPointF(50, 60)};
    std::vector<QPointF> out;
    std::vector<ClippedPiece> pieces;
    clipPolyline(line.data(), static_cast<int>(line.size()), box, out, pieces);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].count, 4);
    EXPECT_EQ(out[0], QPointF(0, 50));
    EXPECT_EQ(out[1], QPointF(30, 50));
    EXPECT_EQ(out[2], QPointF(60, 40));
    EXPECT_EQ(out[3], QPointF(100, 40));
    EXPECT_DOUBLE_EQ(pieces[0].startLength, 50);
    EXPECT_EQ(pieces[1].count, 2);
    EXPECT_EQ(out[pieces[1].first], QPointF(100, 60));
    EXPECT_EQ(out[pieces[1].first + 1], QPointF(50, 60));
    EXPECT_NEAR(pieces[1].startLength, 80 + QLineF(30, 50, 60, 40).length() + 140 + 20 + 100, 1e-9);

    out.clear();
    pieces.clear();
    const std::vector<QPointF> outside{QPointF(-10, -10), QPointF(-10, 200), QPointF(-5, 300)};
    clipPolyline(outside.data(), static_cast<int>(outside.size()), box, out, pieces);
    EXPECT_TRUE(pieces.empty());
    EXPECT_TRUE(out.empty());
}

TEST(RenderGeometry, ClippedRingFillsTheSamePointsOfTheBoxAsTheWholeOne)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> coordinate(-200, 600);
    const QRectF box(0, 0, 400, 300);
    for (int round = 0; round < 100; ++round) {
        // Star-shaped rings, often concave, reaching out of the box on any side.
        const int corners = 3 + round % 12;
        const QPointF centre(coordinate(random), coordinate(random));
        QPolygonF ring;
        for (int k = 0; k < corners; ++k) {
            const double angle = 2 * M_PI * k / corners;
            const double radius = 30 + (coordinate(random) + 200) / 2;
            ring.append(centre + QPointF(std::cos(angle), std::sin(angle)) * radius);
        }
        QPolygonF clipped;
        clipRing(ring, box, clipped);
        for (const QPointF& point : clipped)
            EXPECT_TRUE(box.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(point));
        // Off-grid sample points, so that none falls on an edge.
        for (double x = 0.37; x < box.right(); x += 9.1)
            for (double y = 0.53; y < box.bottom(); y += 8.3) {
                const QPointF sample(x, y);
                ASSERT_EQ(clipped.containsPoint(sample, Qt::WindingFill), ring.containsPoint(sample, Qt::WindingFill))
                    << "round " << round << " at " << x << ", " << y;
            }
    }
    QPolygonF clipped{QPointF(1, 1)};
    clipRing(QPolygonF({QPointF(-50, -50), QPointF(-10, -50), QPointF(-10, -10)}), box, clipped);
    EXPECT_TRUE(clipped.isEmpty()) << "a ring wholly outside leaves nothing";
    const QPolygonF inside({QPointF(10, 10), QPointF(50, 10), QPointF(30, 40)});
    clipRing(inside, box, clipped);
    EXPECT_EQ(clipped, inside);
}

TEST(RenderGeometry, StraightenedLineStaysWithinToleranceOfEveryDroppedPoint)
{
    std::mt19937 random(5);
    std::normal_distribution<double> wobble(0, 0.4);
    std::uniform_real_distribution<double> turn(-0.3, 0.3);
    for (int round = 0; round < 100; ++round) {
        // A winding road of a few hundred points a pixel or two apart.
        QPolygonF line;
        QPointF at(0, 0);
        double heading = 0;
        for (int k = 0; k < 50 + round * 3; ++k) {
            line.append(at + QPointF(wobble(random), wobble(random)));
            heading += turn(random);
            at += QPointF(std::cos(heading), std::sin(heading)) * 1.5;
        }
        QPolygonF straight = line;
        const double tolerance = 0.3;
        simplifyToTolerance(straight, tolerance);
        ASSERT_GE(straight.size(), 2);
        EXPECT_EQ(straight.front(), line.front());
        EXPECT_EQ(straight.back(), line.back());
        EXPECT_LT(straight.size(), line.size()) << "round " << round;
        // The kept points are points of the line, in its order; every point
        // dropped between two kept ones lies within tolerance of the segment
        // joining them.
        qsizetype position = 0;
        for (qsizetype kept = 1; kept < straight.size(); ++kept) {
            const qsizetype from = position;
            while (position < line.size() && line[position] != straight[kept])
                ++position;
            ASSERT_LT(position, line.size());
            for (qsizetype dropped = from + 1; dropped < position; ++dropped)
                EXPECT_LE(distanceToSegment(line[dropped], straight[kept - 1], straight[kept]), tolerance + 1e-9)
                    << "round " << round;
        }
    }
    QPolygonF corner({QPointF(0, 0), QPointF(10, 0.1), QPointF(20, 0), QPointF(20, 20)});
    simplifyToTolerance(corner, 0.3);
    EXPECT_EQ(corner, QPolygonF({QPointF(0, 0), QPointF(20, 0), QPointF(20, 20)})) << "the corner stays";
}
