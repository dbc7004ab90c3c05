// varindel-edition import run as a publisher runs it, on a small file of
// the test's own and on the real extracts; the editions it writes opened as
// the program opens them.
#include "OsmTestFiles.h"

#include "Database.h"
#include "MapFormat.h"
#include "Query.h"
#include "TestEnvironment.h"
#include "Vdlconsts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int status;
    QString out;
    QString err;
};

ToolRun importTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QString(VARINDEL_BIN_DIR) + "/varindel-edition", QStringList{"import"} + arguments);
    process.waitForFinished(300000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

int reportCount(const QString& report, const QString& label)
{
    const QRegularExpression line("^" + QRegularExpression::escape(label) + ": (\\d+)",
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(report);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// An opened edition as the program sees it: its database and its map.
class OpenedEdition {
public:
    OpenedEdition(const QString& path, int edition)
    {
        database_.DatabaseFileName = path;
        database_.Password = MapPw[static_cast<std::size_t>(edition)];
        const Status opened = database_.Open();
        EXPECT_TRUE(opened) << opened.error().toStdString();
        if (!opened)
            return;
        TQuery content(database_, "qContent", "select * from Content");
        content.Open();
        if (content.Locate("TypeID", 2)) {
            Result<MapModel> map = readMapFile(content.FieldByName("Data").AsBlob(), &attribution_);
            EXPECT_TRUE(map) << map.error().toStdString();
            if (map)
                map_ = std::move(map).value();
        }
        for (const int code : {1, 9, 10, 11, 12})
            EXPECT_TRUE(content.Locate("TypeID", code)) << "content item " << code;
    }

    // The building of the first firm found by a part of its name, as the
    // search and the fly-to find it; nullptr when there is none.
    const TPMXMapObjectMem* buildingOfFirm(const QString& namePart)
    {
        TQuery firms(database_, "qSearch",
                     "SELECT FA.Obj_ID FROM FIRMS F INNER JOIN FirmsAdr FA ON F.ID = FA.Firm_ID "
                     "WHERE F.TypeID = 2 AND F.Name LIKE :Name");
        firms.ParamByName("Name").setAsString("%" + namePart + "%");
        firms.Open();
        if (firms.Eof())
            return nullptr;
        const int position = map_.FindObjectID(firms.FieldByName("Obj_ID").AsInteger());
        return position < 0 ? nullptr : &map_.object(position);
    }

    // The name of some firm that has a building.
    QString placedFirmName()
    {
        TQuery firms(database_, "qPlaced",
                     "SELECT F.Name FROM FIRMS F INNER JOIN FirmsAdr FA ON F.ID = FA.Firm_ID WHERE F.TypeID = 2 "
                     "ORDER BY F.ID LIMIT 1");
        firms.Open();
        return firms.Eof() ? QString() : firms.FieldByName("Name").AsString();
    }

    int count(const QString& sql)
    {
        TQuery query(database_, "qCount", sql);
        query.Open();
        return query.Fields(0).AsInteger();
    }

    const MapModel& map() const { return map_; }
    const QString& attribution() const { return attribution_; }

private:
    TDatabase database_;
    MapModel map_;
    QString attribution_;
};

} // namespace

TEST(ImportTool, WritesAnEditionTheProgramOpensWithFirmsInBuildings)
{
    TemporaryFolder folder;
    const QString dir = QString::fromStdString(folder.path());
    OsmXml xml;
    xml.rectangle(24.94, 60.17, 0.0005, 0.0003,
                  {{"building", "yes"}, {"addr:street", "Mannerheimintie"}, {"addr:housenumber", "5"}});
    xml.node(24.9402, 60.1701, {{"shop", "books"}, {"name", "Kirjakauppa <Akateeminen>"}});
    xml.node(24.95, 60.18, {{"highway", "bus_stop"}, {"name", "Kaivopuisto"}});
    const QString osm = xml.save(dir, "helsinki.osm");
    QFile firms(QDir(dir).filePath("firms.csv"));
    ASSERT_TRUE(firms.open(QIODevice::WriteOnly));
    firms.write("name,categories,street,house,office\n\"Ателье \"\"Игла\"\"\",Услуги/Ателье,MANNERHEIMINTIE,5,12\n"
                "Пропавшая фирма,,Aleksanterinkatu,99,\n");
    firms.close();
    const QString edition = QDir(dir).filePath("datakrv.abs");

    const ToolRun run = importTool({"--edition", "2", edition, "--osm", osm, "--firms", firms.fileName()});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(reportCount(run.out, "Зданий"), 1);
    EXPECT_EQ(reportCount(run.out, "Остановок и знаков"), 1);
    EXPECT_EQ(reportCount(run.out, "Фирм из OSM"), 1);
    EXPECT_EQ(reportCount(run.out, "Фирм из файла"), 2);
    EXPECT_EQ(reportCount(run.out, "Фирм в здании"), 2);
    EXPECT_EQ(reportCount(run.out, "Строк файла не сопоставлено"), 1);
    EXPECT_TRUE(run.out.contains("строка 3: Пропавшая фирма")) << run.out.toStdString();

    OpenedEdition opened(edition, 2);
    EXPECT_EQ(opened.attribution(), "© участники OpenStreetMap");
    const TPMXMapObjectMem* shop = opened.buildingOfFirm("Akateeminen");
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->ObjType, otBuilding);
    EXPECT_EQ(shop->House, "5");
    const TPMXMapObjectMem* atelier = opened.buildingOfFirm("Игла");
    ASSERT_NE(atelier, nullptr);
    EXPECT_EQ(atelier->ID, shop->ID);
    EXPECT_EQ(opened.count("SELECT COUNT(*) FROM FirmsFold"), 3);
    // The firm without a building is still listed in its category.
    EXPECT_EQ(opened.count("SELECT COUNT(*) FROM FIRMS F INNER JOIN FirmsFold L ON L.FirmID = F.ID "
                           "WHERE F.Name = 'Пропавшая фирма'"),
              1);
}

TEST(ImportTool, BadInputWritesNothingAndExitsWithTheReason)
{
    TemporaryFolder folder;
    const QString dir = QString::fromStdString(folder.path());
    const QString broken = QDir(dir).filePath("broken.osm");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<osm version=\"0.6\">\n<node id=\"1\" lat=\"1\" lon=\"1\"/>\n<way id=\"1\">\n");
    file.close();
    const QString edition = QDir(dir).filePath("out.abs");

    const ToolRun run = importTool({"--edition", "1", edition, "--osm", broken});
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.err.contains("broken.osm")) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(edition));
    EXPECT_EQ(QDir(dir).entryList(QDir::Files), QStringList{"broken.osm"}) << "no temporary file left behind";

    const ToolRun noOsm = importTool({"--edition", "1", edition});
    EXPECT_NE(noOsm.status, 0);
    EXPECT_TRUE(noOsm.err.contains("--osm"));
    EXPECT_NE(importTool({"--edition", "7", edition, "--osm", broken}).status, 0);
}

