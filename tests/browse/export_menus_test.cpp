// The export items of the firm list's and the bookmark tabs' menus, on a
// real edition database, map control and registry.
#include "Bookmarks.h"
#include "Datamodule.h"
#include "Diary.h"
#include "ExportMenus.h"
#include "GeoReference.h"
#include "Minireg.h"
#include "SyntheticCity.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Uidlist.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTabBar>

#include <gtest/gtest.h>

namespace {

const std::string kTestBookmarksValues = "Software\\Varindel TLX Company\\Test\\BookmarksValues\\";
const std::string kTestBookmarksNames = "Software\\Varindel TLX Company\\Test\\BookmarksNames\\";
const std::string kTestDiaryNotes = "Software\\Varindel TLX Company\\Test\\Diary\\";
const std::string kTestDiaryObjects = "Software\\Varindel TLX Company\\Test\\DiaryObj\\";

TPMXMapObjectMem building(std::int32_t id, const char* street, const char* house, double x)
{
    TPMXMapObjectMem object = squareObject(id, otBuilding, x, 500, 20);
    object.Street = QString::fromUtf8(street);
    object.House = QString::fromUtf8(house);
    return object;
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ExportMenusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("edition.db"));
        edition.addFolder(1, 0, QStringLiteral("Аптеки"));
        edition.addFirm({.id = 10, .name = QStringLiteral("Ромашка; аптека"), .phones = QStringLiteral("22-33-44")});
        edition.addFirm({.id = 11, .name = QStringLiteral("Линза")});
        edition.linkFirm(10, 1);
        edition.addAddress({.id = 1, .objectId = 501, .firmId = 10, .office = QStringLiteral("15")});
        if (withReference())
            edition.addContent(kGeoReferenceContent, GeoReference({54.98, 73.37}, {1000, 500}).toData());
        dm.Con.DatabaseFileName = QString::fromStdString(edition.plainPath());
        ASSERT_TRUE(dm.Con.OpenPlain().ok());

        map.setModel([] {
            MapModel model;
            model.assign({building(501, "Ленина", "10", 1000), building(502, "Мира", "1", 1300)});
            return model;
        }());
        for (const int id : {10, 11}) {
            ids.Add(id);
            list.Add(QStringLiteral("фирма %1").arg(id));
        }
        menus = std::make_unique<ExportMenus>(TExportControls{nullptr, &pmFirms, &pmBookmarks, &list, &ids, &dm, &map,
                                                              [this] { return page; },
                                                              [this] { return bookmarks.get(); }, kTestDiaryNotes, kTestDiaryObjects});
        menus->AskFileName = [this](const QString&, const QString& start, const QString&, QString& filter) {
            starts << start;
            filter = chosenFilter;
            return answer;
        };
        menus->ShowMessage = [this](const QString& text) { messages << text; };
    }

    virtual bool withReference() const { return false; }

    void popup() { emit pmFirms.aboutToShow(); }

    IsolatedRegistry registry;
    TemporaryFolder folder;
    TDM dm;
    TDataMap map;
    THTMListBox list;
    TIDList ids;
    QMenu pmFirms;
    QMenu pmBookmarks;
    QTabBar tabs;
    std::unique_ptr<TBookmarks> bookmarks;
    int page = 0;
    std::unique_ptr<ExportMenus> menus;

    QString answer;
    QString chosenFilter;
    QStringList starts;
    QStringList messages;
};

class ExportMenusReferenced : public ExportMenusTest {
protected:
    bool withReference() const override { return true; }
};

} // namespace

TEST_F(ExportMenusTest, ItemsShowWhereTheyApply)
{
    list.SetItemIndex(1);
    for (const int firmPage : {0, 1, 2, 4}) {
        page = firmPage;
        popup();
        EXPECT_TRUE(menus->NSaveList->isVisible()) << firmPage;
        EXPECT_TRUE(menus->NPrintCard->isVisible()) << firmPage;
        EXPECT_TRUE(menus->NSaveCardPdf->isVisible()) << firmPage;
        EXPECT_FALSE(menus->NSaveDiary->isVisible()) << firmPage;
    }
    page = 3; // house search: its lines are buildings
    popup();
    EXPECT_FALSE(menus->NSaveList->isVisible());
    EXPECT_FALSE(menus->NPrintCard->isVisible());
    page = 5;
    popup();
    EXPECT_FALSE(menus->NSaveList->isVisible());
    EXPECT_TRUE(menus->NSaveDiary->isVisible());

    // A message line that is no firm: nothing to save.
    page = 0;
    ids.ClearAndFree();
    list.Clear();
    list.Add(QStringLiteral("В этой рубрике нет организаций"));
    popup();
    EXPECT_FALSE(menus->NSaveList->isVisible());
    EXPECT_FALSE(menus->NSaveCardPdf->isVisible());
    EXPECT_EQ(pmBookmarks.actions().size(), 1);
}

