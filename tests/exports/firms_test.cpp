// The firms of a list read from a real edition database and its map, and
// files written whole or not at all.
#include "ExportFirms.h"
#include "SaveFile.h"
#include "SyntheticCity.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"

#include "Database.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

TPMXMapObjectMem building(std::int32_t id, const char* street, const char* house, double x, double y)
{
    TPMXMapObjectMem object = squareObject(id, otBuilding, x, y, 20);
    object.Street = QString::fromUtf8(street);
    object.House = QString::fromUtf8(house);
    return object;
}

} // namespace

TEST(ExportFirms, ReadInListOrderWithCategoriesAddressesAndRoutes)
{
    TemporaryFolder folder;
    TinyEdition edition(folder.file("edition.db"));
    edition.addFolder(1, 0, QStringLiteral("Аптеки"));
    edition.addFolder(2, 0, QStringLiteral("Оптика"));
    edition.addFirm({.id = 10, .name = QStringLiteral("Ромашка"), .phones = QStringLiteral("22-33-44"),
                     .email = QStringLiteral("a@b.ru"), .web = QStringLiteral("romashka.ru"),
                     .note = QStringLiteral("С 9 до 21")});
    edition.addFirm({.id = 11, .name = QStringLiteral("Линза")});
    edition.linkFirm(10, 2);
    edition.linkFirm(10, 1);
    edition.linkFirm(11, 2);
    edition.addAddress({.id = 1, .objectId = 501, .firmId = 10, .office = QStringLiteral("15")});
    edition.addAddress({.id = 2, .objectId = 999, .firmId = 10, .phones = QStringLiteral("55-66-77")});
    edition.addAddress({.id = 3, .objectId = 502, .firmId = 10, .isBanner = true});
    edition.exec("UPDATE FirmsAdr SET Bus = ?1, MiniBus = ?2 WHERE ID = 1", {QStringLiteral("5"), QStringLiteral("3т")});
    MapModel map;
    map.assign({building(501, "Ленина", "10/2", 1000, 2000), building(502, "Мира", "1", 1200, 2000)});

    TDatabase database;
    database.DatabaseFileName = QString::fromStdString(edition.plainPath());
    ASSERT_TRUE(database.OpenPlain().ok());
    const std::vector<ExportFirm> firms = ReadExportFirms(database, {11, 404, 10}, map);

    ASSERT_EQ(firms.size(), 2u); // 404 names no firm
    EXPECT_EQ(firms[0].name, QStringLiteral("Линза"));
    EXPECT_EQ(firms[0].categories, QStringList{QStringLiteral("Оптика")});
    EXPECT_TRUE(firms[0].addresses.empty());

    const ExportFirm& romashka = firms[1];
    EXPECT_EQ(romashka.categories, (QStringList{QStringLiteral("Оптика"), QStringLiteral("Аптеки")}));
    EXPECT_EQ(romashka.phones, QStringLiteral("22-33-44"));
    EXPECT_EQ(romashka.web, QStringLiteral("romashka.ru"));
    EXPECT_EQ(romashka.note, QStringLiteral("С 9 до 21"));
    ASSERT_EQ(romashka.addresses.size(), 2u); // the banner's address is not one of the firm's
    EXPECT_EQ(romashka.addresses[0].street, QStringLiteral("Ленина"));
    EXPECT_EQ(romashka.addresses[0].house, QStringLiteral("10/2"));
    EXPECT_EQ(romashka.addresses[0].office, QStringLiteral("15"));
    EXPECT_EQ(romashka.addresses[0].bus, QStringLiteral("5"));
    EXPECT_EQ(romashka.addresses[0].minibus, QStringLiteral("3т"));
    ASSERT_TRUE(romashka.addresses[0].where);
    EXPECT_FLOAT_EQ(romashka.addresses[0].where->x, 1000);
    // A building gone from the map: the address stays, without a place.
    EXPECT_EQ(romashka.addresses[1].phones, QStringLiteral("55-66-77"));
    EXPECT_TRUE(romashka.addresses[1].street.isEmpty());
    EXPECT_FALSE(romashka.addresses[1].where);
}

TEST(WriteWholeFile, ReplacesTheTargetAndLeavesNothingElse)
{
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("список.csv"));
    ASSERT_TRUE(WriteWholeFile(path, QByteArray(100000, 'x')).ok());
    ASSERT_TRUE(WriteWholeFile(path, "short").ok());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("short"));
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files), QStringList{QStringLiteral("список.csv")});
}

TEST(WriteWholeFile, AFailureSaysWhyAndLeavesNoFile)
{
    TemporaryFolder folder;
    const QString missingFolder = QString::fromStdString(folder.file("нет/список.csv"));
    const Status failed = WriteWholeFile(missingFolder, "data");
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.error().startsWith(QStringLiteral("Не удалось записать файл «"))) << failed.error().toStdString();
    EXPECT_TRUE(failed.error().contains(QStringLiteral("нет/список.csv")));

    // A folder where the file should go is left as it was.
    const QString occupied = QString::fromStdString(folder.file("занято"));
    ASSERT_TRUE(QDir().mkdir(occupied));
    EXPECT_FALSE(WriteWholeFile(occupied, "data").ok());
    EXPECT_TRUE(QFileInfo(occupied).isDir());
    EXPECT_EQ(QDir(QString::fromStdString(folder.path())).entryList(QDir::Files), QStringList());
}
