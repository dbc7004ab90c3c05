#include "Directory.h"

#include "FirmText.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// Buildings firms choose from: most firms sit in the centre and in the
// larger houses, a few in the private houses of the edges.
struct BuildingPools {
    std::vector<const AddressedBuilding*> central;
    std::vector<const AddressedBuilding*> large;
    std::vector<const AddressedBuilding*> any;

    explicit BuildingPools(const City& city)
    {
        for (const AddressedBuilding& building : city.addressed) {
            any.push_back(&building);
            if (building.central)
                central.push_back(&building);
            else if (building.floors >= 2)
                large.push_back(&building);
        }
    }

    const AddressedBuilding& pick(Prng& random) const
    {
        const double roll = random.unit();
        if (roll < 0.45 && !central.empty())
            return *random.pick(central);
        if (roll < 0.85 && !large.empty())
            return *random.pick(large);
        return *random.pick(any);
    }
};

class DirectoryBuilder {
public:
    DirectoryBuilder(const City& city, int edition, Prng& random)
        : city_(city), edition_(edition), random_(random), pools_(city)
    {
        directory_.categories = BuildCategoryTree();
    }

    Directory run(int evenFirms, int denserFirms)
    {
        chooseListingCategories();
        for (int k = 0; k < evenFirms; ++k)
            addFirm(kFirstFirmId + k, *random_.pick(listing_));
        const std::vector<const CategoryNode*> weighted = everydayWeighted();
        for (int k = 0; k < denserFirms; ++k)
            addFirm(kFirstFirmId + evenFirms + k, *random_.pick(weighted));
        markShownAlways();
        return std::move(directory_);
    }

private:
    // Firms are listed in the categories without subcategories; a few of
    // those stay empty, as in every real directory.
    void chooseListingCategories()
    {
        for (const CategoryNode& category : directory_.categories) {
            bool hasChildren = false;
            for (const CategoryNode& other : directory_.categories)
                hasChildren = hasChildren || other.parentId == category.id;
            if (!hasChildren && category.level > 0 && !random_.chance(0.06))
                listing_.push_back(&category);
        }
    }

    // The listing categories, each everyday one four times over.
    std::vector<const CategoryNode*> everydayWeighted() const
    {
        constexpr int kEverydayWeight = 4;
        const std::vector<QString>& everyday = EverydayCategoryNames();
        std::vector<const CategoryNode*> weighted;
        for (const CategoryNode* category : listing_) {
            const bool common = std::find(everyday.begin(), everyday.end(), category->name) != everyday.end();
            weighted.insert(weighted.end(), common ? kEverydayWeight : 1, category);
        }
        return weighted;
    }

    const CategoryNode& categoryById(int id) const { return directory_.categories[static_cast<std::size_t>(id - 1)]; }

    QString topNameOf(const CategoryNode& category) const
    {
        const CategoryNode* node = &category;
        while (node->parentId > 0)
            node = &categoryById(node->parentId);
        return node->name;
    }

    void addFirm(int id, const CategoryNode& category)
    {
        const FirmName name = MakeFirmName(category, topNameOf(category), random_);
        FirmRecord firm;
        firm.id = id;
        firm.name = name.name;
        firm.brand = name.brand;
        firm.category = category.id;
        firm.phones = FirmPhones(edition_, random_);
        if (random_.chance(0.55))
            firm.web = uniqueWeb(name.brand);
        if (random_.chance(0.6))
            firm.email = firm.web.isEmpty() ? MailAddress(uniqueWeb(name.brand), random_) : MailAddress(firm.web, random_);
        if (random_.chance(0.7))
            firm.note = FirmNote(random_);
        firm.selectedFont = random_.chance(0.05);
        firm.place = firm.selectedFont ? random_.range(1, 10) : random_.chance(0.1) ? random_.range(20, 90) : 100;
        linkCategories(firm, category);
        addAddresses(firm);
        directory_.firms.push_back(std::move(firm));
    }

