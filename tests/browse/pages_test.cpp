// ShowPage: the active page, its caption, page buttons, the diary memo's
// height, what each page fills, and indexes outside the six pages.
#include "Buildings.h"
#include "Diary.h"
#include "firmlist_fixture.h"

using PagesTest = BrowsePanel;

TEST_F(PagesTest, IndexesOutsideThePagesChangeNothing) {
    browser->RefreshNullFoldersExecute();
    const QString caption = lCapTab->text();
    const QStringList before = lines();
    const int changes = tabsChanges;
    for (int index : {6, -1}) {
        browser->ShowPage(index, true);
        EXPECT_EQ(pcTabs->currentIndex(), 0);
        EXPECT_EQ(lCapTab->text(), caption);
        EXPECT_EQ(lines(), before);
        EXPECT_EQ(tabsChanges, changes);
    }
}

TEST_F(PagesTest, EachPageShowsItsCaptionAndButton) {
    browser->RefreshNullFoldersExecute();
    EXPECT_EQ(lCapTab->text(), "Каталог предприятий");
    EXPECT_TRUE(buttons[0]->isChecked());
    browser->ShowPage(1, true);
    EXPECT_EQ(lCapTab->text(), "Мои закладки");
    EXPECT_TRUE(buttons[1]->isChecked());
    browser->ShowPage(2, false);
    EXPECT_EQ(lCapTab->text(), "Поиск организаций");
    EXPECT_TRUE(buttons[2]->isChecked());
    EXPECT_EQ(searches, 1);
    browser->ShowPage(3, false);
    EXPECT_EQ(lCapTab->text(), "Поиск домов");
    EXPECT_TRUE(buttons[2]->isChecked()); // page 3 sets no button of its own
    browser->ShowPage(4, true);
    EXPECT_EQ(lCapTab->text(), "Информация об объекте");
    EXPECT_TRUE(buttons[4]->isChecked());
    EXPECT_EQ(mDiary->height(), 0);
    browser->ShowPage(5, false);
    EXPECT_EQ(lCapTab->text(), "Дневник");
    EXPECT_EQ(mDiary->maximumHeight(), 120);
    EXPECT_EQ(lbFirms->Count(), 0);
    browser->ShowPage(0, false);
    EXPECT_EQ(mDiary->maximumHeight(), 0);
    EXPECT_EQ(pcTabs->currentIndex(), 0);
    EXPECT_EQ(tabsChanges, 7);
}

TEST_F(PagesTest, CategoryPageWithoutReloadRepeatsTheLastResult) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    const QStringList shown = lines();
    browser->ShowPage(1, true);
    browser->ShowPage(0, false);
    EXPECT_EQ(lines(), shown);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{10, 11}));
    EXPECT_EQ(qFirmsCur, nullptr);
}

TEST_F(PagesTest, SearchAndBuildingFillsGoThroughTheFirmList) {
    browser->RefreshNullFoldersExecute();
    dm.qFirmsFind.setSQL("SELECT * FROM FIRMS WHERE (TypeID=2) AND (Name LIKE '%ничего%')");
    dm.qFirmsFind.Open();
    browser->ShowPage(3, false);
    browser->FillFirms(dm.qFirmsFind);
    EXPECT_EQ(lines(), QStringList{}); // the house-search page has no message of its own
    browser->ShowPage(2, false);
    browser->FillFirms(dm.qFirmsFind);
    EXPECT_EQ(lines(), QStringList{NothingFoundMessage()});
    dm.qFirmsBld.ParamByName("Obj_ID").setAsInteger(701);
    dm.qFirmsBld.Open();
    browser->ShowPage(4, true);
    browser->FillFirms(dm.qFirmsBld);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{10}));
    dm.qFirmsBld.Close();
    dm.qFirmsBld.ParamByName("Obj_ID").setAsInteger(5555);
    dm.qFirmsBld.Open();
    browser->FillFirms(dm.qFirmsBld);
    EXPECT_EQ(lines(), QStringList{EmptyBuildingMessage()});
}

TEST_F(PagesTest, PopupMenuOffersOnlyWhatAppliesToTheLineUnderTheCursor) {
    const auto offered = [this](int line) {
        lbFirms->SetItemIndex(line);
        browser->pmFirmsPopup();
        return std::vector<bool>{NAddToFavorites->isVisible(), NDelFavorite->isVisible(),
                                 NFAddBookmark->isVisible()};
    };
    const std::vector<bool> none{false, false, false};
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    EXPECT_EQ(offered(1), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(offered(-1), none) << "below the last line";

    Favorites.Add(10);
    Favorites.Add(11);
    browser->ShowPage(1, true);
    EXPECT_EQ(offered(1), (std::vector<bool>{false, true, false}));

    browser->ShowPage(5, false);
    lbFirms->Add(DiaryAddLine());
    lbFirms->Add(DiaryBuildingLine(DataMap->model().object(0)));
    EXPECT_EQ(offered(1), none) << "a diary line is no favourite";
    EXPECT_EQ(offered(0), none);

    browser->ShowPage(3, false);
    AddressIndex houses(DataMap->model());
    lbFirms->Assign(SearchHouses(*DataMap, houses, {"Мира", std::nullopt}));
    ASSERT_EQ(lbFirms->Count(), 1);
    EXPECT_EQ(offered(0), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(DataMap->CurrentObject().ID, 701) << "the bookmark takes the map's current building";
    lbFirms->Assign(SearchHouses(*DataMap, houses, {"Нет такой", std::nullopt}));
    EXPECT_EQ(offered(0), none) << "the not-found message";

    browser->ShowPage(4, true); // the building page, with no category fill behind it
    EXPECT_EQ(offered(0), none);
    EXPECT_EQ(Favorites.IDs, (std::vector<std::int32_t>{10, 11}));
}
