// The fly-to path: its ends, its middle, steady progress, degenerate flights
// and the duration rule.
#include "FlyPath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The length of a short step in the path's own metric.
double stepLength(const FlyView& a, const FlyView& b, double rho)
{
    const double w = (a.width + b.width) / 2;
    const double du = std::hypot(b.x - a.x, b.y - a.y);
    const double dw = b.width - a.width;
    return std::hypot(rho * du / w, dw / (rho * w));
}

} // namespace

TEST(FlyPath, StartsAndEndsExactlyWhereAsked)
{
    const FlyView from{100, 200, 10000};
    const FlyView to{3100, -800, 400};
    const FlyPath path(from, to);
    const FlyView start = path.at(0);
    EXPECT_NEAR(start.x, 100, 1e-9);
    EXPECT_NEAR(start.y, 200, 1e-9);
    EXPECT_NEAR(start.width, 10000, 1e-6);
    const FlyView end = path.at(1);
    EXPECT_DOUBLE_EQ(end.x, 3100);
    EXPECT_DOUBLE_EQ(end.y, -800);
    EXPECT_DOUBLE_EQ(end.width, 400);
    // The formula itself, not only the exact last step, arrives.
    const FlyView almost = path.at(1 - 1e-9);
    EXPECT_NEAR(almost.x, 3100, 1e-3);
    EXPECT_NEAR(almost.y, -800, 1e-3);
    EXPECT_NEAR(almost.width, 400, 1e-3);
    EXPECT_DOUBLE_EQ(path.at(-3).x, start.x); // clamped
    EXPECT_DOUBLE_EQ(path.at(7).width, 400);
}

TEST(FlyPath, ALongPanZoomsOutOnTheWayAndKeepsToTheLine)
{
    const FlyView from{0, 0, 500};
    const FlyView to{20000, 10000, 500};
    const FlyPath path(from, to);
    const FlyView middle = path.at(0.5);
    // Same widths at both ends: the middle is half way and zoomed out.
    EXPECT_NEAR(middle.x, 10000, 1e-6);
    EXPECT_NEAR(middle.y, 5000, 1e-6);
    EXPECT_GT(middle.width, 4 * 500);
    for (double t = 0.05; t < 1; t += 0.05) {
        const FlyView view = path.at(t);
        EXPECT_NEAR(view.y, view.x / 2, 1e-6);
    }
}

TEST(FlyPath, ProgressIsSteadyInThePathsMetric)
{
    const double rho = std::sqrt(2.0);
    const FlyPath path({0, 0, 12000}, {4000, 2500, 430}, rho);
    const int steps = 400;
    const double expected = path.length() / steps;
    FlyView previous = path.at(0);
    double walked = 0;
    for (int i = 1; i <= steps; ++i) {
        const FlyView next = path.at(double(i) / steps);
        const double step = stepLength(previous, next, rho);
        EXPECT_NEAR(step, expected, expected * 0.01) << "step " << i;
        walked += step;
        previous = next;
    }
    EXPECT_NEAR(walked, path.length(), path.length() * 0.001);
}

TEST(FlyPath, SameCentreIsAPureZoom)
{
    const FlyPath path({500, 500, 8000}, {500, 500, 500});
    EXPECT_NEAR(path.length(), std::log(16.0) / std::sqrt(2.0), 1e-12);
    const FlyView middle = path.at(0.5);
    EXPECT_DOUBLE_EQ(middle.x, 500);
    EXPECT_DOUBLE_EQ(middle.y, 500);
    EXPECT_NEAR(middle.width, 2000, 1e-6); // half way in log scale
    EXPECT_GT(path.at(0.25).width, path.at(0.75).width);
}

TEST(FlyPath, SameViewIsNoFlight)
{
    const FlyPath path({10, 20, 300}, {10, 20, 300});
    EXPECT_EQ(path.length(), 0);
    EXPECT_DOUBLE_EQ(path.at(0.5).width, 300);
    EXPECT_EQ(flyDurationSeconds(path.length(), 30), 0);
}

TEST(FlyPath, SameScaleWithAShortPanStaysSteady)
{
    const FlyPath path({0, 0, 1000}, {10, 0, 1000});
    const FlyView middle = path.at(0.5);
    EXPECT_NEAR(middle.x, 5, 1e-9);
    EXPECT_GE(middle.width, 1000);
    EXPECT_LT(middle.width, 1001);
}

TEST(FlyPath, DurationGrowsWithLengthAndShrinksWithPace)
{
    EXPECT_LT(flyDurationSeconds(1, 30), flyDurationSeconds(3, 30));
    EXPECT_GT(flyDurationSeconds(3, 15), flyDurationSeconds(3, 30));
    EXPECT_GT(flyDurationSeconds(3, 0), 0); // a pace of zero still arrives
    EXPECT_LE(flyDurationSeconds(1000, 1), 6);
}
