#include "Uidlist.h"

#include <algorithm>

namespace {

template <typename Array> void EraseAt(Array& array, int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < array.size())
        array.erase(array.begin() + index);
}

} // namespace

void TIDList::Add(std::int32_t id) {
    IDs.push_back(id);
    Flags.push_back(false);
}

int TIDList::FindItemIndex(std::int32_t id) const {
    const auto found = std::find(IDs.begin(), IDs.end(), id);
    return found == IDs.end() ? -1 : static_cast<int>(found - IDs.begin());
}

// The entry's flag and value go with it, so that the three arrays stay
// parallel for the entries after it.
void TIDList::Delete(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= IDs.size())
        return;
    EraseAt(IDs, index);
    EraseAt(Flags, index);
    EraseAt(Values, index);
}

void TIDList::ClearAndFree() {
    IDs.clear();
    Values.clear();
    Flags.clear();
}

void TFavorites::Add(std::int32_t id) {
    IDs.push_back(id);
}

void TFavorites::Delete(int index) {
    EraseAt(IDs, index);
}

void TFavorites::ClearAndFree() {
    IDs.clear();
    FavoriteStr.clear();
}

// An empty list gives "(0)", which matches no firm, and leaves the last
// built text in FavoriteStr as it is.
std::string TFavorites::GetFavoriteStr() {
    if (IDs.empty())
        return "(0)";
    std::string list(1, '(');
    for (std::int32_t id : IDs)
        list += std::to_string(id) + ',';
    list.back() = ')';
    FavoriteStr = std::move(list);
    return FavoriteStr;
}

void TListUpdates::Add(const std::string& text1, const std::string& text2, const std::string& text3,
                       std::int32_t number) {
    Items.push_back(std::make_unique<TFileUpd>(TFileUpd{text1, text2, text3, number}));
}
