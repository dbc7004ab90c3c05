// Favorite firms in the registry: numbered values read until the first gap,
// written back whole, and kept across a restart.
#include "Favorites.h"
#include "Minireg.h"
#include "TestEnvironment.h"
#include "Uidlist.h"

#include <gtest/gtest.h>

namespace {

const std::string kPrefix = "Software\\Varindel TLX Company\\Favorites\\";

std::vector<std::int32_t> loaded(const std::string& prefix = kPrefix) {
    TFavorites favorites;
    LoadFavorites(favorites, prefix);
    return favorites.IDs;
}

} // namespace

TEST(FavoritesStore, NothingStoredGivesNoFavorites) {
    IsolatedRegistry registry;
    EXPECT_TRUE(loaded().empty());
}

TEST(FavoritesStore, SurviveARestartInTheirOrderWithDuplicates) {
    IsolatedRegistry registry;
    TFavorites favorites;
    {
        TFavoritesKeeper keeper(favorites, kPrefix);
        favorites.Add(17);
        favorites.Add(5);
        favorites.Add(17);
    }
    TFavorites again;
    TFavoritesKeeper keeper(again, kPrefix);
    EXPECT_EQ(again.IDs, (std::vector<std::int32_t>{17, 5, 17}));
    EXPECT_EQ(again.FavoriteStr, "(17,5,17)");
}

TEST(FavoritesStore, ReadingStopsAtTheFirstGap) {
    IsolatedRegistry registry;
    for (const int n : {1, 2, 4})
        RegSetDWORD(HKEY_CURRENT_USER, kPrefix + std::to_string(n), 100 + n);
    EXPECT_EQ(loaded(), (std::vector<std::int32_t>{101, 102}));
}

TEST(FavoritesStore, SavingRewritesTheWholeList) {
    IsolatedRegistry registry;
    TFavorites favorites;
    for (const int id : {1, 2, 3, 4})
        favorites.Add(id);
    SaveFavorites(favorites, kPrefix);
    favorites.Delete(0);
    favorites.Delete(2);
    SaveFavorites(favorites, kPrefix);
    EXPECT_EQ(loaded(), (std::vector<std::int32_t>{2, 3}));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kPrefix + "3"));
}

TEST(FavoritesStore, APrefixWithoutABackslashKeepsNothing) {
    IsolatedRegistry registry;
    TFavorites favorites;
    favorites.Add(9);
    SaveFavorites(favorites, "Не найдено в базе");
    EXPECT_TRUE(loaded("Не найдено в базе").empty());
}

TEST(FavoritesActions, AddTheSelectedFirmAndDeleteTheSelectedFavorite) {
    TIDList listed;
    listed.Add(30);
    listed.Add(31);
    TFavorites favorites;
    EXPECT_FALSE(AddToFavorites(favorites, listed, -1));
    EXPECT_FALSE(AddToFavorites(favorites, listed, 2));
    EXPECT_TRUE(AddToFavorites(favorites, listed, 1));
    EXPECT_TRUE(AddToFavorites(favorites, listed, 1));
    EXPECT_EQ(favorites.IDs, (std::vector<std::int32_t>{31, 31}));

    EXPECT_FALSE(DeleteFavorite(favorites, -1));
    EXPECT_FALSE(DeleteFavorite(favorites, 2));
    EXPECT_TRUE(DeleteFavorite(favorites, 0));
    EXPECT_EQ(favorites.IDs, (std::vector<std::int32_t>{31}));
}
