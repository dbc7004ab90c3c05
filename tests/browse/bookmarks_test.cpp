// Map bookmarks: tabs kept in the registry across a restart, "Вся карта"
// always first, tab selection by the mouse, and the jump to a building.
#include "Bookmarks.h"
#include "Minireg.h"
#include "TDataMap.h"
#include "search_world.h"

#include <QMouseEvent>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const std::string kValues = "Software\\Varindel TLX Company\\BookmarksValues\\";
const std::string kNames = "Software\\Varindel TLX Company\\BookmarksNames\\";

class Bookmarks : public ::testing::Test {
protected:
    void SetUp() override {
        map.resize(400, 300);
        map.setViewSize(QSize(400, 300));
        tabs.setExpanding(false);
        tabs.resize(600, 22);
        tabs.show();
        map.setModel(modelOf({addressedObject(120, "Мира", "1"), addressedObject(500, "Садовая", "21а"),
                              unaddressedObject(7)}));
        map.ViewXY(0, 0, 1000);
    }

    std::unique_ptr<TBookmarks> start() { return std::make_unique<TBookmarks>(tabs, map, kValues, kNames); }

    void store(int n, std::uint32_t id, const char* caption) {
        RegSetDWORD(HKEY_CURRENT_USER, kValues + std::to_string(n), id);
        if (caption)
            RegSetString(HKEY_CURRENT_USER, kNames + std::to_string(n), caption);
    }

    QStringList captions() const {
        QStringList all;
        for (int i = 0; i < tabs.count(); ++i)
            all << tabs.tabText(i);
        return all;
    }

    void press(int tab, Qt::MouseButton button) {
        QTest::mouseClick(&tabs, button, {}, tabs.tabRect(tab).center());
    }

    IsolatedRegistry registry;
    TDataMap map;
    QTabBar tabs;
};

} // namespace

TEST_F(Bookmarks, NothingStoredLeavesOnlyTheWholeMap) {
    const auto bookmarks = start();
    EXPECT_EQ(captions(), QStringList({"Вся карта"}));
    EXPECT_EQ(tabs.tabData(0).toInt(), -1);
}

TEST_F(Bookmarks, ReadingStopsAtTheFirstMissingValue) {
    store(1, 120, "Мира, 1");
    store(2, 500, "Садовая, 21а");
    store(4, 120, "Мира, 1 снова");
    const auto bookmarks = start();
    EXPECT_EQ(captions(), QStringList({"Вся карта", "Мира, 1", "Садовая, 21а"}));
}

TEST_F(Bookmarks, AMissingCaptionSkipsOneBookmarkAndTheRestAreRenumbered) {
    store(1, 120, "Мира, 1");
    store(2, 500, nullptr);
    store(3, 500, "Садовая");
    start().reset();
    EXPECT_EQ(LoadBookmarks(kValues, kNames), (std::vector<Bookmark>{{"Мира, 1", 120}, {"Садовая", 500}}));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kValues + "3"));
}

TEST_F(Bookmarks, AddedAndDeletedBookmarksSurviveARestart) {
    auto bookmarks = start();
    map.EditObject(1);
    EXPECT_TRUE(bookmarks->AddBookmark());
    map.EditObject(0);
    EXPECT_TRUE(bookmarks->AddBookmark());
    EXPECT_TRUE(bookmarks->AddBookmark()) << "the same building twice gives two tabs";
    map.EditObject(2);
    EXPECT_FALSE(bookmarks->AddBookmark()) << "no building";
    EXPECT_EQ(tabs.currentIndex(), 0) << "a new tab is not selected";

    press(2, Qt::RightButton);
    EXPECT_TRUE(bookmarks->DeleteBookmark());
    bookmarks.reset();

    bookmarks = start();
    EXPECT_EQ(captions(), QStringList({"Вся карта", "Садовая, 21а", "Мира, 1"}));
    EXPECT_EQ(bookmarks->Items(), (std::vector<Bookmark>{{"Садовая, 21а", 500}, {"Мира, 1", 120}}));
}

TEST_F(Bookmarks, TheWholeMapCannotBeDeleted) {
    store(1, 120, "Мира, 1");
    const auto bookmarks = start();
    press(0, Qt::RightButton);
    EXPECT_FALSE(bookmarks->DeleteBookmark());
    QTest::mouseClick(&tabs, Qt::RightButton, {}, QPoint(tabs.width() - 1, tabs.height() / 2));
    EXPECT_EQ(bookmarks->SelectedIndex(), -1) << "a press beside the tabs selects none";
    EXPECT_FALSE(bookmarks->DeleteBookmark());
    EXPECT_EQ(tabs.count(), 2);
}

TEST_F(Bookmarks, ARightClickSelectsWithoutMovingTheMap) {
    store(1, 500, "Садовая, 21а");
    const auto bookmarks = start();
    press(1, Qt::RightButton);
    EXPECT_EQ(tabs.currentIndex(), 1);
    EXPECT_EQ(bookmarks->SelectedIndex(), 1);
    EXPECT_EQ(map.GetScale(), 1000);
    EXPECT_EQ(map.CurrentIndex(), -1);
}

TEST_F(Bookmarks, ALeftClickFliesToTheBuildingAndTheWholeMapOnlySetsTheScale) {
    store(1, 500, "Садовая, 21а");
    const auto bookmarks = start();
    press(1, Qt::LeftButton);
    EXPECT_EQ(map.CurrentObject().ID, 500);
    EXPECT_EQ(map.GetScale(), 5000);
    double x = 200, y = 150;
    map.TransKoordToMap(x, y);
    EXPECT_NEAR(x, 5000, 1);
    EXPECT_NEAR(y, 2500, 1);

    press(0, Qt::LeftButton);
    EXPECT_EQ(map.GetScale(), 216);
    EXPECT_EQ(map.CurrentObject().ID, 500);
}

TEST_F(Bookmarks, ABuildingGoneFromTheMapLeavesTheViewAndSaysSo) {
    store(1, 999, "Снесён");
    const auto bookmarks = start();
    QString told;
    bookmarks->OnNotFound = [&told](const QString& message) { told = message; };
    press(1, Qt::LeftButton);
    EXPECT_EQ(map.GetScale(), 1000);
    EXPECT_EQ(told, "Объект не найден на карте");
}
