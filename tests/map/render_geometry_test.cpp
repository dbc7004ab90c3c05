// The pixel geometry of frames: the transform against the view's own,
// simplification, straight stretches for names, and the label placer
// checked against a plain scan over random boxes.
#include "LabelPlacer.h"
#include "RenderGeometry.h"

#include <gtest/gtest.h>

#include <random>

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
