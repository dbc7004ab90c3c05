// The search page after a search that found nothing: the corrected search
// under its line, the likely names as links, or the not-found message
// alone; a search that finds firms is shown as it always was.
#include "AddressIndex.h"
#include "Favorites.h"
#include "FirmList.h"
#include "ForgivingSearch.h"
#include "SearchQuery.h"
#include "firmlist_fixture.h"

namespace {

class ForgivingSearchPage : public BrowsePanel {
protected:
    ForgivingSearchPage() : addresses(DataMap->model()) {
        browser->RefreshNullFoldersExecute();
        browser->ShowPage(2, false);
    }

    // What the main window does for "Начать поиск".
    void search(const SearchCriteria& criteria) {
        browser->ShowPage(2, false);
        if (RunFirmsFind(dm.qFirmsFind, criteria, *DataMap, addresses))
            browser->Forgiving().SearchRan(criteria);
        browser->FillSearchResult(dm.qFirmsFind, *DataMap, addresses);
    }

    AddressIndex addresses;
};

} // namespace

TEST_F(ForgivingSearchPage, AFoundFirmListIsShownUnchanged) {
    search({.Name = "аптека"});
    const QStringList found = lines();
    const std::vector<std::int32_t> ids = IDList.IDs;
    EXPECT_EQ(ids, (std::vector<std::int32_t>{14, 10, 11}));
    browser->FillFirms(dm.qFirmsFind);
    EXPECT_EQ(lines(), found);
    EXPECT_EQ(IDList.IDs, ids);
    EXPECT_FALSE(lines().join("").contains("Ничего не найдено по запросу"));
}

TEST_F(ForgivingSearchPage, OtherLayoutShowsTheCorrectedSearchUnderItsLine) {
    search({.Name = "fgntrf"});
    const QStringList shown = lines();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0], "Ничего не найдено по запросу «fgntrf». Показаны результаты по запросу «аптека»");
    // The firms as the name search for "аптека" lists them; the line above
    // them stands for no firm.
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{0, 14, 10, 11}));
    EXPECT_TRUE(shown[2].contains("Аптека &lt;Здоровье&gt; &amp; Co"));
    // The search's own result is still the empty one.
    EXPECT_TRUE(dm.qFirmsFind.Eof());
    // Cards open in place as usual, and the line above them adds no favourite.
    browser->lbFirmsAnchorClick(2, "Open");
    EXPECT_TRUE(lines()[2].contains("C2"));
    EXPECT_FALSE(FirmsMenuFor({2, FirmListContent::Firms, 0}, IDList, Favorites).addToFavorites);
    EXPECT_TRUE(FirmsMenuFor({2, FirmListContent::Firms, 1}, IDList, Favorites).addToFavorites);
    EXPECT_FALSE(AddToFavorites(Favorites, IDList, 0));
    EXPECT_TRUE(Favorites.IDs.empty());
}

TEST_F(ForgivingSearchPage, SlipsLatinLettersAndOtherCriteriaAreKept) {
    search({.Name = "Vokzal"});
    EXPECT_EQ(lines().value(0),
              "Ничего не найдено по запросу «Vokzal». Показаны результаты по запросу «вокзал»");
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{0, 12}));
    // The street stays a criterion: the pharmacies on Мира are one firm.
    search({.Name = "аптэка", .Address = {"Мира", std::nullopt}});
    EXPECT_EQ(lines().value(0),
              "Ничего не найдено по запросу «аптэка». Показаны результаты по запросу «аптека»");
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{0, 10}));
}

TEST_F(ForgivingSearchPage, ACategoryCloserThanAnyFirmNameOffersTheLikelyNames) {
    search({.Name = "Lt;ehyst"}); // "Дежурные" in the other layout: a category's name
    const QStringList shown = lines();
    EXPECT_EQ(shown, (QStringList{NothingFoundMessage(), "Возможно, вы искали:",
                                  "<IMG src=\"Category.bmp\" align=\"left\"><A href=\"C3\">Дежурные</A>",
                                  "<A href=\"F14\">Дежурная аптека</A>"}));
    EXPECT_TRUE(IDList.IDs.empty());
    browser->lbFirmsAnchorClick(2, "C3");
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{14, 10}));

    search({.Name = "Nhfycgjhn"}); // "Транспорт": no firm is named anything like it
    EXPECT_EQ(lines().mid(1),
              (QStringList{"Возможно, вы искали:",
                           "<IMG src=\"Category.bmp\" align=\"left\"><A href=\"C4\">Транспорт</A>"}));
}

TEST_F(ForgivingSearchPage, ACorrectionTheOtherCriteriaRuleOutOffersTheNames) {
    // "справочная" in the other layout; that firm has no address on Мира.
    search({.Name = "cghfdjxyfz", .Address = {"Мира", std::nullopt}});
    const QStringList shown = lines();
    EXPECT_EQ(shown,
              (QStringList{NothingFoundMessage(), "Возможно, вы искали:", "<A href=\"F13\">Справочная</A>"}));
    // A firm link lists the firms of that name, the card open.
    browser->lbFirmsAnchorClick(2, "F13");
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{13}));
    EXPECT_TRUE(IDList.Flags[0]);
    EXPECT_EQ(pcTabs->currentIndex(), 2);
}

TEST_F(ForgivingSearchPage, NothingCloseLeavesTheNotFoundMessageAlone) {
    search({.Name = "щшгнзхъ"});
    EXPECT_EQ(lines(), QStringList{NothingFoundMessage()});
    EXPECT_TRUE(IDList.IDs.empty());
    // A search without a name is not corrected.
    search({.Phone = "999-999"});
    EXPECT_EQ(lines(), QStringList{NothingFoundMessage()});
}

TEST(ForgivingSearchLines, TextsAreEscapedMarkUp) {
    EXPECT_EQ(CorrectedSearchLine(" <b> ", "аптека"),
              "Ничего не найдено по запросу «&lt;b&gt;». Показаны результаты по запросу «аптека»");
    EXPECT_EQ(OfferLine({EntryKind::Firm, 5, "A&B", "", 0, 0, 0}), "<A href=\"F5\">A&amp;B</A>");
    EXPECT_EQ(ParseFirmAnchor("F42").kind, FirmAnchor::Firm);
    EXPECT_EQ(ParseFirmAnchor("F42").id, 42);
}