TEST(ImportTool, RealExtractsImportAndOpen)
{
    const QString extracts = RealExtractsFolder();
    if (extracts.isEmpty())
        GTEST_SKIP() << "the real extracts (../shared/osm beside the project) are absent";
    TemporaryFolder folder;
    for (const QString name :
         {"moscow-ostankino.osm.gz", "helsinki-centre.osm.pbf", "monaco.osm.gz", "liechtenstein.osm.pbf"}) {
        SCOPED_TRACE(name.toStdString());
        const QString edition = QString::fromStdString(folder.file(name.toStdString() + ".abs"));
        const ToolRun run = importTool({"--edition", "1", edition, "--osm", QDir(extracts).filePath(name)});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_GT(reportCount(run.out, "Зданий"), 400);
        EXPECT_GT(reportCount(run.out, "Дорог"), 100);
        EXPECT_GT(reportCount(run.out, "Фирм в здании"), 0);

        OpenedEdition opened(edition, 1);
        EXPECT_GT(opened.map().GetCount(), 1000);
        const QString firm = opened.placedFirmName();
        ASSERT_FALSE(firm.isEmpty());
        const TPMXMapObjectMem* building = opened.buildingOfFirm(firm);
        ASSERT_NE(building, nullptr) << firm.toStdString();
        EXPECT_EQ(building->ObjType, otBuilding);
    }
}

TEST(ImportTool, GeneratedCityComesBackThroughItsOsmFile)
{
    TemporaryFolder folder;
    const QString generated = QString::fromStdString(folder.file("gen.abs"));
    const QString osm = QString::fromStdString(folder.file("gen.osm.pbf"));
    QProcess generate;
    generate.start(QString(VARINDEL_BIN_DIR) + "/varindel-edition",
                   {"generate", "--edition", "2", generated, "--scale", "0.05", "--osm", osm});
    ASSERT_TRUE(generate.waitForFinished(300000));
    ASSERT_EQ(generate.exitCode(), 0) << generate.readAllStandardError().toStdString();
    const QString imported = QString::fromStdString(folder.file("imported.abs"));
    const ToolRun run = importTool({"--edition", "2", imported, "--osm", osm});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();

    OpenedEdition original(generated, 2), copy(imported, 2);
    const auto count = [](const MapModel& map, std::int32_t type) {
        int found = 0;
        for (int index = 0; index < map.GetCount(); ++index)
            found += map.object(index).ObjType == type;
        return found;
    };
    for (const std::int32_t type : {otBuilding, otRoad, otRailway, otWater, otStop})
        EXPECT_EQ(count(copy.map(), type), count(original.map(), type)) << "type " << type;
    EXPECT_EQ(reportCount(run.out, "Фирм без здания"), 0);
    EXPECT_GT(reportCount(run.out, "Фирм в здании"), 100);
}
