// The addressed objects of the map by street and house, for the two search
// pages. The pages ask which objects lie on a street whose name contains a
// text and whose house number contains another; the answer is the one a walk
// over every object of the map in list order would give, but the index looks
// at each distinct street and house text once and then runs over compact
// arrays, instead of making a million objects current one after another.
// It reads the map's objects without making any of them current, so a search
// leaves the map's selection exactly as it was, nothing selected included.
//
// Street texts match without regard to letter case (Latin and Cyrillic
// alike); house texts match exactly, as typed: "1" is found in 1, 10 and 21а.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

class MapModel;

// The street and house asked for; an empty street or no house means that
// part is not asked for.
struct AddressCriterion {
    QString Street;
    std::optional<QString> House;

    bool Given() const { return !Street.isEmpty() || House.has_value(); }
};

class AddressIndex {
public:
    explicit AddressIndex(const MapModel& model);

    // Positions of the matching addressed objects, in the map's list order;
    // none when the criterion asks for nothing.
    std::vector<int> Find(const AddressCriterion& criterion);
    // Forgets the index; the next Find builds it again (after a map load).
    void Reset();

private:
    void build();
    std::vector<char> streetMatches(const QString& street) const;
    std::vector<char> houseMatches(const std::optional<QString>& house) const;
    bool matchesDirectly(int position, const AddressCriterion& criterion) const;

    const MapModel& model_;
    bool built_ = false;
    // Positions below this one are indexed; objects appended later (the
    // program's own labels) are checked one by one.
    int indexedCount_ = 0;
    QStringList upperStreets_;
    QStringList houses_;
    std::vector<std::int32_t> positions_;
    std::vector<std::int32_t> streetOf_;
    std::vector<std::int32_t> houseOf_;
};

// The upper case the street match compares in.
QString StreetKey(const QString& street);
