#include "Favorites.h"

#include "Minireg.h"
#include "Uidlist.h"

void LoadFavorites(TFavorites& favorites, const std::string& valuesPrefix) {
    favorites.ClearAndFree();
    std::uint32_t id = 0;
    for (int n = 1; RegGetDWORD(HKEY_CURRENT_USER, valuesPrefix + std::to_string(n), id); ++n)
        favorites.Add(static_cast<std::int32_t>(id));
    favorites.GetFavoriteStr();
}

void SaveFavorites(const TFavorites& favorites, const std::string& valuesPrefix) {
    RegDelKey(HKEY_CURRENT_USER, valuesPrefix);
    for (std::size_t i = 0; i < favorites.IDs.size(); ++i)
        RegSetDWORD(HKEY_CURRENT_USER, valuesPrefix + std::to_string(i + 1),
                    static_cast<std::uint32_t>(favorites.IDs[i]));
}

bool AddToFavorites(TFavorites& favorites, const TIDList& listedFirms, int selectedIndex) {
    if (selectedIndex < 0 || static_cast<std::size_t>(selectedIndex) >= listedFirms.IDs.size() ||
        listedFirms.IDs[selectedIndex] <= 0)
        return false;
    favorites.Add(listedFirms.IDs[selectedIndex]);
    return true;
}

bool DeleteFavorite(TFavorites& favorites, int selectedIndex) {
    if (selectedIndex < 0 || static_cast<std::size_t>(selectedIndex) >= favorites.IDs.size())
        return false;
    favorites.Delete(selectedIndex);
    return true;
}

TFavoritesKeeper::TFavoritesKeeper(TFavorites& favorites, std::string valuesPrefix)
    : favorites_(favorites), valuesPrefix_(std::move(valuesPrefix)) {
    LoadFavorites(favorites_, valuesPrefix_);
}

TFavoritesKeeper::~TFavoritesKeeper() {
    SaveFavorites(favorites_, valuesPrefix_);
}
