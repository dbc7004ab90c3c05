// The category tree on a tiny edition: lazy levels read once, the path to a
// category opened by ShowCategory, the labels of a category's buildings on
// the map, and the selected node scrolled into the upper middle.
#include "firmlist_fixture.h"

#include <QTest>

namespace {

QStringList childNames(const QTreeWidgetItem* node) {
    QStringList names;
    for (int i = 0; i < node->childCount(); ++i)
        names << node->child(i)->text(0);
    return names;
}

} // namespace

using CategoryTreeTest = BrowsePanel;

TEST_F(CategoryTreeTest, TopLevelWithPlaceholdersOnlyWhereThereAreSubcategories) {
    browser->RefreshNullFoldersExecute();
    ASSERT_EQ(tvFolders->topLevelItemCount(), 3);
    EXPECT_EQ(tvFolders->topLevelItem(0)->text(0), "Медицина");
    EXPECT_EQ(tvFolders->topLevelItem(1)->text(0), "Пустая");
    EXPECT_EQ(tvFolders->topLevelItem(2)->text(0), "Транспорт");
    // Медицина has a subcategory: one placeholder. Транспорт only lists firms: no children.
    ASSERT_EQ(tvFolders->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(CategoryOf(tvFolders->topLevelItem(0)->child(0)), 0);
    EXPECT_EQ(tvFolders->topLevelItem(2)->childCount(), 0);
    // The first node is selected and its firms are listed (none: the ShowAlways firm stands in).
    EXPECT_EQ(browser->Tree().SelectedCategory(), 1);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{13}));
    EXPECT_EQ(browser->Tree().LevelsRead(), 1);
}

TEST_F(CategoryTreeTest, EachNodesChildrenAreReadOnce) {
    browser->RefreshNullFoldersExecute();
    QTreeWidgetItem* medicine = tvFolders->topLevelItem(0);
    medicine->setExpanded(true);
    EXPECT_EQ(childNames(medicine), QStringList{"Аптеки"});
    EXPECT_EQ(CategoryOf(medicine->child(0)), 2);
    EXPECT_EQ(browser->Tree().LevelsRead(), 2);
    medicine->setExpanded(false);
    medicine->setExpanded(true);
    EXPECT_EQ(childNames(medicine), QStringList{"Аптеки"});
    EXPECT_EQ(browser->Tree().LevelsRead(), 2);
}

TEST_F(CategoryTreeTest, ShowCategoryOpensThePathThreeLevelsDown) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(3);
    QTreeWidgetItem* selected = tvFolders->currentItem();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(CategoryOf(selected), 3);
    EXPECT_TRUE(selected->parent()->isExpanded());
    EXPECT_TRUE(selected->parent()->parent()->isExpanded());
    EXPECT_EQ(browser->Tree().LevelsRead(), 3);
    EXPECT_EQ(IDList.IDs, (std::vector<std::int32_t>{14, 10})); // Place, then Name
    // The same category again: nothing is read or refilled.
    lbFirms->SetItem(0, "marker");
    browser->ShowCategory(3);
    EXPECT_EQ(lbFirms->Item(0), "marker");
    EXPECT_EQ(browser->Tree().LevelsRead(), 3);
    // No such category: nothing happens.
    browser->ShowCategory(12345);
    EXPECT_EQ(CategoryOf(tvFolders->currentItem()), 3);
}

