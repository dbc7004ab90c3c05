// The view: pixel to map round trips, zoom about a point, centring.
#include "Viewport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr double kTolerance = 1e-6;

void expectNear(QPointF actual, QPointF expected, double tolerance = kTolerance)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance);
    EXPECT_NEAR(actual.y(), expected.y(), tolerance);
}
} // namespace

TEST(Viewport, TopLeftPixelShowsTheWindowOffsetAndYGrowsNorth)
{
    Viewport view;
    view.SetScale(2160); // one pixel per metre
    view.SetXWind(1000);
    view.SetYWind(5000);
    expectNear(view.pixelToMap({0, 0}), {1000, 5000});
    expectNear(view.pixelToMap({10, 20}), {1010, 4980});
    expectNear(view.mapToPixel(1010, 4980), {10, 20});
    view.SetXWind(1003);
    expectNear(view.pixelToMap({10, 20}), {1013, 4980});
}

TEST(Viewport, PixelToMapRoundTripsAtEveryScale)
{
    Viewport view;
    view.setSize({1920, 1080});
    for (double scale : {0.5, 216.0, 500.0, 1000.0, 3000.0, 5000.0, 47000.0}) {
        view.SetScale(scale);
        view.SetXWind(-1234.5);
        view.SetYWind(9876.25);
        for (QPointF pixel : {QPointF(0, 0), QPointF(1919.5, 1079.5), QPointF(-40, 2000), QPointF(960, 540)}) {
            const QPointF map = view.pixelToMap(pixel);
            expectNear(view.mapToPixel(map.x(), map.y()), pixel, 1e-6 * std::max(1.0, scale));
        }
    }
}

TEST(Viewport, ScaleSemanticsMatchTheDemoEditions)
{
    Viewport view;
    view.setSize({1000, 1000});
    view.SetScale(216);
    EXPECT_NEAR(view.visibleMapRect().width(), 10000, 1e-6); // a 10 km city
    view.SetScale(5000);
    EXPECT_NEAR(view.visibleMapRect().width(), 432, 1e-6); // a few blocks
}

TEST(Viewport, ZoomAboutAPixelKeepsItsMapPoint)
{
    Viewport view;
    view.setSize({800, 600});
    view.centreOn(2500, 3500, 1000);
    const QPointF pixel(123, 456);
    const QPointF before = view.pixelToMap(pixel);
    view.SetScaleAbout(3000, pixel);
    EXPECT_DOUBLE_EQ(view.GetScale(), 3000);
    expectNear(view.pixelToMap(pixel), before, 1e-6);
    view.SetScaleAbout(250, pixel);
    expectNear(view.pixelToMap(pixel), before, 1e-6);
}

TEST(Viewport, CentreAndVisibleRectAgree)
{
    Viewport view;
    view.setSize({1000, 500});
    view.centreOn(100, 200, 2160);
    expectNear(view.centre(), {100, 200});
    EXPECT_EQ(view.visibleMapRect(), QRectF(-400, -50, 1000, 500));
    expectNear(view.pixelToMap({0, 0}), {-400, 450});
}

TEST(Viewport, ScaleNeverReachesZero)
{
    Viewport view;
    for (double bad : {0.0, -5.0, std::nan("")}) {
        view.SetScale(bad);
        EXPECT_GT(view.GetScale(), 0);
        EXPECT_TRUE(std::isfinite(view.pixelToMap({10, 10}).x()));
    }
}