    QString uniqueWeb(const QString& brand)
    {
        for (int variant = 0;; ++variant) {
            QString web = WebAddress(brand, edition_, variant);
            if (!usedWebs_.contains(web)) {
                usedWebs_.insert(web);
                return web;
            }
        }
    }

    void linkCategories(const FirmRecord& firm, const CategoryNode& category)
    {
        directory_.links.push_back({firm.id, category.id});
        if (random_.chance(0.15)) {
            const CategoryNode& second = *random_.pick(listing_);
            if (second.id != category.id)
                directory_.links.push_back({firm.id, second.id});
        }
        if (category.level == 2 && random_.chance(0.04))
            directory_.links.push_back({firm.id, category.parentId});
    }

    void addAddresses(FirmRecord& firm)
    {
        const double roll = random_.unit();
        const int count = roll < 0.7 ? 1 : roll < 0.92 ? 2 : 3;
        QSet<std::int32_t> used;
        for (int k = 0; k < count; ++k) {
            const AddressedBuilding& building = pools_.pick(random_);
            if (used.contains(building.objectId))
                continue;
            used.insert(building.objectId);
            const CityStreet& street = city_.streets[static_cast<std::size_t>(building.street)];
            FirmAddress address;
            address.id = static_cast<int>(directory_.addresses.size()) + 1;
            address.objectId = building.objectId;
            address.firmId = firm.id;
            if (building.floors >= 3 && random_.chance(0.45))
                address.office = QString::number(random_.range(1, std::min(building.floors, 9)) * 100 + random_.range(1, 20));
            if (random_.chance(0.3))
                address.phones = addressPhones();
            address.bus = RouteText(street.busRoutes);
            address.minibus = RouteText(street.minibusRoutes);
            address.isBanner = k > 0 && random_.chance(0.05);
            if (k == 0) {
                firm.bus = address.bus;
                firm.minibus = address.minibus;
            }
            directory_.addresses.push_back(address);
        }
    }

    QString addressPhones()
    {
        QString lines;
        for (int count = random_.range(1, 3); count > 0; --count)
            lines += LocalPhone(edition_, random_) + QStringLiteral("\r\n");
        return lines;
    }

    // A handful of firms is shown whenever a category has none of its own.
    void markShownAlways()
    {
        for (int k = 0; k < 8 && !directory_.firms.empty(); ++k) {
            FirmRecord& firm = directory_.firms[static_cast<std::size_t>(random_.range(0, static_cast<int>(directory_.firms.size()) - 1))];
            firm.showAlways = true;
            firm.place = std::min(firm.place, 5);
        }
    }

    const City& city_;
    int edition_;
    Prng& random_;
    BuildingPools pools_;
    Directory directory_;
    std::vector<const CategoryNode*> listing_;
    QSet<QString> usedWebs_;
};

} // namespace

int DefaultFirmCount(double scale)
{
    return std::max(static_cast<int>(std::lround(3200 * std::max(scale, 0.01))), 1);
}

Directory BuildDirectory(const City& city, int edition, double scale, Prng& random, int firms)
{
    const int even = DefaultFirmCount(scale);
    const int wanted = firms > 0 ? firms : even;
    return DirectoryBuilder(city, edition, random).run(std::min(wanted, even), std::max(wanted - even, 0));
}

const std::vector<QString>& EverydayCategoryNames()
{
    static const std::vector<QString> names = {
        QStringLiteral("Магазины у дома"), QStringLiteral("Супермаркеты"),     QStringLiteral("Аптеки"),
        QStringLiteral("Парикмахерские"),  QStringLiteral("Маникюр"),          QStringLiteral("Шиномонтаж"),
        QStringLiteral("Стоматология"),    QStringLiteral("Кофейни"),          QStringLiteral("Сотовая связь"),
        QStringLiteral("Женская одежда"),  QStringLiteral("Ремонт квартир"),   QStringLiteral("Продажа квартир"),
    };
    return names;
}
