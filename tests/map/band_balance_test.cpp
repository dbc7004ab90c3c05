// Bands cut where the work of the frame before lies, for threads that
// start at different times to end together.
#include "BandBalance.h"

#include <gtest/gtest.h>

#include <vector>

TEST(BandBalance, EqualBandsUntilAFrameOfTheSameRowsIsKnown)
{
    BandBalance balance;
    EXPECT_EQ(balance.cuts(10, 1000, 2), (std::vector<int>{10, 510, 1010}));
    balance.learn({10, 510, 1010}, {{0, 3}, {0, 1}});
    EXPECT_EQ(balance.cuts(0, 1000, 2), (std::vector<int>{0, 500, 1000})) << "other rows";
    EXPECT_EQ(balance.cuts(10, 1000, 3), (std::vector<int>{10, 343, 676, 1010})) << "other bands";
    EXPECT_EQ(balance.cuts(10, 1000, 1), (std::vector<int>{10, 1010}));
}

TEST(BandBalance, TheCutMovesTowardsTheBandThatTookLonger)
{
    BandBalance balance;
    // The top half took three times as long as the bottom one: the work is
    // evenly split a third of the way down, and the cut goes half way there.
    balance.learn({0, 600, 1200}, {{0, 3}, {0, 1}});
    const std::vector<int> first = balance.cuts(0, 1200, 2);
    EXPECT_EQ(first, (std::vector<int>{0, 500, 1200}));
    // Once the bands take as long, the cut stays.
    balance.learn(first, {{0, 2}, {0, 2}});
    EXPECT_EQ(balance.cuts(0, 1200, 2), first);
}

TEST(BandBalance, AThreadThatStartsLaterGetsLessToDo)
{
    BandBalance balance;
    // Even work, but the last band's thread starts 2 of 10 units late:
    // ending together, it draws 4 of 10 (cut at 600), and the cut moves half way.
    balance.learn({0, 500, 1000}, {{0, 5}, {2, 5}});
    EXPECT_EQ(balance.cuts(0, 1000, 2), (std::vector<int>{0, 550, 1000}));
}

TEST(BandBalance, EveryBandKeepsARow)
{
    BandBalance balance;
    // All the work in the first of three rows.
    balance.learn({0, 1, 2, 3}, {{0, 9}, {0, 0}, {0, 0}});
    const std::vector<int> cuts = balance.cuts(0, 3, 3);
    ASSERT_EQ(cuts.size(), 4u);
    for (std::size_t band = 0; band + 1 < cuts.size(); ++band)
        EXPECT_LT(cuts[band], cuts[band + 1]);
    balance.learn({0, 1, 2, 3}, {{0, 0}, {0, 0}, {0, 0}});
    EXPECT_EQ(balance.cuts(0, 3, 3), (std::vector<int>{0, 1, 2, 3})) << "no work known: equal bands";
}
