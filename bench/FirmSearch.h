// The firm search as the directory panel runs it, for the search benchmarks.
#pragma once

#include "AddressIndex.h"
#include "Datamodule.h"
#include "MapEngine.h"
#include "SearchQuery.h"

// Runs the search on the data module's qFirmsFind and reads every row's ID,
// as the firm list does; returns the rows read. Open leaves the query on its
// first row (First would run the statement again).
int SearchAndReadFirms(TDM& dm, const MapEngine& map, AddressIndex& index, const SearchCriteria& criteria);
