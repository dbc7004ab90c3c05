// What the reader makes of an area's tags.
#include "OsmReader.h"
#include "OsmTestFiles.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

TEST(OsmReader, OnlyAdministrativeLevelsEightToTenAreDistricts)
{
    OsmXml xml;
    double lon = 37.6;
    for (const char* level : {"9", "8;9", "6", "4294967305", "99999999999999999999", "-9", "девять"}) {
        xml.rectangle(lon, 55.75, 0.001, 0.001,
                      {{"boundary", "administrative"}, {"admin_level", level}, {"name", QString("Уровень ") + level}});
        lon += 0.002;
    }
    TemporaryFolder folder;
    const Result<OsmFeatures> features = ReadOsmFile(xml.save(QString::fromStdString(folder.path()), "levels.osm"));
    ASSERT_TRUE(features) << features.error().toStdString();

    // Leading digits count, as in "8;9"; a number too large for an int is no
    // level, even where cutting it to an int would give 9.
    QStringList districts;
    for (const OsmArea& area : features.value().areas)
        if (area.kind == AreaKind::District)
            districts.append(area.name);
    EXPECT_EQ(districts, QStringList({"Уровень 9", "Уровень 8;9"}));
}
