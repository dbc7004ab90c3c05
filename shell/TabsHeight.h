// The heights of the directory panel's pages: each page keeps the height the
// user gave its area, in the per-user registry under RegTabsHeight + index.
#pragma once

#include <array>
#include <string>

inline constexpr int kTabsCount = 6;
using TTabsHeights = std::array<int, kTabsCount>;

// Categories, favorites, search, house search, building, diary.
inline constexpr TTabsHeights kDesignTabsHeights{250, 10, 160, 120, 50, 0};
// The least height the user can drag the page area to.
inline constexpr int kSplitterMinSize = 10;
// A stored height beyond this is not a height a screen can show.
inline constexpr int kLargestTabsHeight = 32767;

// `heights` with every page whose value RegTabsHeight + i is stored replaced
// by that value (cut to 0..kLargestTabsHeight).
TTabsHeights LoadTabsHeights(const std::string& regTabsHeight, TTabsHeights heights);
// Deletes the key RegTabsHeight names, then writes every page's height.
void SaveTabsHeights(const std::string& regTabsHeight, const TTabsHeights& heights);
// The page area's height after the user moved the splitter to `dragged`.
int PageAreaHeightAfterMove(int dragged);
