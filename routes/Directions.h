// A route told in words: the streets in order with their lengths and the
// turns between them, e.g. "Идите 350 м по улице Ленина, поверните направо на
// проспект Мира, …", and the route's length and time for the list beside the map.
#pragma once

#include "Router.h"

#include <QString>
#include <QStringList>

enum class Turn { Straight, Left, Right, Back };

// The turn from the direction a→b to the direction b→c.
Turn turnBetween(MapPoint a, MapPoint b, MapPoint c);

// The street name as it follows "по" and "на": "улица Ленина" gives "улице
// Ленина" and "улицу Ленина", "Зелёная улица" "Зелёной улице" and "Зелёную
// улицу". Names of other forms stay as they are.
QString alongStreet(const QString& name);
QString ontoStreet(const QString& name);

// "1,2 км" or "350 м"; "15 мин" or "1 ч 5 мин".
QString lengthText(double metres);
QString durationText(double seconds);

// One part per street of the route: "Идите 350 м по улице Ленина", then
// "поверните направо на проспект Мира, идите 200 м" and so on.
QStringList directions(const Route& route, const StreetGraph& graph, TravelMode mode);
// The parts joined into one sentence.
QString directionsText(const Route& route, const StreetGraph& graph, TravelMode mode);
