// LIKE on an edition connection: SQLite's own rules, with the patterns a
// search writes ("%text%") matched by a byte search instead of SQLite's
// character-by-character walk.
#pragma once

#include <sqlite3.h>

// Replaces like(pattern, text), which "text LIKE pattern" calls, for `db`.
// Every result is the one SQLite's LIKE gives: ASCII letters match in either
// case, other characters only as they are; a pattern with wildcards inside,
// text that is not plain UTF-8, blobs, numbers and NULL go to SQLite's own.
void RegisterLikeFunction(sqlite3* db);

// The subtype with which a text function of ours marks a result that holds
// no NUL and writes every character in UTF-8's one way (no overlong forms,
// surrogates, U+FFFE or U+FFFF): LIKE takes such text without checking it.
// SQLite passes subtypes from one function straight to another only.
inline constexpr unsigned kCanonicalTextSubtype = 'u';

// The flag newer SQLite wants on functions that set a subtype.
#ifdef SQLITE_RESULT_SUBTYPE
inline constexpr int kResultSubtypeFlag = SQLITE_RESULT_SUBTYPE;
#else
inline constexpr int kResultSubtypeFlag = 0;
#endif
