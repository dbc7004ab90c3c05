#include "TabsHeight.h"

#include "Minireg.h"

#include <algorithm>

TTabsHeights LoadTabsHeights(const std::string& regTabsHeight, TTabsHeights heights) {
    for (int page = 0; page < kTabsCount; ++page) {
        std::uint32_t stored = 0;
        if (RegGetDWORD(HKEY_CURRENT_USER, regTabsHeight + std::to_string(page), stored))
            heights[page] = static_cast<int>(std::min<std::uint32_t>(stored, kLargestTabsHeight));
    }
    return heights;
}

void SaveTabsHeights(const std::string& regTabsHeight, const TTabsHeights& heights) {
    RegDelKey(HKEY_CURRENT_USER, regTabsHeight);
    for (int page = 0; page < kTabsCount; ++page)
        RegSetDWORD(HKEY_CURRENT_USER, regTabsHeight + std::to_string(page),
                    static_cast<std::uint32_t>(std::max(heights[page], 0)));
}

int PageAreaHeightAfterMove(int dragged) {
    return std::max(dragged, kSplitterMinSize);
}
