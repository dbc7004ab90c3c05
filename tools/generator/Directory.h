// The directory of an edition: the category tree, firms with their phones,
// web and mail addresses, routes and notes, their addresses in buildings of
// the city map, and the links of firms to categories. Pictures (logos) and
// articles are added to the firms afterwards.
#pragma once

#include "CategoryTree.h"
#include "City.h"
#include "Prng.h"

#include <QByteArray>
#include <QString>

#include <vector>

struct FirmRecord {
    int id = 0;
    QString name;
    QString brand;    // the firm's own name without its kind or legal form
    int category = 0; // the category it is first listed in
    QByteArray image; // logo picture; empty: none
    QString imageName;
    QString phones;
    QString email; // empty: none
    QString web;   // empty: none
    QString bus;
    QString minibus;
    QString note;       // null: none
    QByteArray article; // empty: none
    bool showAlways = false;
    bool selectedFont = false;
    int place = 100;
};

struct FirmAddress {
    int id = 0;
    std::int32_t objectId = 0;
    int firmId = 0;
    QString office; // null: none
    QString phones; // lines each ended by CR LF; empty: none
    QString bus;    // null: none
    QString minibus;
    bool isBanner = false;
};

struct FirmCategoryLink {
    int firmId = 0;
    int categoryId = 0;
};

struct Directory {
    std::vector<CategoryNode> categories;
    std::vector<FirmRecord> firms;
    std::vector<FirmAddress> addresses;
    std::vector<FirmCategoryLink> links;
};

inline constexpr int kFirstFirmId = 1001;

// The firm count of a city of `scale` unless another is asked for: about 3200
// firms per unit of scale.
int DefaultFirmCount(double scale);

// Builds the directory of a city with `firms` firms (0: the default count).
// Up to the default count the firms spread evenly over the categories. A
// denser directory grows as a real one does: the firms beyond the default
// count go four times as often to the everyday categories (shops at home,
// pharmacies, hairdressers...), which become the largest.
Directory BuildDirectory(const City& city, int edition, double scale, Prng& random, int firms = 0);

// The names of the everyday categories.
const std::vector<QString>& EverydayCategoryNames();
