#include "AddressIndex.h"

#include "MapModel.h"

#include <QHash>

QString StreetKey(const QString& street) {
    return street.toUpper();
}

AddressIndex::AddressIndex(const MapModel& model) : model_(model) {}

void AddressIndex::Reset() {
    built_ = false;
    indexedCount_ = 0;
    upperStreets_.clear();
    houses_.clear();
    positions_.clear();
    streetOf_.clear();
    houseOf_.clear();
}

namespace {

std::int32_t idOf(QHash<QString, std::int32_t>& ids, QStringList& texts, const QString& text) {
    const auto found = ids.constFind(text);
    if (found != ids.cend())
        return *found;
    const auto id = static_cast<std::int32_t>(texts.size());
    ids.insert(text, id);
    texts.append(text);
    return id;
}

} // namespace

void AddressIndex::build() {
    Reset();
    QHash<QString, std::int32_t> streetIds;
    QHash<QString, std::int32_t> houseIds;
    indexedCount_ = model_.GetCount();
    for (int position = 0; position < indexedCount_; ++position) {
        if (model_.isDeleted(position))
            continue;
        const TPMXMapObjectMem& object = model_.object(position);
        if (!object.HasAddress)
            continue;
        positions_.push_back(position);
        streetOf_.push_back(idOf(streetIds, upperStreets_, StreetKey(object.Street)));
        houseOf_.push_back(idOf(houseIds, houses_, object.House));
    }
    built_ = true;
}

std::vector<char> AddressIndex::streetMatches(const QString& street) const {
    const QString key = StreetKey(street);
    std::vector<char> matches(upperStreets_.size());
    for (qsizetype i = 0; i < upperStreets_.size(); ++i)
        matches[i] = static_cast<char>(key.isEmpty() || upperStreets_[i].contains(key));
    return matches;
}

std::vector<char> AddressIndex::houseMatches(const std::optional<QString>& house) const {
    std::vector<char> matches(houses_.size());
    for (qsizetype i = 0; i < houses_.size(); ++i)
        matches[i] = static_cast<char>(!house || houses_[i].contains(*house));
    return matches;
}

bool AddressIndex::matchesDirectly(int position, const AddressCriterion& criterion) const {
    if (model_.isDeleted(position))
        return false;
    const TPMXMapObjectMem& object = model_.object(position);
    if (!object.HasAddress)
        return false;
    if (!criterion.Street.isEmpty() && !StreetKey(object.Street).contains(StreetKey(criterion.Street)))
        return false;
    return !criterion.House || object.House.contains(*criterion.House);
}

std::vector<int> AddressIndex::Find(const AddressCriterion& criterion) {
    if (!criterion.Given())
        return {};
    if (!built_ || model_.GetCount() < indexedCount_)
        build();
    const std::vector<char> streetOk = streetMatches(criterion.Street);
    const std::vector<char> houseOk = houseMatches(criterion.House);
    std::vector<int> found;
    for (std::size_t i = 0; i < positions_.size(); ++i)
        if (streetOk[streetOf_[i]] && houseOk[houseOf_[i]] && !model_.isDeleted(positions_[i]))
            found.push_back(positions_[i]);
    for (int position = indexedCount_; position < model_.GetCount(); ++position)
        if (matchesDirectly(position, criterion))
            found.push_back(position);
    return found;
}
