// The main window with its parts put together, over a tiny edition with two
// banks and a chemist's: the tree and the firm list after the first showing,
// the search, favourites kept from one run to the next, a banner click, the
// usage record at closing and the error report as the error handler.
#include "Datamodule.h"
#include "Diary.h"
#include "ErrorHandler.h"
#include "GraphFormat.h"
#include "MainWindowWorld.h"
#include "MapFormat.h"
#include "StreetGraph.h"
#include "SyntheticCity.h"
#include "TBannerImage.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TOrvEdit.h"
#include "TfrmMain.h"
#include "TfrmSendErrReport.h"
#include "Uidlist.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr int kBanks = 10;
constexpr int kChemists = 11;
constexpr int kSouthBank = 2;
constexpr int kChemistFirm = 3;

void AddDirectory(TinyEdition& edition) {
    TinyFirm north;
    north.id = 1;
    north.name = "Банк Север";
    TinyFirm south;
    south.id = kSouthBank;
    south.name = "Банк Юг";
    south.phones = "22-33-44";
    TinyFirm chemist;
    chemist.id = kChemistFirm;
    chemist.name = "Аптека Здоровье";
    chemist.phones = "55-66-77";
    for (const TinyFirm& firm : {north, south, chemist})
        edition.addFirm(firm);
    edition.linkFirm(1, kBanks);
    edition.linkFirm(2, kBanks);
    edition.linkFirm(kChemistFirm, kChemists);
    // The top banner of the main window advertises the second bank.
    edition.addContent(21, jpegOf(Qt::darkGreen, {200, 60}), kSouthBank);
}

SyntheticCityOptions SmallCity() {
    SyntheticCityOptions options;
    options.buildings = 60;
    return options;
}

// The first building of the small city that has an address.
TPMXMapObjectMem FirstAddressedBuilding() {
    for (const TPMXMapObjectMem& object : syntheticCityObjects(SmallCity()))
        if (object.ObjType == otBuilding && object.HasAddress)
            return object;
    throw std::runtime_error("the city has no addressed building");
}

void AddCityWithAChemistInside(TinyEdition& edition) {
    AddDirectory(edition);
    edition.addContent(2, writeMapFile(syntheticCity(SmallCity())));
    TinyAddress address;
    address.id = 1;
    address.objectId = FirstAddressedBuilding().ID;
    address.firmId = kChemistFirm;
    edition.addAddress(address);
}

QString ListText() {
    return frmMain->lbFirms->Items().join("\n");
}

class MainWindowWiring : public ::testing::Test {
protected:
    explicit MainWindowWiring(void (*edition)(TinyEdition&) = AddDirectory) : world(edition) {}
    void openAndShow() {
        OpenTestEdition();
        frmMain = new TfrmMain;
        frmMain->show();
    }
    void TearDown() override {
        if (frmMain || DM)
            CloseTestEdition();
    }

    MainWindowWorld world;
};

} // namespace

TEST_F(MainWindowWiring, TheFirstShowingListsTheFirstCategorysFirms) {
    openAndShow();
    ASSERT_EQ(frmMain->tvFolders->topLevelItemCount(), 2);
    EXPECT_EQ(frmMain->tvFolders->currentItem(), frmMain->tvFolders->topLevelItem(0));
    EXPECT_EQ(frmMain->tvFolders->currentItem()->text(0), "Аптеки");
    EXPECT_EQ(IDList->IDs, std::vector<std::int32_t>({kChemistFirm}));
    EXPECT_TRUE(ListText().contains("Аптека Здоровье"));
    EXPECT_FALSE(ListText().contains("Банк"));

    frmMain->tvFolders->setCurrentItem(frmMain->tvFolders->topLevelItem(1));
    EXPECT_EQ(IDList->IDs, std::vector<std::int32_t>({1, kSouthBank}));
    EXPECT_TRUE(ListText().contains("Банк Север"));
}

TEST_F(MainWindowWiring, ASearchByNameFillsTheListAndNoCriterionKeepsIt) {
    openAndShow();
    frmMain->edName->setText("банк");
    frmMain->btSearch->click();
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 2);
    EXPECT_EQ(IDList->IDs, std::vector<std::int32_t>({1, kSouthBank}));
    EXPECT_TRUE(ListText().contains("Банк Юг"));

    frmMain->edName->ShowShadow();
    QTest::keyClick(frmMain->edPhone, Qt::Key_Return);
    EXPECT_TRUE(ListText().contains("Банк Юг")) << "all fields at their placeholders";

    frmMain->edPhone->setText("55-66");
    QTest::keyClick(frmMain->edPhone, Qt::Key_Return);
    EXPECT_EQ(IDList->IDs, std::vector<std::int32_t>({kChemistFirm})) << "Enter in a field searches";
}

