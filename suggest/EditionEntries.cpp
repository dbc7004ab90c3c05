#include "EditionEntries.h"

#include "Query.h"

namespace {

constexpr int kCategoryType = 1;
constexpr int kFirmType = 2;

} // namespace

std::vector<SuggestEntry> EditionEntries(TDatabase& database) {
    TQuery names(database, "qSuggestNames", "SELECT ID, TypeID, Name FROM FIRMS WHERE TypeID IN (1, 2)");
    names.Open();
    std::vector<SuggestEntry> entries;
    const TField id = names.FieldByName("ID");
    const TField type = names.FieldByName("TypeID");
    const TField name = names.FieldByName("Name");
    for (; !names.Eof(); names.Next()) {
        const int kind = type.AsInteger();
        if (kind == kFirmType || kind == kCategoryType)
            entries.push_back(
                {kind == kFirmType ? EntryKind::Firm : EntryKind::Category, id.AsInteger(), name.AsString()});
    }
    names.Close();
    return entries;
}