TEST_F(ExportMenusTest, ListSavedAsCsvInTheFolderRememberedForNextTime)
{
    const QString target = QString::fromStdString(folder.file("выгрузка"));
    ASSERT_TRUE(QDir().mkdir(target));
    answer = target + QStringLiteral("/список");
    chosenFilter = QStringLiteral("Таблица CSV (*.csv)");
    menus->SaveList();
    const QString table = QString::fromUtf8(contentsOf(answer + QStringLiteral(".csv")));
    EXPECT_TRUE(table.contains(QStringLiteral("\"Ромашка; аптека\";Аптеки;22-33-44;;;Ленина;10;15;;;\r\n"))) << table.toStdString();
    EXPECT_TRUE(table.contains(QStringLiteral("Линза;")));
    EXPECT_TRUE(messages.isEmpty());

    menus->SaveList();
    ASSERT_EQ(starts.size(), 2);
    EXPECT_EQ(starts[1], target + QStringLiteral("/Список.csv"));
}

TEST_F(ExportMenusTest, WithoutGeographicReferenceCardsGoWithoutCoordinatesAndBookmarksNowhere)
{
    answer = QString::fromStdString(folder.file("карточки"));
    chosenFilter = QStringLiteral("Визитные карточки vCard (*.vcf)");
    menus->SaveList();
    const QByteArray cards = contentsOf(answer + QStringLiteral(".vcf"));
    EXPECT_TRUE(cards.contains("ORG:Ромашка\\; аптека"));
    EXPECT_FALSE(cards.contains("GEO:"));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QString::fromUtf8(kNoGeoReference)));

    RegSetDWORD(HKEY_CURRENT_USER, kTestBookmarksValues + "1", 501);
    RegSetString(HKEY_CURRENT_USER, kTestBookmarksNames + "1", "Работа");
    bookmarks = std::make_unique<TBookmarks>(tabs, map, kTestBookmarksValues, kTestBookmarksNames);
    starts.clear();
    menus->SaveBookmarks();
    EXPECT_TRUE(starts.isEmpty()); // no dialog: there is nothing true to write
    EXPECT_EQ(messages.back(), QString::fromUtf8(kNoGeoReference));
}

TEST_F(ExportMenusReferenced, BookmarksSavedAsKmlAndGoneBuildingsNamed)
{
    RegSetDWORD(HKEY_CURRENT_USER, kTestBookmarksValues + "1", 501);
    RegSetString(HKEY_CURRENT_USER, kTestBookmarksNames + "1", "Работа");
    RegSetDWORD(HKEY_CURRENT_USER, kTestBookmarksValues + "2", 999);
    RegSetString(HKEY_CURRENT_USER, kTestBookmarksNames + "2", "Снесённый дом");
    bookmarks = std::make_unique<TBookmarks>(tabs, map, kTestBookmarksValues, kTestBookmarksNames);
    answer = QString::fromStdString(folder.file("закладки.kml"));
    chosenFilter = QStringLiteral("Метки KML (*.kml)");
    menus->SaveBookmarks();
    const QString kml = QString::fromUtf8(contentsOf(answer));
    EXPECT_TRUE(kml.contains(QStringLiteral("<name>Работа</name>")));
    EXPECT_TRUE(kml.contains(QStringLiteral("<coordinates>73.3700000,54.9800000</coordinates>"))) << kml.toStdString();
    EXPECT_FALSE(kml.contains(QStringLiteral("Снесённый")));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Снесённый дом")));
}

TEST_F(ExportMenusTest, DiarySavedAsCalendarWithTheBuildingsOfEachDay)
{
    RegSetString(HKEY_CURRENT_USER, kTestDiaryNotes + "46022", "Сдать отчёт");
    const QString lines = JoinDiaryLines({DiaryAddLine(), DiaryBuildingLine(map.model().object(1))});
    RegSetString(HKEY_CURRENT_USER, kTestDiaryObjects + "46022", lines.toStdString());
    answer = QString::fromStdString(folder.file("дневник"));
    menus->SaveDiary();
    const QString calendar = QString::fromUtf8(contentsOf(answer + QStringLiteral(".ics")));
    EXPECT_TRUE(calendar.contains(QStringLiteral("DTSTART;VALUE=DATE:20251231\r\n")));
    EXPECT_TRUE(calendar.contains(QStringLiteral("SUMMARY:Сдать отчёт\r\n")));
    EXPECT_TRUE(calendar.contains(QStringLiteral("DESCRIPTION:Сдать отчёт\\n\\nЗдания:\\nМира\\, 1\r\n"))) << calendar.toStdString();
}
