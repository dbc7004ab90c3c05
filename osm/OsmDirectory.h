// The directory of an imported city: the category tree, the firms of the
// extract and of the publisher's file, each placed in its building, and the
// post indexes of the addressed buildings.
#pragma once

#include "FirmsFile.h"
#include "OsmMap.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

struct DirectoryCategory {
    int id = 0;
    int parentId = 0; // 0 at the top
    QString name;
};

struct DirectoryFirm {
    int id = 0;
    QString name;
    QString phones; // separated by ", "
    QString web;
    QString email;
    QString bus;
    QString minibus;
    QString note;
    QByteArray logo;
    QString logoName;
    std::vector<int> categoryIds; // the first is the one it is listed under first
};

struct DirectoryAddress {
    int id = 0;
    int firmId = 0;
    std::int32_t objectId = 0;
    QString office; // null: none
};

struct OsmDirectory {
    std::vector<DirectoryCategory> categories; // parents before children, ids 1, 2, 3 ... in that order
    std::vector<DirectoryFirm> firms;
    std::vector<DirectoryAddress> addresses;
    QStringList postIndexes;                          // PostIdx rows, ids 1, 2, 3 ...
    std::vector<std::pair<std::int32_t, int>> postLinks; // object ID, post index ID

    int osmFirms = 0;
    int fileFirms = 0;
    int placedFirms = 0;
    QStringList firmsWithoutBuilding; // "name (n123)"
    int rowsMatched = 0;
    QStringList unmatchedRows; // "строка 5: name — street, house"
};

// How far from a firm's point its building may be when the point lies in none.
inline constexpr double kNearestBuildingMetres = 15;

OsmDirectory BuildOsmDirectory(const OsmFeatures& features, const OsmMap& map, const std::vector<FirmsFileRow>& fileRows);

// The nearest building with an address whose outline passes within radius
// metres of the point, or -1.
int NearestAddressedBuilding(const MapModel& model, MapPoint where, double radius);