TEST_F(CategoryTreeTest, OneLabelPerBuildingOfTheCategory) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(
        2); // firms 10 and 11: buildings 700, 701 (702 is a banner address but still listed)
    ASSERT_EQ(idLabels.IDs.size(), 3u);
    EXPECT_EQ(labelsOnMap(), 3);
    std::vector<std::int32_t> buildings = idLabels.Values;
    std::sort(buildings.begin(), buildings.end());
    EXPECT_EQ(buildings, (std::vector<std::int32_t>{700, 701, 702}));
    for (size_t i = 0; i < idLabels.IDs.size(); ++i) {
        const int index = DataMap->FindObjectID(idLabels.IDs[i], 0);
        ASSERT_GE(index, 0);
        const TPMXMapObjectMem& label = DataMap->model().object(index);
        const TPMXMapObjectMem& house = DataMap->model().object(DataMap->FindObjectID(idLabels.Values[i], 0));
        EXPECT_EQ(label.ObjType, 9);
        EXPECT_EQ(label.StyleCode, 7);
        EXPECT_EQ(label.DisplayParam, 20);
        ASSERT_TRUE(label.Zametka.has_value());
        EXPECT_EQ(label.Zametka->X, house.X);
        EXPECT_EQ(label.Zametka->Y, house.Y);
        EXPECT_EQ(label.Zametka->LibName, "ICONS.LIB");
        EXPECT_EQ(label.Zametka->IconName, "OK.BMP");
    }
    // The next category replaces the labels: 700, 701, 702 for firms 10 and 14; 799 is not on the map.
    browser->ShowCategory(3);
    ASSERT_EQ(idLabels.IDs.size(), 4u);
    EXPECT_EQ(labelsOnMap(), 3);
    EXPECT_EQ(std::count(idLabels.IDs.begin(), idLabels.IDs.end(), 0), 1);
    EXPECT_EQ(std::count(idLabels.Values.begin(), idLabels.Values.end(), 0), 1);
    EXPECT_EQ(std::count(idLabels.Values.begin(), idLabels.Values.end(), 799), 0);
}

TEST_F(CategoryTreeTest, SelectionWithoutANodeRemovesTheLabelsAndKeepsTheList) {
    browser->RefreshNullFoldersExecute();
    browser->ShowCategory(2);
    const QStringList before = lines();
    tvFolders->setCurrentItem(nullptr);
    EXPECT_EQ(labelsOnMap(), 0);
    EXPECT_TRUE(idLabels.IDs.empty());
    EXPECT_EQ(lines(), before);
}

TEST(CategoryTreeRows, UpperMiddleRowsRoundHalvesToEven) {
    EXPECT_EQ(UpperMiddleRows(153), 5);
    EXPECT_EQ(UpperMiddleRows(75), 2);  // 2.5
    EXPECT_EQ(UpperMiddleRows(105), 4); // 3.5
    EXPECT_EQ(UpperMiddleRows(0), 0);
    EXPECT_EQ(CategoryBuildingsSql(42),
              "SELECT DISTINCT Obj_ID FROM FirmsAdr WHERE Firm_ID IN (SELECT FirmID FROM "
              "FirmsFold WHERE FoldID = 42)");
}

TEST(CategoryTreeScroll, TheSelectedNodeEndsInTheUpperMiddle) {
    TemporaryFolder folder;
    TinyEdition edition(folder.file("plain.sqlite"));
    for (int id = 1; id <= 30; ++id)
        edition.addFolder(id, 0, QString("Категория %1").arg(id, 2, 10, QChar('0')));
    edition.sealAs(folder.file(MapFiles[1]), 1);
    CurrentFolder here(folder.path());
    TDM dm;
    ASSERT_TRUE(dm.OpenEdition(1));
    dm.qFolders.Open();
    QTreeWidget tree;
    TDataMap map;
    TIDList labels;
    int pages = 0;
    CategoryTree categories({&tree, &dm, &map, &labels, [&](int, bool) { ++pages; }, [] { return 0; }});
    tree.resize(200, 153);
    tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    categories.RefreshNullFoldersExecute();
    EXPECT_EQ(pages, 1);
    tree.setCurrentItem(tree.topLevelItem(9)); // the 10th visible node
    EXPECT_EQ(tree.itemAt(QPoint(5, 2)), tree.topLevelItem(5));
    EXPECT_EQ(pages, 2);
    dm.DataModuleDestroy();
}
