// A small generated edition, sealed and opened through the data module as the
// program opens it: the invariants the program relies on.
#include "EditionGenerator.h"

#include "Database.h"
#include "IconLibrary.h"
#include "MapFormat.h"
#include "Query.h"
#include "TestEnvironment.h"
#include "Vdlconsts.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

namespace {

// One sealed edition shared by the tests of this file: generating it is the
// slow part, and none of them changes it.
class GeneratedEdition : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder_ = new TemporaryFolder;
        const QString path = QString::fromStdString(folder_->file("dataomk.abs"));
        const Status written = WriteSealedEdition({1, 5, 0.06}, path);
        ASSERT_TRUE(written.ok()) << written.error().toStdString();
        database_ = new TDatabase;
        database_->DatabaseFileName = path;
        database_->Password = MapPw[1];
        const Status opened = database_->Open();
        ASSERT_TRUE(opened.ok()) << opened.error().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete database_;
        delete folder_;
    }

    // Column values of every row of a statement, by column name.
    static std::vector<std::map<QString, QVariant>> rows(const QString& sql)
    {
        TQuery query(*database_, QStringLiteral("test"), sql);
        std::vector<std::map<QString, QVariant>> result;
        for (query.Open(); !query.Eof(); query.Next()) {
            std::map<QString, QVariant> row;
            for (int k = 0; k < query.FieldCount(); ++k)
                row[query.Fields(k).FieldName()] = query.Fields(k).AsVariant();
            result.push_back(row);
        }
        return result;
    }

    // The Data of the first Content row of a type, as the program finds it.
    static QByteArray content(int typeId)
    {
        TQuery query(*database_, QStringLiteral("qContent"), QStringLiteral("select * from Content"));
        query.Open();
        if (!query.Locate(QStringLiteral("TypeID"), typeId))
            return {};
        return query.FieldByName(QStringLiteral("Data")).AsBlob();
    }

    static MapModel map()
    {
        Result<MapModel> model = readMapFile(content(2));
        EXPECT_TRUE(model.ok()) << model.error().toStdString();
        return model.ok() ? std::move(model).value() : MapModel();
    }

    static TemporaryFolder* folder_;
    static TDatabase* database_;
};

TemporaryFolder* GeneratedEdition::folder_ = nullptr;
TDatabase* GeneratedEdition::database_ = nullptr;

} // namespace

TEST_F(GeneratedEdition, EveryFirmAddressIsAnAddressedBuildingOfTheMap)
{
    const MapModel model = map();
    const auto addresses = rows(QStringLiteral("SELECT Obj_ID, Firm_ID FROM FirmsAdr"));
    ASSERT_FALSE(addresses.empty());
    QSet<int> firms;
    for (const auto& firm : rows(QStringLiteral("SELECT ID FROM FIRMS WHERE TypeID=2")))
        firms.insert(firm.at("ID").toInt());
    for (const auto& address : addresses) {
        const int index = model.FindObjectID(address.at("Obj_ID").toInt());
        ASSERT_GE(index, 0) << address.at("Obj_ID").toInt();
        const TPMXMapObjectMem& building = model.object(index);
        EXPECT_EQ(building.ObjType, otBuilding);
        EXPECT_TRUE(building.HasAddress);
        EXPECT_FALSE(building.Street.isEmpty());
        EXPECT_FALSE(building.House.isEmpty());
        EXPECT_TRUE(firms.contains(address.at("Firm_ID").toInt()));
    }
}

TEST_F(GeneratedEdition, EveryCategoryChainReachesTheTopLevel)
{
    std::map<int, int> parents;
    for (const auto& category : rows(QStringLiteral("SELECT ID, ParentID FROM FIRMS WHERE TypeID=1")))
        parents[category.at("ID").toInt()] = category.at("ParentID").toInt();
    ASSERT_GE(parents.size(), 150u);
    int deepest = 0;
    for (const auto& [id, parent] : parents) {
        int depth = 0;
        for (int at = id; parents.at(at) > 0; at = parents.at(at)) {
            ASSERT_TRUE(parents.count(parents.at(at))) << "category " << at << " has a parent that is no category";
            ASSERT_LT(++depth, 3);
        }
        deepest = std::max(deepest, depth);
    }
    EXPECT_EQ(deepest, 2); // three levels
}

TEST_F(GeneratedEdition, FirmLinksNameRealFirmsAndCategoriesAndSomeCategoriesStayEmpty)
{
    QSet<int> categories;
    for (const auto& category : rows(QStringLiteral("SELECT ID FROM FIRMS WHERE TypeID=1")))
        categories.insert(category.at("ID").toInt());
    QSet<int> used;
    for (const auto& link : rows(QStringLiteral("SELECT FirmID, FoldID FROM FirmsFold"))) {
        EXPECT_TRUE(categories.contains(link.at("FoldID").toInt()));
        used.insert(link.at("FoldID").toInt());
    }
    EXPECT_LT(used.size(), categories.size());
    EXPECT_TRUE(rows(QStringLiteral("SELECT ID FROM FIRMS WHERE TypeID=2 AND ID NOT IN (SELECT FirmID FROM FirmsFold)")).empty());
}

