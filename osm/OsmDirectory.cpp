#include "OsmDirectory.h"

#include "AddressKey.h"
#include "HitTest.h"
#include "OsmCategories.h"

#include <QHash>

#include <algorithm>
#include <limits>
#include <map>
#include <set>

namespace {

// The category tree grows as firms name their categories; it is laid out
// at the end, tops in alphabetical order with "Разное" last.
class CategoryTree {
public:
    void use(const CategoryPath& path) { subs_[path.top].insert(path.sub); }

    std::vector<DirectoryCategory> layOut()
    {
        std::vector<QString> tops;
        for (const auto& [top, subs] : subs_)
            tops.push_back(top);
        std::stable_partition(tops.begin(), tops.end(), [](const QString& top) { return top != kMiscellaneousTop; });
        std::vector<DirectoryCategory> nodes;
        for (const QString& top : tops) {
            const int topId = static_cast<int>(nodes.size()) + 1;
            nodes.push_back({topId, 0, top});
            ids_.insert(key({top, QString()}), topId);
            for (const QString& sub : subs_[top]) {
                if (sub.isEmpty())
                    continue;
                const int subId = static_cast<int>(nodes.size()) + 1;
                nodes.push_back({subId, topId, sub});
                ids_.insert(key({top, sub}), subId);
            }
        }
        return nodes;
    }

    int idOf(const CategoryPath& path) const { return ids_.value(key(path)); }

private:
    static QString key(const CategoryPath& path) { return path.top + QLatin1Char('/') + path.sub; }
    struct Order {
        bool operator()(const QString& a, const QString& b) const { return QString::localeAwareCompare(a, b) < 0; }
    };
    std::map<QString, std::set<QString, Order>, Order> subs_;
    QHash<QString, int> ids_;
};

CategoryPath pathOf(const QString& text)
{
    return {text.section(QLatin1Char('/'), 0, 0), text.section(QLatin1Char('/'), 1, 1)};
}

std::vector<CategoryPath> categoriesOfRow(const FirmsFileRow& row)
{
    std::vector<CategoryPath> paths;
    for (const QString& text : row.categories)
        paths.push_back(pathOf(text));
    if (paths.empty())
        paths.push_back({kMiscellaneousTop, kMiscellaneousSub});
    return paths;
}

QString osmName(const OsmFirm& firm)
{
    return QStringLiteral("%1 (%2%3)").arg(firm.name).arg(QLatin1Char(firm.osmType)).arg(firm.osmId);
}

QString noteOf(const OsmFirm& firm)
{
    return firm.openingHours.isEmpty() ? QString() : QStringLiteral("Часы работы: ") + firm.openingHours;
}

// Addressed buildings by their normalised address; the first of equals wins.
QHash<QString, std::int32_t> addressIndex(const MapModel& model)
{
    QHash<QString, std::int32_t> index;
    for (int position = 0; position < model.GetCount(); ++position) {
        if (model.typeAt(position) != otBuilding)
            continue;
        const TPMXMapObjectMem& object = model.object(position);
        if (object.HasAddress)
            index.insert(AddressKey(object.Street, object.House), object.ID);
    }
    return index;
}

// The building a firm of the extract stands in: the one around its point,
// else the nearest addressed one close by, else the one its own address names.
std::int32_t buildingOfFirm(const OsmFirm& firm, const OsmMap& map, const QHash<QString, std::int32_t>& addresses)
{
    const MapPoint where = map.projection.toMap(firm.where);
    int position = BuildingAt(map.model, where);
    if (position < 0)
        position = NearestAddressedBuilding(map.model, where, kNearestBuildingMetres);
    if (position >= 0)
        return map.model.object(position).ID;
    if (firm.address.present())
        return addresses.value(AddressKey(firm.address.street, firm.address.house), 0);
    return 0;
}

void addPostIndexes(OsmDirectory& directory, const OsmMap& map)
{
    QHash<QString, int> ids;
    for (const MapBuilding& building : map.addressed) {
        const QString code = building.postcode.trimmed();
        if (code.isEmpty())
            continue;
        int& id = ids[code];
        if (id == 0) {
            directory.postIndexes.append(code);
            id = static_cast<int>(directory.postIndexes.size());
        }
        directory.postLinks.emplace_back(building.objectId, id);
    }
}

} // namespace

