// The tables of an edition database. Booleans are stored as 0 and 1.
// Content and the two link tables keep their rows in the order they were
// written, which is the order content items are searched in.
#pragma once

#include <QStringList>

// The CREATE statements, tables first, then their indexes.
QStringList EditionSchemaStatements();
