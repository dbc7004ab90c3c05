// The names the suggestions are made of, read from the open edition.
#pragma once

#include "SuggestIndex.h"

#include <vector>

class TDatabase;

// Every firm (FIRMS rows of TypeID 2) and category (TypeID 1) with its name.
// A database error propagates as the data module's exception.
std::vector<SuggestEntry> EditionEntries(TDatabase& database);