int NearestAddressedBuilding(const MapModel& model, MapPoint where, double radius)
{
    int found = -1;
    double best = std::numeric_limits<double>::max();
    const QRectF box(where.x - radius, where.y - radius, 2 * radius, 2 * radius);
    model.query(box, [&](int index) {
        if (model.typeAt(index) != otBuilding)
            return;
        const TPMXMapObjectMem& object = model.object(index);
        if (!object.HasAddress || object.Geometry.empty())
            return;
        std::vector<MapPoint> outline = object.Geometry;
        outline.push_back(outline.front());
        const double distance = distanceToPolyline(outline, where.x, where.y);
        if (distance <= radius && distance < best) {
            best = distance;
            found = index;
        }
    });
    return found;
}

OsmDirectory BuildOsmDirectory(const OsmFeatures& features, const OsmMap& map, const std::vector<FirmsFileRow>& fileRows)
{
    OsmDirectory directory;
    CategoryTree tree;
    for (const OsmFirm& firm : features.firms)
        tree.use(CategoryOfTag(firm.tagKey, firm.tagValue));
    for (const FirmsFileRow& row : fileRows)
        for (const CategoryPath& path : categoriesOfRow(row))
            tree.use(path);
    directory.categories = tree.layOut();

    const QHash<QString, std::int32_t> addresses = addressIndex(map.model);
    int nextFirmId = std::max(1001, static_cast<int>(directory.categories.size()) + 1);
    const auto addAddress = [&directory](int firmId, std::int32_t objectId, const QString& office) {
        directory.addresses.push_back({static_cast<int>(directory.addresses.size()) + 1, firmId, objectId, office});
    };

    for (const OsmFirm& firm : features.firms) {
        DirectoryFirm record;
        record.id = nextFirmId++;
        record.name = firm.name;
        record.phones = firm.phones.join(QStringLiteral(", "));
        record.web = firm.web;
        record.email = firm.email;
        record.note = noteOf(firm);
        record.categoryIds.push_back(tree.idOf(CategoryOfTag(firm.tagKey, firm.tagValue)));
        ++directory.osmFirms;
        if (const std::int32_t building = buildingOfFirm(firm, map, addresses); building > 0) {
            addAddress(record.id, building, QString());
            ++directory.placedFirms;
        } else {
            directory.firmsWithoutBuilding.append(osmName(firm));
        }
        directory.firms.push_back(std::move(record));
    }

    for (const FirmsFileRow& row : fileRows) {
        DirectoryFirm record;
        record.id = nextFirmId++;
        record.name = row.name;
        record.phones = row.phones;
        record.web = row.web;
        record.email = row.email;
        record.bus = row.bus;
        record.minibus = row.minibus;
        record.note = row.note;
        record.logo = row.logo;
        record.logoName = row.logoName;
        for (const CategoryPath& path : categoriesOfRow(row))
            record.categoryIds.push_back(tree.idOf(path));
        ++directory.fileFirms;
        const std::int32_t building =
            row.street.isEmpty() || row.house.isEmpty() ? 0 : addresses.value(AddressKey(row.street, row.house), 0);
        if (building > 0) {
            addAddress(record.id, building, row.office.isEmpty() ? QString() : row.office);
            ++directory.rowsMatched;
            ++directory.placedFirms;
        } else {
            directory.unmatchedRows.append(QStringLiteral("строка %1: %2 — %3, %4")
                                               .arg(row.line)
                                               .arg(row.name, row.street.isEmpty() ? QStringLiteral("нет улицы") : row.street,
                                                    row.house.isEmpty() ? QStringLiteral("нет дома") : row.house));
            directory.firmsWithoutBuilding.append(row.name + QStringLiteral(" (строка %1)").arg(row.line));
        }
        directory.firms.push_back(std::move(record));
    }
    addPostIndexes(directory, map);
    return directory;
}