TEST_F(MainWindowWiring, FavoritesAddedSurviveARestart) {
    openAndShow();
    frmMain->tvFolders->setCurrentItem(frmMain->tvFolders->topLevelItem(1));
    frmMain->lbFirms->SetItemIndex(1);
    frmMain->aAddToFavorites->trigger();
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 1) << "the favourites page follows";
    EXPECT_TRUE(ListText().contains("Банк Юг"));
    CloseTestEdition();

    openAndShow();
    EXPECT_EQ(Favorites->IDs, std::vector<std::int32_t>({kSouthBank}));
    frmMain->btFavorites->click();
    EXPECT_TRUE(ListText().contains("Банк Юг"));
    EXPECT_FALSE(ListText().contains("Банк Север"));
}

TEST_F(MainWindowWiring, ABannerClickOpensItsFirmsCategoryAndCard) {
    openAndShow();
    ASSERT_EQ(frmMain->ImgBanFrontTRIDIns->Tag, kSouthBank) << "the rotation loaded banner 21";
    QTest::mouseClick(frmMain->ImgBanFrontTRIDIns, Qt::LeftButton);
    ASSERT_NE(frmMain->tvFolders->currentItem(), nullptr);
    EXPECT_EQ(frmMain->tvFolders->currentItem()->text(0), "Банки");
    const int line = IDList->FindItemIndex(kSouthBank);
    ASSERT_GE(line, 0);
    EXPECT_TRUE(IDList->Flags[size_t(line)]) << "the line shows the full card";
    EXPECT_TRUE(frmMain->lbFirms->Item(line).contains("22-33-44"));
}

TEST_F(MainWindowWiring, ABannerWithoutAdvertiserIsIgnored) {
    openAndShow();
    const QString before = ListText();
    TBannerImage banner;
    frmMain->ImgBanClick(&banner);
    frmMain->ImgBanClick(nullptr);
    EXPECT_EQ(ListText(), before);
}

TEST_F(MainWindowWiring, TheMapMenusDiaryItemOpensTheDiaryPage) {
    openAndShow();
    frmMain->NDiaryAdd->trigger();
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 5);
    EXPECT_TRUE(frmMain->btDiary->isChecked());
    ASSERT_GE(frmMain->lbFirms->Count(), 1);
    EXPECT_EQ(frmMain->lbFirms->Item(0), DiaryAddLine()) << "the day's list is shown";
}

TEST_F(MainWindowWiring, ClosingWritesOneFiveByteUsageRecord) {
    openAndShow();
    frmMain->close();
    QFile record(QString::fromStdString(world.programFolder()) + "HETreeView.dcp");
    ASSERT_TRUE(record.exists());
    EXPECT_EQ(record.size(), 5);
}

TEST_F(MainWindowWiring, ErrorsGoToTheErrorReport) {
    openAndShow();
    frmSendErrReport = new TfrmSendErrReport;
    QString shown;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (frmSendErrReport->isVisible()) {
            shown = frmSendErrReport->lErrText->text();
            frmSendErrReport->btCancel->click();
        }
    });
    answer.start();
    HandleError("Деление на ноль");
    EXPECT_TRUE(shown.contains("Деление на ноль")) << shown.toStdString();
    delete frmSendErrReport;
    frmSendErrReport = nullptr;
}

namespace {

class MainWindowOnAMap : public MainWindowWiring {
protected:
    MainWindowOnAMap() : MainWindowWiring(AddCityWithAChemistInside) {}
};

} // namespace

