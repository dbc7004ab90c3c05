// Addresses written by people in many ways, made comparable: a street's
// type word in any common spelling and anywhere among its words, case, "ё",
// and house numbers with or without spaces and with "корп." or "стр.".
#pragma once

#include <QString>

// "ул. Ленина", "Ленина улица" and "улица ЛЕНИНА" give the same key.
QString NormalisedStreet(const QString& street);
// "12к1", "12 к1" and "12 корп. 1" give the same key, as do "12А" and "12а".
QString NormalisedHouse(const QString& house);
// Both together: the key a building is looked up by.
QString AddressKey(const QString& street, const QString& house);
