// Lines meeting end to end chained into one, whichever way each runs and
// wherever it stands in the list; lines that may not join left apart.
#include "LineChains.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The points a chain passes through, from the ends of its lines.
std::vector<QPointF> pathOf(const LineChains& chains, std::size_t chain, const std::vector<LineEnds>& lines)
{
    const int first = chain == 0 ? 0 : chains.ends[chain - 1];
    std::vector<QPointF> path;
    for (int k = first; k < chains.ends[chain]; ++k) {
        const ChainLink& link = chains.links[static_cast<std::size_t>(k)];
        const LineEnds& line = lines[static_cast<std::size_t>(link.line)];
        const QPointF from = link.reversed ? line.last : line.first;
        const QPointF to = link.reversed ? line.first : line.last;
        if (path.empty())
            path.push_back(from);
        EXPECT_EQ(path.back(), from) << "link " << k << " starts where the one before it ended";
        path.push_back(to);
    }
    return path;
}

const auto anyJoin = [](int, int) { return true; };

} // namespace

TEST(LineChains, PiecesInAnyOrderAndDirectionMakeOneLine)
{
    // A street of four pieces along x: stored out of order, two of them backwards.
    const std::vector<LineEnds> lines{{{20, 0}, {10, 0}}, {{30, 0}, {40, 0}}, {{0, 0}, {10, 0}}, {{30, 0}, {20, 0}}};
    const LineChains chains = ChainLines(lines, anyJoin);
    ASSERT_EQ(chains.ends.size(), 1u);
    const std::vector<QPointF> path = pathOf(chains, 0, lines);
    const std::vector<QPointF> along{{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}};
    const std::vector<QPointF> back(along.rbegin(), along.rend());
    EXPECT_TRUE(path == along || path == back);
}

TEST(LineChains, EachLineOnceAndOnlyWithThoseItMayJoin)
{
    // Three pieces meet at the origin; the third may join nothing, and a
    // fourth stands apart.
    const std::vector<LineEnds> lines{
        {{-10, 0}, {0, 0}}, {{0, 0}, {10, 0}}, {{0, 0}, {0, 10}}, {{50, 50}, {60, 50}}};
    const LineChains chains = ChainLines(lines, [](int a, int b) { return a != 2 && b != 2; });
    ASSERT_EQ(chains.ends.size(), 3u);
    EXPECT_EQ(chains.ends.back(), 4) << "every line in exactly one chain";
    EXPECT_EQ(pathOf(chains, 0, lines), (std::vector<QPointF>{{-10, 0}, {0, 0}, {10, 0}}));
    EXPECT_EQ(chains.links[2].line, 2) << "the chains keep the order of their first lines";
    EXPECT_EQ(chains.links[3].line, 3);
}

TEST(LineChains, AClosedLoopEndsWhereItStarted)
{
    const std::vector<LineEnds> lines{{{0, 0}, {10, 0}}, {{10, 10}, {10, 0}}, {{10, 10}, {0, 0}}};
    const LineChains chains = ChainLines(lines, anyJoin);
    ASSERT_EQ(chains.ends.size(), 1u);
    const std::vector<QPointF> path = pathOf(chains, 0, lines);
    ASSERT_EQ(path.size(), 4u);
    EXPECT_EQ(path.front(), path.back());
}

TEST(LineChains, NothingGivesNoChains)
{
    const LineChains chains = ChainLines({}, anyJoin);
    EXPECT_TRUE(chains.links.empty());
    EXPECT_TRUE(chains.ends.empty());
}
