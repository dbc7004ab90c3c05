// The firm search of the search page: the criteria become one SQL statement
// of fixed fragments around the user's quoted text, run on qFirmsFind. The
// street and house are matched against the map, and the IDs of the matching
// buildings go into the statement.
#pragma once

#include "AddressIndex.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class MapEngine;
class TQuery;

// A field that holds no criterion stays empty (no value).
struct SearchCriteria {
    std::optional<QString> Name;
    std::optional<QString> Phone;
    std::optional<QString> Web;
    std::optional<QString> Email;
    std::optional<QString> PostIndex;
    AddressCriterion Address;
};

// The text trimmed of blanks, between "%" signs, as an SQL string literal:
// O'Neil gives '%O''Neil%'.
QString QuotedLike(const QString& text);

// "(120,121,388)" for the objects' IDs; "()" for none, an empty list that
// no firm is in.
QString ObjectIdList(const std::vector<std::int32_t>& ids);

// The conditions after the head of the statement: name, phone, web, e-mail,
// then the buildings of `objectIds` (none when no address is asked for); a
// post index criterion goes in front of them all. Each text is found as it
// was typed: one with "%", "_", a NUL or more than a LIKE pattern may hold
// is compared by instr instead of LIKE.
QString FirmsFindConditions(const SearchCriteria& criteria, const std::optional<QString>& objectIds);

// The whole statement; none when there is no condition at all.
std::optional<QString> FirmsFindSql(const SearchCriteria& criteria, const std::optional<QString>& objectIds);

// The IDs of the buildings the address criterion finds, as the list of the
// statement: none when it asks for nothing, "()" when it finds nothing.
std::optional<QString> AddressObjectIds(const MapEngine& map, AddressIndex& index,
                                        const AddressCriterion& criterion);

// Runs the search on qFirmsFind. With no criterion at all the query keeps
// its last statement and rows and false is returned. A street or house that
// matches no building is a criterion like any other: the result is empty.
// The map's current object stays as it was. A database error propagates as
// an exception.
bool RunFirmsFind(TQuery& qFirmsFind, const SearchCriteria& criteria, const MapEngine& map,
                  AddressIndex& index);
