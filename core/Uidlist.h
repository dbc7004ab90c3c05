// Small lists of integer identifiers that the browsing windows work with:
// the firms shown in the firm list, the map labels of the selected category,
// the user's favorite firms, and a list of file update records.
//
// The arrays are public: callers size Values and set Flags themselves. Each
// Add grows a list by one entry; searches are linear, which is all the few
// hundred entries of a list need.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TIDList {
public:
    std::vector<std::int32_t> IDs;
    std::vector<std::int32_t> Values;
    std::vector<bool> Flags;

    void Add(std::int32_t id);
    int FindItemIndex(std::int32_t id) const;
    void Delete(int index);
    void ClearAndFree();
};

class TFavorites {
public:
    std::vector<std::int32_t> IDs;
    std::string FavoriteStr;

    void Add(std::int32_t id);
    void Delete(int index);
    void ClearAndFree();
    // The identifiers as an SQL membership list, "(5,17)"; "(0)" for none.
    std::string GetFavoriteStr();
};

struct TFileUpd {
    std::string Text1;
    std::string Text2;
    std::string Text3;
    std::int32_t Number = 0;
};

class TListUpdates {
public:
    std::vector<std::unique_ptr<TFileUpd>> Items;

    int Count() const { return static_cast<int>(Items.size()); }
    void Add(const std::string& text1, const std::string& text2, const std::string& text3,
             std::int32_t number);
};
