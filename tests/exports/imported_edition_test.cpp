// An edition imported from OpenStreetMap knows where it lies on the Earth;
// a generated demo edition does not. Both made by the real varindel-edition.
#include "GeoReference.h"
#include "MapFormat.h"
#include "TestEnvironment.h"

#include "Database.h"
#include "Query.h"
#include "Vdlconsts.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

void runTool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(VARINDEL_BIN_DIR "/varindel-edition"), arguments);
    ASSERT_TRUE(tool.waitForFinished(240000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
}

struct OpenedEdition {
    TDatabase database;
    std::unique_ptr<TQuery> content;
};

void open(OpenedEdition& edition, const std::string& path)
{
    edition.database.DatabaseFileName = QString::fromStdString(path);
    edition.database.Password = MapPw[1];
    ASSERT_TRUE(edition.database.Open().ok());
    edition.content = std::make_unique<TQuery>(edition.database, QStringLiteral("qContent"), QStringLiteral("select * from Content"));
}

} // namespace

TEST(ImportedEdition, CarriesItsGeographicReferenceAndTheDemoCityNone)
{
    TemporaryFolder folder;
    const QString demo = QString::fromStdString(folder.file("demo.abs"));
    const QString osm = QString::fromStdString(folder.file("city.osm.pbf"));
    // The demo city, also written as OpenStreetMap placed about Omsk.
    runTool({QStringLiteral("generate"), QStringLiteral("--edition"), QStringLiteral("1"), demo, QStringLiteral("--scale"),
             QStringLiteral("0.05"), QStringLiteral("--osm"), osm});
    runTool({QStringLiteral("import"), QStringLiteral("--edition"), QStringLiteral("1"),
             QString::fromStdString(folder.file("real.abs")), QStringLiteral("--osm"), osm});

    OpenedEdition generated;
    open(generated, folder.file("demo.abs"));
    EXPECT_FALSE(ReadGeoReference(*generated.content));

    OpenedEdition imported;
    open(imported, folder.file("real.abs"));
    const std::optional<GeoReference> reference = ReadGeoReference(*imported.content);
    ASSERT_TRUE(reference);
    ASSERT_TRUE(imported.content->Locate(QStringLiteral("TypeID"), 2));
    const Result<MapModel> map = readMapFile(imported.content->FieldByName(QStringLiteral("Data")).AsBlob());
    ASSERT_TRUE(map.ok());
    // Every building of the imported map lies within a few kilometres of Omsk's centre.
    int buildings = 0;
    for (int index = 0; index < map.value().GetCount(); ++index) {
        const TPMXMapObjectMem& object = map.value().object(index);
        if (object.ObjType != otBuilding)
            continue;
        ++buildings;
        const GeoCoordinate where = reference->toGeo({object.X, object.Y});
        EXPECT_NEAR(where.latitude, 54.98, 0.1);
        EXPECT_NEAR(where.longitude, 73.37, 0.15);
    }
    EXPECT_GT(buildings, 10);
}
