// A map object's icon note, kept on the heap: copies of an object are
// independent, and objects compare by the note's presence and contents.
#include "MapObject.h"

#include <gtest/gtest.h>

#include <utility>

TEST(MapObjectIconNote, CopiesAreIndependentAndCompareByContents)
{
    TPMXMapObjectMem label;
    label.ObjType = otLabel;
    label.Zametka = TPMXMapZametka{10, 20, "ICONS.LIB", "OK.BMP"};

    TPMXMapObjectMem copy = label;
    ASSERT_TRUE(copy.Zametka.has_value());
    EXPECT_EQ(copy, label);
    copy.Zametka->IconName = "STOP.BMP";
    EXPECT_EQ(label.Zametka->IconName, "OK.BMP");
    EXPECT_NE(copy, label);

    copy = label;
    EXPECT_EQ(copy, label);
    const TPMXMapObjectMem& same = copy;
    copy = same;
    EXPECT_EQ(copy.Zametka->IconName, "OK.BMP");

    TPMXMapObjectMem moved = std::move(copy);
    EXPECT_EQ(moved, label);

    moved.Zametka.reset();
    EXPECT_FALSE(moved.Zametka);
    EXPECT_NE(moved, label);
    EXPECT_EQ(moved, TPMXMapObjectMem{.ObjType = otLabel});
}