TEST_F(GeneratedEdition, EveryContentItemIsPresentAndOfItsKind)
{
    IconLibrary icons;
    EXPECT_TRUE(icons.addLibrary(content(1)).ok());
    EXPECT_NE(icons.find(QStringLiteral("ICONS.LIB"), QStringLiteral("OK.BMP")), nullptr);
    EXPECT_GT(map().GetCount(), 1000);
    EXPECT_TRUE(content(3).startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(content(3).contains("</html>"));
    for (const int code : {5, 6, 7, 8, 23, 24}) {
        const QString name = QString::fromUtf8(content(code));
        EXPECT_TRUE(name.startsWith(QStringLiteral("Software\\Varindel TLX Company\\"))) << code;
        EXPECT_TRUE(name.endsWith(QLatin1Char('\\'))) << code;
    }
    const int mapScale = StrToInt(QString::fromUtf8(content(9)));
    const int minScale = StrToInt(QString::fromUtf8(content(10)));
    const int maxScale = StrToInt(QString::fromUtf8(content(11)));
    const int stepScale = StrToInt(QString::fromUtf8(content(12)));
    EXPECT_LT(minScale, mapScale);
    EXPECT_GE(maxScale, 5000);
    EXPECT_GT(stepScale, 36) << "the step is also the code of the lens row and must not hit another item";
    EXPECT_GT(StrToInt(QString::fromUtf8(content(stepScale))), 1);
    EXPECT_GT(StrToInt(QString::fromUtf8(content(35))), 0);
    EXPECT_GT(StrToInt(QString::fromUtf8(content(36))), 0);
}

TEST_F(GeneratedEdition, BannersAreJpegAdvertsOfRealFirmsInTheirSlotsSize)
{
    QSet<int> firms;
    for (const auto& firm : rows(QStringLiteral("SELECT ID FROM FIRMS WHERE TypeID=2")))
        firms.insert(firm.at("ID").toInt());
    std::map<int, std::pair<int, QByteArray>> banners;
    for (const auto& row : rows(QStringLiteral("SELECT TypeID, RefID, Data FROM Content WHERE TypeID BETWEEN 13 AND 34")))
        banners[row.at("TypeID").toInt()] = {row.at("RefID").toInt(), row.at("Data").toByteArray()};
    for (int code = 13; code <= 34; ++code) {
        if (code == 23 || code == 24)
            continue;
        ASSERT_TRUE(banners.count(code)) << code;
        EXPECT_TRUE(firms.contains(banners[code].first)) << code;
        QBuffer buffer(&banners[code].second);
        QImageReader reader(&buffer, "jpeg");
        const QImage picture = reader.read();
        ASSERT_FALSE(picture.isNull()) << code;
        const QSize expected = code <= 20 ? QSize(200, 200) : code % 2 == 1 ? QSize(200, 60) : QSize(270, 60);
        EXPECT_EQ(picture.size(), expected) << code;
    }
}

TEST_F(GeneratedEdition, LogosAreOfTheFormatTheirSuffixNames)
{
    const auto logos = rows(QStringLiteral("SELECT Image, ImageName FROM FIRMS WHERE TypeID=2 AND Image IS NOT NULL"));
    const auto firms = rows(QStringLiteral("SELECT ID FROM FIRMS WHERE TypeID=2"));
    EXPECT_GT(logos.size() * 5, firms.size());
    EXPECT_LT(logos.size() * 2, firms.size());
    const std::map<QString, QByteArray> formats{{".bmp", "bmp"}, {".png", "png"}, {".jpg", "jpeg"}};
    for (const auto& logo : logos) {
        QByteArray bytes = logo.at("Image").toByteArray();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const QString suffix = logo.at("ImageName").toString();
        ASSERT_TRUE(formats.count(suffix)) << suffix.toStdString();
        EXPECT_EQ(QImageReader::imageFormat(&buffer), formats.at(suffix)) << suffix.toStdString();
    }
}

TEST_F(GeneratedEdition, PostIndexesAreSixDigitsAndLinkAddressedBuildings)
{
    const MapModel model = map();
    const auto indexes = rows(QStringLiteral("SELECT ID, PostIndex FROM PostIdx"));
    ASSERT_FALSE(indexes.empty());
    for (const auto& index : indexes)
        EXPECT_EQ(index.at("PostIndex").toString().size(), 6);
    for (const auto& link : rows(QStringLiteral("SELECT ObjID FROM PostIdxObj"))) {
        const int position = model.FindObjectID(link.at("ObjID").toInt());
        ASSERT_GE(position, 0);
        EXPECT_TRUE(model.object(position).HasAddress);
    }
}
