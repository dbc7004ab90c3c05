// SQL functions that change the case of text on an edition connection.
#pragma once

#include <sqlite3.h>

// Registers UPPER and LOWER that know every alphabet SQLite does not
// (Cyrillic first of all), so that searches find names whatever their case.
void RegisterUnicodeCaseFunctions(sqlite3* db);
