// The directory's categories for firms of OpenStreetMap: a table of our own
// from tag values to a Russian tree of two levels ("Здоровье / Аптеки"),
// with "Разное" for every value it does not know.
#pragma once

#include <QString>

struct CategoryPath {
    QString top;
    QString sub;
    bool operator==(const CategoryPath&) const = default;
};

inline const QString kMiscellaneousTop = QStringLiteral("Разное");
inline const QString kMiscellaneousSub = QStringLiteral("Прочее");

// The category of a firm tagged key=value (e.g. "amenity", "pharmacy").
CategoryPath CategoryOfTag(const QString& key, const QString& value);
