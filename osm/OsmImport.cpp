#include "OsmImport.h"

Result<ImportedCity> ImportOsmCity(const QString& osmPath, const QString& firmsPath, const OsmStageReport& stage)
{
    std::vector<FirmsFileRow> rows;
    if (!firmsPath.isEmpty()) {
        Result<std::vector<FirmsFileRow>> read = ReadFirmsFile(firmsPath);
        if (!read)
            return Result<ImportedCity>::failure(read.error());
        rows = std::move(read).value();
    }
    Result<OsmFeatures> features = ReadOsmFile(osmPath, stage);
    if (!features)
        return Result<ImportedCity>::failure(features.error());
    if (stage)
        stage(QStringLiteral("Построение карты…"));
    ImportedCity city;
    city.map = BuildOsmMap(features.value());
    if (stage)
        stage(QStringLiteral("Размещение фирм…"));
    city.directory = BuildOsmDirectory(features.value(), city.map, rows);
    city.incompleteWays = features.value().incompleteWays;
    city.unassembledAreas = features.value().unassembledAreas;
    return city;
}

QStringList ImportReportLines(const ImportedCity& city)
{
    const OsmMap& map = city.map;
    const OsmDirectory& directory = city.directory;
    QStringList lines{
        QStringLiteral("Зданий: %1").arg(map.buildings),
        QStringLiteral("Зданий с адресом: %1 (из них по адресным точкам: %2)")
            .arg(map.addressed.size())
            .arg(map.addressesFromPoints),
        QStringLiteral("Дорог: %1").arg(map.roads),
        QStringLiteral("Площадей (вода, парки, леса, районы): %1").arg(map.areas),
        QStringLiteral("Остановок и знаков: %1").arg(map.stopsAndSigns),
        QStringLiteral("Фирм из OSM: %1").arg(directory.osmFirms),
        QStringLiteral("Фирм из файла: %1").arg(directory.fileFirms),
        QStringLiteral("Фирм в здании: %1").arg(directory.placedFirms),
        QStringLiteral("Фирм без здания: %1").arg(directory.firmsWithoutBuilding.size()),
    };
    for (const QString& firm : directory.firmsWithoutBuilding)
        lines.append(QStringLiteral("  ") + firm);
    lines.append(QStringLiteral("Строк файла сопоставлено: %1").arg(directory.rowsMatched));
    lines.append(QStringLiteral("Строк файла не сопоставлено: %1").arg(directory.unmatchedRows.size()));
    for (const QString& row : directory.unmatchedRows)
        lines.append(QStringLiteral("  ") + row);
    lines.append(QStringLiteral("Линий, обрезанных краем выписки: %1").arg(city.incompleteWays));
    lines.append(QStringLiteral("Площадей и зданий, которые не удалось собрать: %1").arg(city.unassembledAreas));
    return lines;
}
