// Edge snapping: a window left within 10 pixels of an edge of the work area
// comes to rest flush with it.
#include "EdgeSnap.h"

#include <gtest/gtest.h>

namespace {

const QRect kWorkArea(0, 30, 1600, 940); // a task bar of 30 pixels on top

QPoint snapped(int x, int y, int width = 800, int height = 600) {
    return lip(kWorkArea, QRect(x, y, width, height));
}

} // namespace

TEST(EdgeSnap, SevenPixelsFromAnEdgeSnapsElevenDoNot) {
    EXPECT_EQ(snapped(7, 200), QPoint(0, 200));
    EXPECT_EQ(snapped(11, 200), QPoint(11, 200));
    EXPECT_EQ(snapped(-7, 200), QPoint(0, 200)) << "partly beyond the edge counts too";
    EXPECT_EQ(snapped(300, 37), QPoint(300, 30));
    EXPECT_EQ(snapped(300, 41), QPoint(300, 41));
    EXPECT_EQ(snapped(1600 - 800 - 7, 200), QPoint(800, 200));
    EXPECT_EQ(snapped(1600 - 800 - 11, 200), QPoint(789, 200));
    EXPECT_EQ(snapped(300, 970 - 600 + 7), QPoint(300, 370));
    EXPECT_EQ(snapped(300, 970 - 600 - 11), QPoint(300, 359));
}

TEST(EdgeSnap, TenPixelsIsStillNear) {
    EXPECT_EQ(snapped(10, 200), QPoint(0, 200));
    EXPECT_EQ(snapped(300, 40), QPoint(300, 30));
}

TEST(EdgeSnap, RightAndBottomSeeWhatLeftAndTopLeft) {
    // As wide as the area: snapping to the left puts the right edge on the
    // area's right too, so the right test keeps it there.
    EXPECT_EQ(snapped(8, 200, 1600, 600), QPoint(0, 200));
    // Eight pixels narrower: the left snap to 0 lies 8 from the right
    // position, and the right test moves it on to the right edge.
    EXPECT_EQ(snapped(5, 200, 1592, 600), QPoint(8, 200));
    EXPECT_EQ(snapped(300, 34, 800, 932), QPoint(300, 38));
}

TEST(EdgeSnap, AWindowFarFromEveryEdgeStays) {
    EXPECT_EQ(snapped(400, 200), QPoint(400, 200));
}
