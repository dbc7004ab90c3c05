// An imported city: the extract read, its map built, its directory filled
// from the extract and the publisher's firm file; and the report a publisher
// reads after the import.
#pragma once

#include "OsmDirectory.h"
#include "OsmMap.h"
#include "OsmReader.h"

#include <QStringList>

struct ImportedCity {
    OsmMap map;
    OsmDirectory directory;
    int incompleteWays = 0;
    int unassembledAreas = 0;
};

// firmsPath may be empty: the extract alone. Nothing is kept of a failed import.
Result<ImportedCity> ImportOsmCity(const QString& osmPath, const QString& firmsPath, const OsmStageReport& stage = {});

// The report: counts first, then the firms without a building and the file
// rows that matched no address, each on a line of its own.
QStringList ImportReportLines(const ImportedCity& city);

// The attribution every map built from OpenStreetMap carries.
inline const QString kOsmAttribution = QStringLiteral("© участники OpenStreetMap");