namespace {

// The last building of the small city that has an address, far from the first.
TPMXMapObjectMem LastAddressedBuilding() {
    const std::vector<TPMXMapObjectMem> objects = syntheticCityObjects(SmallCity());
    for (auto object = objects.rbegin(); object != objects.rend(); ++object)
        if (object->ObjType == otBuilding && object->HasAddress)
            return *object;
    throw std::runtime_error("the city has no addressed building");
}

// The small city's route graph beside the edition, where the main window reads it.
void SaveSmallCityGraph() {
    const StreetGraph graph = buildStreetGraph(roadLinesOf(syntheticCityObjects(SmallCity())));
    ASSERT_TRUE(saveGraphFile(graph, QStringLiteral("demoomk.graph")));
}

// Selects the building on the map and opens its page.
void OpenBuildingPage(const TPMXMapObjectMem& building) {
    ASSERT_TRUE(frmMain->DataMap->EditObject(frmMain->DataMap->FindObjectID(building.ID)));
    frmMain->btBldInfo->click();
    ASSERT_EQ(frmMain->pcTabs->currentIndex(), 4);
}

// Clicks an anchor of the building page's last line with the mouse.
void ClickRouteAnchor(int anchor) {
    THTMListBox* page = frmMain->lbBldInfo;
    const int line = page->Count() - 1;
    page->ScrollToItem(line);
    ASSERT_EQ(page->AnchorCount(line), 2);
    QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->AnchorRect(line, anchor).center());
}

} // namespace

TEST_F(MainWindowOnAMap, WithoutARouteGraphTheBuildingPageOffersNoRoute) {
    openAndShow();
    OpenBuildingPage(FirstAddressedBuilding());
    for (int line = 0; line < frmMain->lbBldInfo->Count(); ++line) {
        EXPECT_FALSE(frmMain->lbBldInfo->Item(line).contains("Маршрут"));
        EXPECT_EQ(frmMain->lbBldInfo->AnchorCount(line), 0);
    }
}

TEST_F(MainWindowOnAMap, TheBuildingPagesRouteLinesDrawARouteBetweenTwoBuildings) {
    SaveSmallCityGraph();
    openAndShow();
    const TPMXMapObjectMem from = FirstAddressedBuilding();
    OpenBuildingPage(from);
    EXPECT_EQ(frmMain->lbBldInfo->Item(1), "Адрес:" + from.Street + ", " + from.House);
    const QString routeLine = frmMain->lbBldInfo->Item(frmMain->lbBldInfo->Count() - 1);
    EXPECT_TRUE(routeLine.contains(">Маршрут отсюда</A>")) << routeLine.toStdString();
    EXPECT_TRUE(routeLine.contains(">Маршрут сюда</A>")) << routeLine.toStdString();
    ClickRouteAnchor(0);
    EXPECT_TRUE(frmMain->DataMap->route().empty());
    EXPECT_EQ(IDList->IDs, std::vector<std::int32_t>({kChemistFirm}));

    OpenBuildingPage(LastAddressedBuilding());
    ClickRouteAnchor(1);
    EXPECT_FALSE(frmMain->DataMap->route().empty());
    ASSERT_GE(frmMain->lbFirms->Count(), 2);
    EXPECT_TRUE(frmMain->lbFirms->Item(0).startsWith("<b>Пешком: ")) << frmMain->lbFirms->Item(0).toStdString();

    // Escape on the map clears the route as it does one chosen in the map's menu.
    QTest::keyClick(frmMain->DataMap, Qt::Key_Escape);
    EXPECT_TRUE(frmMain->DataMap->route().empty());
}

TEST_F(MainWindowOnAMap, AHouseSearchListsTheStreetsBuildingsAsLinks) {
    openAndShow();
    const TPMXMapObjectMem building = FirstAddressedBuilding();
    frmMain->cbfhStreet->setEditText(building.Street);
    QTest::keyClick(frmMain->edfhHouse, Qt::Key_Return);
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 3);
    ASSERT_FALSE(FindHouses->isEmpty());
    EXPECT_EQ(frmMain->lbFirms->Items(), *FindHouses);
    EXPECT_TRUE(FindHouses->join("\n").contains(QString("href=\"A%1\"").arg(building.ID)));
    for (const QString& line : *FindHouses)
        EXPECT_TRUE(line.contains(building.Street)) << line.toStdString();
}

TEST_F(MainWindowOnAMap, TheBuildingPageDescribesTheSelectedBuildingAndListsItsFirms) {
    openAndShow();
    const TPMXMapObjectMem building = FirstAddressedBuilding();
    ASSERT_TRUE(frmMain->DataMap->EditObject(frmMain->DataMap->FindObjectID(building.ID)));
    frmMain->btBldInfo->click();
    EXPECT_EQ(frmMain->pcTabs->currentIndex(), 4);
    ASSERT_GE(frmMain->lbBldInfo->Count(), 2);
    EXPECT_EQ(frmMain->lbBldInfo->Item(1), "Адрес:" + building.Street + ", " + building.House);
    EXPECT_EQ(IDList->IDs, std::vector<std::int32_t>({kChemistFirm}));
}
