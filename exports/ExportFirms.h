// The firms of a list as other programs get them: every field in plain
// text, each address with its building's street, house and place on the map.
#pragma once

#include "MapObject.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

class MapModel;
class TDatabase;

struct ExportAddress {
    std::int32_t objectId = 0;
    QString street;
    QString house;
    QString office;
    QString phones; // of this address only
    QString bus;
    QString minibus;
    std::optional<MapPoint> where; // none when the building is not on the map
};

struct ExportFirm {
    int id = 0;
    QString name;
    QStringList categories;
    QString phones;
    QString web;
    QString email;
    QString bus;
    QString minibus;
    QString note;
    QByteArray logo; // the picture as stored, empty when none
    std::vector<ExportAddress> addresses;
};

// The firms with these keys, in this order; keys that name no firm are
// left out. Banner addresses are not addresses of the firm.
std::vector<ExportFirm> ReadExportFirms(TDatabase& database, const std::vector<int>& firmIds, const MapModel& map);

// "street, house" of an address, or whichever of them is known.
QString AddressLine(const QString& street, const QString& house);
