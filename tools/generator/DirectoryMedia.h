// The pictures and articles of a directory: logos for about a third of the
// firms, articles for a few dozen, and the firms the banners advertise.
#pragma once

#include "Directory.h"

#include <QHash>

// Street and house of the city's addressed objects, by object ID.
class AddressBook {
public:
    explicit AddressBook(const City& city);
    QString addressOf(std::int32_t objectId) const; // "улица Ленина, 12"

private:
    QHash<std::int32_t, const TPMXMapObjectMem*> objects_;
};

void AddLogos(Directory& directory, Prng& random);
void AddArticles(Directory& directory, const AddressBook& addresses, int count, Prng& random);

// The banner of one content slot: the advertised firm and its picture.
struct BannerItem {
    int typeId = 0;
    int firmId = 0;
    QByteArray jpeg;
};

// One banner per slot (splash 13-16, closing 17-20, top rotation 21, 25 ...
// 33 and bottom rotation 22, 26 ... 34), each for a different firm that is
// listed in a category and has an address.
std::vector<BannerItem> MakeBanners(const Directory& directory, const AddressBook& addresses, Prng& random);

// The size of the banner slot of a content type code.
QSize BannerSize(int typeId);
// Every banner content type code, in the order above.
std::vector<int> BannerTypeIds();
