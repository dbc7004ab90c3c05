// Writes the plain SQLite database of an edition: the edition schema, then
// every table's rows in a fixed order, so that the same data always gives
// the same bytes.
#pragma once

#include "ContentItems.h"
#include "Directory.h"

#include "Result.h"

#include <QString>

struct EditionRows {
    const Directory& directory;
    const City& city;
    const std::vector<ContentItem>& content;
};

// Creates the file anew (an existing file of that name is replaced).
Status WriteEditionDatabase(const QString& path, const EditionRows& rows);
