// The two building pages: the house search (the map's buildings on a street
// and house, as links of the firm list) and the information on the map's
// current object (its type, address and post index, and its firms). The
// colour of the selected building is the map's painting hook (PaintHooks.h).
#pragma once

#include "AddressIndex.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class MapEngine;
class TQuery;
struct TPMXMapObjectMem;

// The link line of a building: "<IMG src="Address.bmp" align="left"><A
// href="A<ID>"><Street>, <House></A>", the map's names escaped.
QString HouseLine(const TPMXMapObjectMem& object);
// The building a line links to by its "A" anchor; none for any other line.
std::optional<std::int32_t> HouseLineObject(const QString& line);

// The lines of a house search, in map order; none when neither street nor
// house is asked for, and the not-found message when nothing matches. The
// map's current object stays as it was.
QStringList SearchHouses(const MapEngine& map, AddressIndex& index, const AddressCriterion& criterion);

// The name of a map object type: the type names for 0..8, "метка категории"
// for the category labels the program puts on the map, and "неизвестный тип N"
// for any other code.
QString ObjectTypeName(std::int32_t objType);

// The lines of the information page: "Объект:<type>", "Адрес:<street>,
// <house>" and, when the object has a post index, "Индекс: <index>" (the
// first link of the object in PostIdxObj, looked up in qRefPostIdx); mark-up
// of an HTML list box, with the names escaped.
QStringList BuildingInfoLines(const TPMXMapObjectMem& object, TQuery& qPostIndex, TQuery& qRefPostIdx);

// The information page's route line for a building whose edition has a
// route graph: the anchors "Маршрут отсюда" (RouteFrom) and "Маршрут сюда"
// (RouteTo).
QString BuildingRouteLine();
// Which end of a route an anchor of that line chooses.
enum class RouteAnchor { None, From, To };
RouteAnchor ParseRouteAnchor(const QString& href);

// Opens qFirmsBld on the firms that have an address in the object.
void OpenFirmsOfBuilding(TQuery& qFirmsBld, std::int32_t objectId);
