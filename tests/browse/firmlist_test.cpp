// The firm list on a tiny edition: fills, logos, cards toggled in place,
// favourites, and what its anchors do (map flights, categories, articles,
// the publish form).
#include "Favorites.h"
#include "firmlist_fixture.h"

#include <QTest>

using FirmListTest = BrowsePanel;

TEST_F(FirmListTest, AFillShowsShortFormsWithFlagsCleared) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{10, 11}));
    EXPECT_EQ(IDList.Flags, (std::vector<bool>{false, false}));
    EXPECT_EQ(
        lines(),
        (QStringList{"<br><A href=\"Open\">Аптека &lt;Здоровье&gt; &amp; Co</A><br><A href=\"Open\">"
                     "<IMG src=\"10.png\" align=\"middle\"></A>",
                     "<hr><br><BODY bgcolor=\"clYellow\"></BODY><A href=\"Open\"><b>Б-аптека</b></A>"}));
}

TEST_F(FirmListTest, LogosAreDecodedOncePerPictureName) {
    const int designPictures = PicCnt->Count();
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    ASSERT_EQ(PicCnt->Count(), designPictures + 1);
    EXPECT_EQ(PicCnt->Name(designPictures), "10.png");
    EXPECT_EQ(PicCnt->Find("10.png").size(), QSize(24, 12));
    browser->ShowCategory(4);
    browser->ShowCategory(2);
    EXPECT_EQ(PicCnt->Count(), designPictures + 2); // 12.png added; 10.png not again
    EXPECT_EQ(PicCnt->Find("12.png").toImage().pixelColor(1, 1), QColor(Qt::blue));
}

TEST_F(FirmListTest, OpenTogglesTheCardAndBackToExactlyTheShortForm) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    const QString shortForm = lbFirms->Item(0);
    browser->lbFirmsAnchorClick(0, "Open");
    EXPECT_TRUE(IDList.Flags[0]);
    const QString card = lbFirms->Item(0);
    EXPECT_TRUE(card.contains("<A href=\"C2\">Аптеки</A><br> <A href=\"C3\">Дежурные</A>"));
    EXPECT_TRUE(
        card.contains("<A href=\"A700\">Ленина, 1 оф 12</A> <IMG src=\"MiniBus.bmp\" align=\"middle\">301"
                      " <IMG src=\"Bus.bmp\" align=\"middle\">12, 45<br>"));
    EXPECT_TRUE(card.contains("<A href=\"A701\">Мира, 7а</A><br>"));
    EXPECT_FALSE(card.contains("A702")); // a banner address
    EXPECT_TRUE(card.contains("Круглосуточно<br>Без выходных"));
    EXPECT_EQ(articleOf, std::vector<int>{10});  // the firm has an article: it opens with the card
    EXPECT_EQ(DataMap->CurrentObject().ID, 701); // the last address found on the map
    browser->lbFirmsAnchorClick(0, "Open");
    EXPECT_EQ(lbFirms->Item(0), shortForm);
    EXPECT_FALSE(IDList.Flags[0]);
    EXPECT_EQ(articleOf, std::vector<int>{10});
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(FirmListTest, AnAddressOffTheMapIsLeftOutWithAMessage) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(3);
    ASSERT_EQ(IDList.IDs.front(), 14);
    browser->lbFirmsAnchorClick(0, "Open");
    EXPECT_EQ(messages, QStringList{"Объект не найден на карте"});
    EXPECT_TRUE(lbFirms->Item(0).contains("A700"));
    EXPECT_FALSE(lbFirms->Item(0).contains("A799"));
    // Empty but present phones still give the phone icon line.
    EXPECT_TRUE(lbFirms->Item(0).contains("<br><IMG src=\"Phones.bmp\" align=\"middle\"><br>"));
}

TEST_F(FirmListTest, AnEmptyCategoryFallsBackToShowAlwaysFirmsAndThenToTheMessage) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(5);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{13}));
    dm.qFirmsStayOnTop.setSQL("SELECT * FROM FIRMS WHERE ID = -1");
    browser->ShowPage(0, true);
    EXPECT_TRUE(IDList.IDs.empty());
    EXPECT_EQ(lines(), QStringList{EmptyCategoryMessage()});
    browser->lbFirmsAnchorClick(0, "Publish");
    EXPECT_EQ(published, 1);
}

