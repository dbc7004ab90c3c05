// The favorite firms in the per-user registry: DWORD values prefix + 1, 2, ...
// read until the first one missing, and written back whole after the key
// that holds them has been deleted. The prefix (an edition's text) ends with
// a backslash, so its values live in a key of their own.
#pragma once

#include <string>

class TFavorites;
class TIDList;

void LoadFavorites(TFavorites& favorites, const std::string& valuesPrefix);
void SaveFavorites(const TFavorites& favorites, const std::string& valuesPrefix);

// Adds the firm of the firm list's selected line; false with no line selected.
bool AddToFavorites(TFavorites& favorites, const TIDList& listedFirms, int selectedIndex);
// Removes the favorite at the favorites page's selected line; false with no
// line selected.
bool DeleteFavorite(TFavorites& favorites, int selectedIndex);

// Loads the favorites when created and saves them when destroyed.
class TFavoritesKeeper {
public:
    TFavoritesKeeper(TFavorites& favorites, std::string valuesPrefix);
    ~TFavoritesKeeper();
    TFavoritesKeeper(const TFavoritesKeeper&) = delete;
    TFavoritesKeeper& operator=(const TFavoritesKeeper&) = delete;

private:
    TFavorites& favorites_;
    std::string valuesPrefix_;
};
