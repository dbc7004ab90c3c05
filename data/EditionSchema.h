// The tables of an edition database. Booleans are stored as 0 and 1.
// Content and the two link tables keep their rows in the order they were
// written, which is the order content items are searched in.
#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// Creates the tables, then their indexes, on a new edition database. The case functions the
// program searches with are registered on `db` first: an index keeps the
// firms' names in upper case, and must hold them as the program's UPPER
// writes them (Cyrillic included), not as SQLite's own. SQLite's message of
// the first failure; empty on success.
QString CreateEditionSchema(sqlite3* db);

// What an opened edition lacks of the tables and columns those statements
// create, as the fault naming the edition's file; empty when nothing is
// missing. Checked when the edition opens, so that a file from elsewhere is
// named at once rather than by the first query that needs the missing part.
QString EditionSchemaFault(sqlite3* db, const QString& fileName);
