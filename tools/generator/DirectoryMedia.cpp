#include "DirectoryMedia.h"

#include "Articles.h"
#include "Pictures.h"
#include "Vocabulary.h"

#include <QSet>
#include <QSize>

namespace {

QString categoryName(const Directory& directory, int categoryId)
{
    return directory.categories[static_cast<std::size_t>(categoryId - 1)].name;
}

QStringList addressesOf(const Directory& directory, const AddressBook& book, int firmId)
{
    QStringList lines;
    for (const FirmAddress& address : directory.addresses) {
        if (address.firmId != firmId)
            continue;
        QString line = book.addressOf(address.objectId);
        if (!address.office.isNull())
            line += QStringLiteral(", оф. ") + address.office;
        lines.append(line);
    }
    return lines;
}

AdvertFacts advertOf(const Directory& directory, const AddressBook& book, const FirmRecord& firm, Prng& random)
{
    const QStringList addresses = addressesOf(directory, book, firm.id);
    return {firm.name,
            firm.brand,
            categoryName(directory, firm.category),
            firm.phones.section(QStringLiteral(", "), 0, 0),
            addresses.isEmpty() ? QString() : addresses.front(),
            random.pick(Vocabulary::slogans())};
}

} // namespace

AddressBook::AddressBook(const City& city)
{
    for (const TPMXMapObjectMem& object : city.objects)
        if (object.HasAddress)
            objects_.insert(object.ID, &object);
}

QString AddressBook::addressOf(std::int32_t objectId) const
{
    const TPMXMapObjectMem* object = objects_.value(objectId);
    return object ? object->Street + QStringLiteral(", ") + object->House : QString();
}

void AddLogos(Directory& directory, Prng& random)
{
    for (FirmRecord& firm : directory.firms) {
        if (!random.chance(0.34))
            continue;
        const EncodedPicture logo = DrawLogo(firm.brand, categoryName(directory, firm.category), random);
        firm.image = logo.bytes;
        firm.imageName = logo.suffix;
    }
}

void AddArticles(Directory& directory, const AddressBook& addresses, int count, Prng& random)
{
    const int firms = static_cast<int>(directory.firms.size());
    for (int k = 0; k < count && k < firms; ++k) {
        // Spread over the whole list, so that articles turn up in many categories.
        FirmRecord& firm = directory.firms[static_cast<std::size_t>((k * firms) / count + random.range(0, 3)) % firms];
        const ArticleFacts facts{firm.name,
                                 firm.brand,
                                 categoryName(directory, firm.category),
                                 addressesOf(directory, addresses, firm.id),
                                 firm.phones,
                                 firm.web,
                                 firm.email};
        const QByteArray picture = DrawArticlePicture(advertOf(directory, addresses, firm, random), random);
        firm.article = WebArchive(firm.name, ArticleHtml(facts, random), picture);
    }
}

std::vector<int> BannerTypeIds()
{
    return {13, 14, 15, 16, 17, 18, 19, 20, 21, 25, 27, 29, 31, 33, 22, 26, 28, 30, 32, 34};
}

QSize BannerSize(int typeId)
{
    if (typeId >= 13 && typeId <= 20)
        return {200, 200};
    return typeId % 2 == 1 ? QSize(200, 60) : QSize(270, 60);
}

std::vector<BannerItem> MakeBanners(const Directory& directory, const AddressBook& addresses, Prng& random)
{
    QSet<int> addressed;
    for (const FirmAddress& address : directory.addresses)
        addressed.insert(address.firmId);
    std::vector<BannerItem> banners;
    QSet<int> advertised;
    const int firms = static_cast<int>(directory.firms.size());
    for (const int typeId : BannerTypeIds()) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            const FirmRecord& firm = directory.firms[static_cast<std::size_t>(random.range(0, firms - 1))];
            if (advertised.contains(firm.id) || !addressed.contains(firm.id))
                continue;
            advertised.insert(firm.id);
            banners.push_back({typeId, firm.id, DrawBanner(BannerSize(typeId), advertOf(directory, addresses, firm, random), random)});
            break;
        }
    }
    return banners;
}
