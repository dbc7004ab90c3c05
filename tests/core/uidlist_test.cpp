#include "Uidlist.h"

#include <gtest/gtest.h>

TEST(TIDList, AddAppendsAnUnsetFlagAndLeavesValuesAlone) {
    TIDList list;
    list.Add(7);
    list.Add(-3);
    EXPECT_EQ(list.IDs, (std::vector<std::int32_t>{7, -3}));
    EXPECT_EQ(list.Flags, (std::vector<bool>{false, false}));
    EXPECT_TRUE(list.Values.empty());
}

TEST(TIDList, FindItemIndexGivesTheFirstMatchOrMinusOne) {
    TIDList list;
    list.Add(7);
    list.Add(7);
    list.Add(9);
    EXPECT_EQ(list.FindItemIndex(7), 0);
    EXPECT_EQ(list.FindItemIndex(9), 2);
    EXPECT_EQ(list.FindItemIndex(8), -1);
    EXPECT_EQ(TIDList().FindItemIndex(0), -1);
}

TEST(TIDList, DeleteIgnoresPositionsOutsideTheList) {
    TIDList list;
    list.Add(5);
    list.Delete(1);
    list.Delete(-1);
    EXPECT_EQ(list.IDs, (std::vector<std::int32_t>{5}));
    list.Delete(0);
    EXPECT_TRUE(list.IDs.empty());
    EXPECT_TRUE(list.Flags.empty());
}

TEST(TIDList, DeleteKeepsFlagsAndValuesParallelToTheIdentifiers) {
    TIDList list;
    for (std::int32_t id : {10, 20, 30})
        list.Add(id);
    list.Values = {100, 200, 300};
    list.Flags[2] = true;
    list.Delete(1);
    EXPECT_EQ(list.IDs, (std::vector<std::int32_t>{10, 30}));
    EXPECT_EQ(list.Values, (std::vector<std::int32_t>{100, 300}));
    EXPECT_EQ(list.Flags, (std::vector<bool>{false, true}));
}

TEST(TIDList, DeleteWithShortValuesLeavesThemAsTheCallerSizedThem) {
    TIDList list;
    for (std::int32_t id : {1, 2, 3})
        list.Add(id);
    list.Values = {11};
    list.Delete(2);
    EXPECT_EQ(list.IDs, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(list.Values, (std::vector<std::int32_t>{11}));
}

TEST(TIDList, ClearAndFreeEmptiesAllThreeArrays) {
    TIDList list;
    list.Add(1);
    list.Values = {4};
    list.ClearAndFree();
    EXPECT_TRUE(list.IDs.empty());
    EXPECT_TRUE(list.Values.empty());
    EXPECT_TRUE(list.Flags.empty());
    list.Add(2);
    EXPECT_EQ(list.FindItemIndex(2), 0);
}

TEST(TFavorites, GetFavoriteStrListsTheIdentifiersInOrder) {
    TFavorites favorites;
    favorites.Add(5);
    favorites.Add(17);
    EXPECT_EQ(favorites.GetFavoriteStr(), "(5,17)");
    EXPECT_EQ(favorites.FavoriteStr, "(5,17)");

    TFavorites single;
    single.Add(42);
    EXPECT_EQ(single.GetFavoriteStr(), "(42)");

    TFavorites repeated;
    repeated.Add(3);
    repeated.Add(3);
    repeated.Add(-8);
    EXPECT_EQ(repeated.GetFavoriteStr(), "(3,3,-8)");
}

TEST(TFavorites, AnEmptyListGivesZeroAndKeepsTheLastText) {
    TFavorites favorites;
    EXPECT_EQ(favorites.GetFavoriteStr(), "(0)");
    EXPECT_EQ(favorites.FavoriteStr, "");

    favorites.Add(9);
    favorites.GetFavoriteStr();
    favorites.Delete(0);
    EXPECT_EQ(favorites.GetFavoriteStr(), "(0)");
    EXPECT_EQ(favorites.FavoriteStr, "(9)");
}

TEST(TFavorites, ClearAndFreeForgetsIdentifiersAndText) {
    TFavorites favorites;
    favorites.Add(1);
    favorites.Add(2);
    favorites.GetFavoriteStr();
    favorites.ClearAndFree();
    EXPECT_TRUE(favorites.IDs.empty());
    EXPECT_EQ(favorites.FavoriteStr, "");
    EXPECT_EQ(favorites.GetFavoriteStr(), "(0)");
}

TEST(TFavorites, DeleteMovesTheFollowingEntriesDownAndIgnoresBadPositions) {
    TFavorites favorites;
    for (std::int32_t id : {4, 5, 6})
        favorites.Add(id);
    favorites.Delete(3);
    favorites.Delete(-2);
    favorites.Delete(0);
    EXPECT_EQ(favorites.GetFavoriteStr(), "(5,6)");
}

TEST(TListUpdates, AddKeepsTheRecordsInOrderWithTheirArguments) {
    TListUpdates updates;
    EXPECT_EQ(updates.Count(), 0);
    updates.Add("a.bpl", "1.0", "http://x", 7);
    updates.Add("b.dll", "", "", -1);
    ASSERT_EQ(updates.Count(), 2);
    EXPECT_EQ(updates.Items[0]->Text1, "a.bpl");
    EXPECT_EQ(updates.Items[0]->Text2, "1.0");
    EXPECT_EQ(updates.Items[0]->Text3, "http://x");
    EXPECT_EQ(updates.Items[0]->Number, 7);
    EXPECT_EQ(updates.Items[1]->Text1, "b.dll");
    EXPECT_EQ(updates.Items[1]->Number, -1);
}