TEST_F(FirmListTest, AnchorsFlyTheMapOrSayTheObjectIsMissing) {
    browser->RefreshNullFoldersExecute();
    browser->lbFirmsAnchorClick(0, "A701");
    EXPECT_EQ(DataMap->CurrentObject().ID, 701);
    EXPECT_NEAR(DataMap->GetScale(), 5000, 1e-6);
    EXPECT_NEAR(DataMap->view().mapToPixel(400, 300).x(), DataMap->width() / 2.0, 1.5);
    EXPECT_EQ(flying, (std::vector<bool>{true, false}));
    EXPECT_EQ(lbFirms->ItemIndex(), 0);
    const double x = DataMap->GetXWind();
    browser->lbFirmsAnchorClick(0, "A799");
    EXPECT_EQ(messages, QStringList{"Объект не найден на карте"});
    EXPECT_EQ(DataMap->GetXWind(), x);
    EXPECT_EQ(DataMap->CurrentObject().ID, 701);
}

TEST_F(FirmListTest, CategoryAnchorsOpenTheCategory) {
    browser->RefreshNullFoldersExecute();
    browser->ShowPage(1, true);
    browser->lbFirmsAnchorClick(0, "C3");
    EXPECT_EQ(pcTabs->currentIndex(), 0);
    EXPECT_EQ(browser->Tree().SelectedCategory(), 3);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{14, 10}));
}

TEST_F(FirmListTest, StatyaShowsTheArticleOfTheClickedLine) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    browser->lbFirmsAnchorClick(1, "Statya"); // Б-аптека has none
    browser->lbFirmsAnchorClick(0, "Statya");
    EXPECT_EQ(articleOf, (std::vector<int>{11, 10}));
}

TEST_F(FirmListTest, FavoritesInTheirOwnOrderAndAGoneFirmKeepsItsLine) {
    browser->RefreshNullFoldersExecute();
    Favorites.Add(12);
    Favorites.Add(999); // no longer in the edition
    Favorites.Add(10);
    browser->ShowPage(1, true);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{12, 999, 10}));
    ASSERT_EQ(lbFirms->Count(), 3);
    EXPECT_TRUE(lbFirms->Item(0).contains("Вокзал"));
    EXPECT_EQ(lbFirms->Item(1), MissingFavoriteLine(999));
    EXPECT_TRUE(lbFirms->Item(2).contains("Аптека"));
    Favorites.ClearAndFree();
    browser->ShowPage(1, true);
    EXPECT_EQ(lines(), QStringList{EmptyFavoritesMessage()});
}

TEST_F(FirmListTest, FavoritesWhoseFirmsAllLeftTheEditionCanStillBeRemoved) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    Favorites.Add(998);
    Favorites.Add(999);
    browser->ShowPage(1, true);
    EXPECT_EQ(lines(), (QStringList{MissingFavoriteLine(998), MissingFavoriteLine(999)}));
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{998, 999}));
    lbFirms->SetItemIndex(1);
    browser->pmFirmsPopup();
    EXPECT_TRUE(NDelFavorite->isVisible());

    ASSERT_TRUE(DeleteFavorite(Favorites, 1));
    ASSERT_TRUE(DeleteFavorite(Favorites, 0));
    browser->ShowCategory(2);
    browser->ShowPage(1, true);
    EXPECT_EQ(lines(), QStringList{EmptyFavoritesMessage()});
    EXPECT_TRUE(IDList.IDs.empty()) << "the message line is no favourite";
    lbFirms->SetItemIndex(0);
    browser->pmFirmsPopup();
    EXPECT_FALSE(NDelFavorite->isVisible());
}

TEST_F(FirmListTest, MouseDownSelectsTheLineUnderThePointer) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    QTest::mousePress(lbFirms->viewport(), Qt::RightButton, {}, QPoint(5, lbFirms->ItemHeight(0) + 2));
    EXPECT_EQ(lbFirms->ItemIndex(), 1);
    QTest::mouseRelease(lbFirms->viewport(), Qt::RightButton, {}, QPoint(5, lbFirms->ItemHeight(0) + 2));
    QTest::mousePress(lbFirms->viewport(), Qt::LeftButton, {}, QPoint(5, lbFirms->viewport()->height() - 3));
    EXPECT_EQ(lbFirms->ItemIndex(), -1);
    QTest::mouseRelease(lbFirms->viewport(), Qt::LeftButton, {},
                        QPoint(5, lbFirms->viewport()->height() - 3));
}
